// Page 11 "Обновление прошивки": the button that picks the image file and
// runs the update (its caption is the update's status line), the button that
// stops an update while it talks to the loader, the progress gauge and the
// update log.
#include <QPlainTextEdit>

#include "FirmwareImage.h"
#include "Gauge.h"
#include "PageWidgets.h"
#include "Pages.h"
#include "Program.h"
#include "QtTexts.h"

namespace tovrel::ui {

namespace {
QString Q(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }
}  // namespace

void BuildFirmwarePage(UiContext& ctx, QWidget* page) {
    auto* button = AddButton(page, std::string(kFirmwareButton).c_str(), {}, 8, 8, 876, 30);
    StartText(button, Q(Tr(kFirmwareButtonCaption)));
    OnClick(ctx, button, [](Program& p) { p.firmware.FirmwareFileSelectButtonClick(); });
    // Its press reaches the update at the update's next message pump (at
    // least every quarter second while it waits for the loader).
    auto* stop = AddButton(page, std::string(kFirmwareStopButton).c_str(), {}, 892, 8, 192, 30);
    StartText(stop, Q(Tr(kFirmwareStopCaption)));
    stop->setEnabled(false);
    OnClick(ctx, stop, [](Program& p) { p.firmware.FirmwareStopButtonClick(); });

    AddLabel(page, "Label18", QTr(UiText::FirmwareProgressLabel), 8, 48);
    auto* gauge = new Gauge(page);
    gauge->setObjectName(Q(kFirmwareGauge));
    gauge->setGeometry(8, 64, 1076, 22);

    AddLabel(page, "Label19", QTr(UiText::FirmwareMemoLabel), 8, 96);
    auto* memo = new QPlainTextEdit(page);
    memo->setObjectName(Q(kFirmwareMemo));
    memo->setReadOnly(true);
    memo->setLineWrapMode(QPlainTextEdit::NoWrap);
    memo->setGeometry(8, 112, 1076, 412);
    StartText(memo, Q(Tr(kFirmwareMemoInitial)));
}

}  // namespace tovrel::ui
