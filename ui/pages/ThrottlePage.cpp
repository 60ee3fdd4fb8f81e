// Page 14 "Дополнительные настройки TPS": tracking the lowest and highest
// throttle sensor readings while the fitter works the pedal, swapping them,
// and storing tracked or typed calibration points.
#include <QGroupBox>

#include "PageWidgets.h"
#include "Pages.h"
#include "Program.h"
#include "TpsCalibration.h"
#include "QtTexts.h"

namespace tovrel::ui {

namespace {

using Handler = bool (*)(LiveContext&);

void OnStore(UiContext& ctx, QAbstractButton* button, Handler handler) {
    OnClick(ctx, button, [handler](Program& p) {
        auto live = p.Live();
        handler(live);
    });
}

}  // namespace

void BuildThrottlePage(UiContext& ctx, QWidget* page) {
    auto* automatic = new QGroupBox(QTr(UiText::AutomaticGroup), page);
    automatic->setObjectName("Automatic_TPS_Parameters_Detect_GroupBox");
    automatic->setGeometry(8, 4, 1076, 236);

    auto* track = AddButton(automatic, tps::kTrackButton, {}, 12, 22, 620, 25);
    StartText(track, QString::fromStdString(Tr(tps::kTrackIdleCaption)));
    OnClick(ctx, track, [](Program& p) {
        auto live = p.Live();
        StartFix_MAX_MIN_TPSButtonClick(live);
    });

    AddLabel(automatic, "Label24", QTr(UiText::TpsNowLabel), 12, 61, 0, 17);
    StartText(AddValueLabel(automatic, "Label25", {}, 330, 61, 70), "n/a");

    AddLabel(automatic, "Label26", QTr(UiText::TpsMaxReadLabel), 12, 93, 0, 17);
    StartText(AddValueLabel(automatic, "Detected_MAX_ADC_Label", {}, 330, 93, 70), "n/a");
    auto* fix_max = AddButton(automatic, "Fix_Auto_Detected_MAX_TPSButton", {}, 420, 88, 644, 25);
    StartText(fix_max,
              QTr(UiText::StoreMaxAuto));
    OnStore(ctx, fix_max, &Fix_Auto_Detected_MAX_TPSButtonClick);

    AddLabel(automatic, "Label27", QTr(UiText::TpsMinReadLabel), 12, 125, 0, 17);
    StartText(AddValueLabel(automatic, "Detected_MIN_ADC_Label", {}, 330, 125, 70), "n/a");
    auto* fix_min = AddButton(automatic, "Fix_Auto_Detected_MIN_TPSButton", {}, 420, 120, 644, 25);
    StartText(fix_min,
              QTr(UiText::StoreMinAuto));
    OnStore(ctx, fix_min, &Fix_Auto_Detected_MIN_TPSButtonClick);

    auto* swap = AddWrapButton(
        automatic, "Change_Min_to_Max_TPSButton",
        QTr(UiText::SwapButton),
        12, 160, 1052, 44);
    OnClick(ctx, swap, [](Program& p) { Change_Min_to_Max_TPSButtonClick(p.screen, p.live); });

    auto* manual = new QGroupBox(QTr(UiText::ManualGroup), page);
    manual->setObjectName("Manual_TPS_Parameters_Detect_GroupBox");
    manual->setGeometry(8, 248, 1076, 100);

    AddLabel(manual, "Label28", QTr(UiText::ManualMaxLabel), 12, 26, 0, 21);
    AddNumberEdit(ctx, manual, "MAX_TPS_Value_Edit", "MAX_TPS_Value_UpDown", "0", 0, 4095, 340, 26, 50);
    auto* set_max = AddButton(manual, "Fix_Manually_Set_MAX_TPS_Value_Button", {}, 420, 24, 644, 25);
    StartText(set_max,
              QTr(UiText::StoreMaxManual));
    OnStore(ctx, set_max, &Fix_Manually_Set_MAX_TPS_Value_ButtonClick);

    AddLabel(manual, "Label29", QTr(UiText::ManualMinLabel), 12, 60, 0, 21);
    AddNumberEdit(ctx, manual, "MIN_TPS_Value_Edit", "MIN_TPS_Value_UpDown", "0", 0, 4095, 340, 60, 50);
    auto* set_min = AddButton(manual, "Fix_Manually_Set_MIN_TPS_Value_Button", {}, 420, 58, 644, 25);
    StartText(set_min,
              QTr(UiText::StoreMinManual));
    OnStore(ctx, set_min, &Fix_Manually_Set_MIN_TPS_Value_ButtonClick);
}

}  // namespace tovrel::ui
