#pragma once
// The start dialog TFormStartSelectConfiguration: the three ways to start,
// and "Продолжить".
#include <QDialog>

#include "UiContext.h"

class QGroupBox;
class QPushButton;

namespace tovrel::ui {

class StartDialog : public QDialog {
    Q_OBJECT
public:
    explicit StartDialog(UiContext& ctx);

    QGroupBox* options() const { return options_; }
    QPushButton* continueButton() const { return continue_; }

protected:
    // The close button (and Escape) end the dialog as well; the start option
    // stays as it is.
    void reject() override;

private:
    UiContext& ctx_;
    QGroupBox* options_ = nullptr;
    QPushButton* continue_ = nullptr;
};

}  // namespace tovrel::ui
