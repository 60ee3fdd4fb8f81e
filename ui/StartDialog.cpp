#include "StartDialog.h"

#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>

#include "Program.h"
#include "Shell.h"
#include "StartUnit.h"

namespace tovrel::ui {

namespace {
QString Q(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }
}  // namespace

StartDialog::StartDialog(UiContext& ctx) : ctx_(ctx) {
    setObjectName(Q(shell::StartDialog));
    setWindowTitle(Q(Tr(shell::StartDialogCaption)));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                   Qt::CustomizeWindowHint);
    QFont f = font();
    f.setPixelSize(11);
    setFont(f);
    setFixedSize(635, 151);

    options_ = new QGroupBox(Q(Tr(shell::StartOptionsCaption)), this);
    options_->setObjectName(Q(shell::StartOptionsGroup));
    options_->setGeometry(32, 8, 569, 105);
    for (int i = 0; i < 3; ++i) {
        auto* item = new QRadioButton(Q(Tr(start_unit::kStartOptionTexts[static_cast<std::size_t>(i)])), options_);
        item->setObjectName(QString::fromStdString(shell::RadioItem(shell::StartOptionsGroup, i)));
        // Items share the group's height below its caption, as a radio group lays them out.
        item->setGeometry(8, 18 + i * 28, 553, 22);
        if (i == 0) item->setChecked(true);
    }

    continue_ = new QPushButton(Q(Tr(shell::ContinueCaption)), this);
    continue_->setObjectName(Q(shell::ContinueButton));
    continue_->setGeometry(32, 119, 569, 25);
    continue_->setDefault(true);
    continue_->setAutoDefault(true);
    // The handler hides the dialog, which ends its modal run.
    connect(continue_, &QPushButton::clicked, this,
            [this] { ctx_.Forward([](Program& p) { start_unit::ButtonContinueClick(p); }, options_); });
    ctx_.Forward([](Program& p) { start_unit::FormCreate(p); });
}

void StartDialog::reject() {
    ctx_.Forward([](Program& p) { start_unit::FormClose(p); });
    QDialog::reject();
}

}  // namespace tovrel::ui
