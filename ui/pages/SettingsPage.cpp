// Page 0 "Настройки вариатора": the parameters kept in the variator's EEPROM
// (start timeout, the two throttle sensor calibration points with the buttons
// that take the present reading) and the real-time monitor with its gauges,
// value labels and the service values the hot key uncovers.
#include <QGroupBox>

#include "Gauge.h"
#include "LogFile.h"
#include "Monitor.h"
#include "PageWidgets.h"
#include "Pages.h"
#include "Program.h"
#include "TpsCalibration.h"
#include "QtTexts.h"

namespace tovrel::ui {

namespace {

constexpr int kRow = 22;  // pitch of the monitor's label rows

QGroupBox* AddGroup(QWidget* parent, const char* name, const QString& caption, int x, int y, int w, int h) {
    auto* group = new QGroupBox(caption, parent);
    group->setObjectName(name);
    group->setGeometry(x, y, w, h);
    return group;
}

void BuildEepromGroup(UiContext& ctx, QWidget* page) {
    auto* group = AddGroup(page, "EEPROMParametersGroupBox",
                           QTr(UiText::EepromGroup), 8, 4, 1076,
                           120);
    AddLabel(group, "LabelVariatorStartTimeout",
             QTr(UiText::StartTimeoutLabel), 12, 24, 0, 17);
    AddNumberEdit(ctx, group, "EEditVariatorStartTimeout", "UpDownTimeout", "0", 0, 25, 560, 22, 40);
    AddLabel(group, "Label15", QTr(UiText::StartTimeoutLimit), 630, 24, 0, 17);

    AddLabel(group, "Label3", QTr(UiText::TpsMaxLabel), 12, 58, 0, 17);
    StartText(AddValueLabel(group, "ADC_MAX_Value_Label", {}, 330, 58, 60), "n/a");
    auto* save_max = AddButton(group, "SaveADCMaxButton",
                               QTr(UiText::SaveMaxButton), 400,
                               54, 664, 25);
    OnClick(ctx, save_max, [](Program& p) {
        auto live = p.Live();
        SaveADCMaxButtonClick(live);
    });

    AddLabel(group, "Label4", QTr(UiText::TpsMinLabel), 12, 89, 0, 17);
    StartText(AddValueLabel(group, "ADC_MIN_Value_Label", {}, 330, 89, 60), "n/a");
    auto* save_min = AddButton(group, "SaveADCMinButton",
                               QTr(UiText::SaveMinButton), 400,
                               85, 664, 25);
    OnClick(ctx, save_min, [](Program& p) {
        auto live = p.Live();
        SaveADCMinButtonClick(live);
    });
}

struct ValueRow {
    const char* caption_name;
    UiText caption;
    const char* value_name;
    int value_width;
};

void BuildMonitorGroup(UiContext& ctx, QWidget* page) {
    auto* group = AddGroup(page, "RealTimeParametersGroupBox", QTr(UiText::MonitorGroup), 8, 130, 1076, 398);

    auto* button = AddButton(group, monitor::kButton, {}, 12, 20, 620, 25);
    StartText(button, QString::fromStdString(Tr(monitor::kIdleCaption)));
    OnClick(ctx, button, [](Program& p) {
        auto live = p.Live();
        GetRealtimeParametersButtonClick(live);
    });
    auto* progress = new Gauge(group);
    progress->setObjectName(monitor::kProgressGauge);
    progress->setGeometry(644, 22, 420, 21);
    StartHidden(progress);

    // The value labels, each beside its caption; "n/a" while no run shows
    // values.
    static constexpr ValueRow kLeft[] = {
        {"Label6", UiText::EngineSpeedAxis, "FrequencyLabel", 200},
        {"Label5", UiText::TpsAdcCaption, "CurrentADCValueLabel", 200},
        {"Label10", UiText::AngleCaption, "NecessaryAngleLabel", 250},
        {"Label7", UiText::FuelCaption, "FuelTypeLabel", 120},
        {"Label13", UiText::TimeToGasCaption,
         "TimeForGasAnglesLabel", 120},
        {"Label14", UiText::SyncCaption, "SynchronizationLabel", 140},
        {"Label21", UiText::Cmp1Caption, "CMP1_Signal_Label", 120},
        {"Label23", UiText::Cmp2Caption, "CMP2_Signal_Label", 120},
        {"Label22", UiText::CpuTemperatureCaption, "CPUTemperatureLabel", 120},
    };
    int y = 56;
    for (const auto& row : kLeft) {
        AddLabel(group, row.caption_name, QTr(row.caption), 12, y, 0, 17);
        StartText(AddValueLabel(group, row.value_name, {}, 470, y, row.value_width), "n/a");
        y += kRow;
    }

    // Service values, hidden until the hot key shows them.
    static constexpr ValueRow kService[] = {
        {"Label11", UiText::AdaptationCaption, "CalculatedAngleLabel", 70},
        {"Label16", UiText::ServiceDirectSend, "DirectSendLabel", 70},
        {"Label17", UiText::ServiceNeedGoodTahoe, "need_good_tahoeLabel", 70},
        {"Label30", UiText::ServiceAdaptationsCounter, "AdaptationsCounterLabel", 70},
    };
    y = 56;
    for (const auto& row : kService) {
        StartHidden(AddLabel(group, row.caption_name, QTr(row.caption), 740, y, 0, 17));
        auto* value = AddValueLabel(group, row.value_name, {}, 994, y, row.value_width);
        StartText(value, "n/a");
        StartHidden(value);
        y += kRow;
    }

    y = 56 + 9 * kRow + 8;
    AddLabel(group, "Label8", QTr(UiText::ThrottleCaption), 12, y, 0, 20);
    auto* throttle = new Gauge(group);
    throttle->setObjectName(monitor::kThrottleGauge);
    throttle->setGeometry(470, y, 300, 20);
    y += 26;
    AddLabel(group, "Label9", QTr(UiText::CorrectionCaption), 12, y, 0, 20);
    auto* correction = new Gauge(group);
    correction->setObjectName(monitor::kCorrectionGauge);
    correction->setGeometry(470, y, 300, 20);
    y += 28;
    AddLabel(group, "Label20", QTr(UiText::CorrectionValueCaption), 12, y, 0, 17);
    StartText(AddValueLabel(group, "TPSCorrectionValueLabel", {}, 470, y, 590), "n/a");
    y += kRow + 4;
    auto* note = AddLabel(group, "Label12",
                          QTr(UiText::CorrectionNote),
                          12, y, 1052, 34);
    note->setWordWrap(true);
    note->setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

}  // namespace

void BuildSettingsPage(UiContext& ctx, QWidget* page) {
    BuildEepromGroup(ctx, page);
    BuildMonitorGroup(ctx, page);
}

}  // namespace tovrel::ui
