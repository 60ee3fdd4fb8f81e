#pragma once
// The list of restore points ("Файл", "Точки восстановления..."): date, note
// and path of each, newest first, a damaged point with its reason. The
// chosen point is compared with the editor or the device, or restored; the
// work runs on the device thread.
#include <QDialog>
#include <filesystem>

#include "RestorePoints.h"
#include "UiContext.h"

class QTableWidget;

namespace tovrel::ui {

class RestorePointsDialog : public QDialog {
    Q_OBJECT
public:
    RestorePointsDialog(UiContext& ctx, std::filesystem::path directory, QWidget* parent = nullptr);
    // Reads the folder again.
    void Reload();
    int Rows() const;

private:
    std::optional<std::filesystem::path> Chosen() const;

    UiContext& ctx_;
    RestorePointStore store_;
    std::vector<RestorePointStore::Entry> entries_;
    QTableWidget* table_ = nullptr;
};

}  // namespace tovrel::ui
