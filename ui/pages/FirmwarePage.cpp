// Page 11 "Обновление прошивки": the one button that picks the image file and
// runs the update (its caption is the update's status line), the progress
// gauge and the update log.
#include <QPlainTextEdit>

#include "FirmwareImage.h"
#include "Gauge.h"
#include "PageWidgets.h"
#include "Pages.h"
#include "Program.h"

namespace tovrel::ui {

namespace {
QString Q(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }
}  // namespace

void BuildFirmwarePage(UiContext& ctx, QWidget* page) {
    auto* button = AddButton(page, std::string(kFirmwareButton).c_str(), {}, 8, 8, 1076, 30);
    StartText(button, Q(kFirmwareButtonCaption));
    OnClick(ctx, button, [](Program& p) { p.firmware.FirmwareFileSelectButtonClick(); });

    AddLabel(page, "Label18", "Ход процесса обновления", 8, 48);
    auto* gauge = new Gauge(page);
    gauge->setObjectName(Q(kFirmwareGauge));
    gauge->setGeometry(8, 64, 1076, 22);

    AddLabel(page, "Label19", "Окно служебной информации", 8, 96);
    auto* memo = new QPlainTextEdit(page);
    memo->setObjectName(Q(kFirmwareMemo));
    memo->setReadOnly(true);
    memo->setLineWrapMode(QPlainTextEdit::NoWrap);
    memo->setGeometry(8, 112, 1076, 412);
    StartText(memo, Q(kFirmwareMemoInitial));
}

}  // namespace tovrel::ui
