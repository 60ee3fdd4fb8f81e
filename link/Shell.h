#pragma once
// Component names and page indices of the main window and the start dialog
// that the logic addresses through the Screen. One home for them, so that the
// logic, the desktop binding and the tests agree on every name.
//
// Conventions of the screen for the controls named here:
// - a tab sheet's Visible property is whether its tab shows in PageControl1
//   (the page itself stays selectable by index);
// - a radio group's Position property is the index of its selected item, and
//   item i is the control RadioItem(group, i) whose Text is the item's text;
// - a form's Visible property is whether the window is shown.
#include <string>
#include <string_view>
#include "LinkTexts.h"

namespace tovrel {

// Pages of PageControl1, by index.
namespace page {
inline constexpr int Settings = 0;
inline constexpr int LPGChart = 1, LPGGrid = 2;
inline constexpr int PetrolChart = 3, PetrolGrid = 4;
inline constexpr int LPGLoadDependenceChart = 5, LPGLoadDependenceGrid = 6;
inline constexpr int PetrolLoadDependenceChart = 7, PetrolLoadDependenceGrid = 8;
inline constexpr int Gas3D = 9, Petrol3D = 10;
inline constexpr int Firmware = 11, Help = 12, Oscilloscope = 13, ThrottleCalibration = 14;
inline constexpr int Count = 15;
}  // namespace page

namespace shell {

// ---- the main window and its top row ----
inline constexpr std::string_view MainWindow = "TForm2";
inline constexpr std::string_view MainCaption = "60-2 TOVREL GUI VERSION 41.02.26";
inline constexpr std::string_view WriteDataButton = "WriteData";
inline constexpr std::string_view ReadDataButton = "ReadData";
inline constexpr std::string_view PortLabel = "Label1";
inline constexpr std::string_view PortBox = "ComboBox1";
inline constexpr std::string_view ProgressLabel = "LabelProgress";
inline constexpr std::string_view ProgressBar = "ProgressBar1";
inline constexpr std::string_view StatusLabel = "Label2";
inline constexpr std::string_view TemplateButton = "Button1";
inline constexpr std::string_view PageControl = "PageControl1";

// Port box contents after creation: text "0", items 1..254. Item i is the
// control RadioItem(PortBox, i - 1) as for radio groups.
inline constexpr int PortBoxFirst = 1;
inline constexpr int PortBoxLast = 254;

// ---- the tab sheets, in page order ----
inline constexpr std::string_view TabSheets[page::Count] = {
    "TabSheetVariatorSettings",
    "TabSheetLPGmap",
    "TabSheetGASGrid",
    "TabSheetPetrolmap",
    "TabSheetPetrolGrid",
    "TabSheetLPGLoadDependencemap",
    "TabSheetGASLoad",
    "TabSheetPetrolLoadDependencemap",
    "TabSheetGasolineLoad",
    "Map3DGASTab",
    "MAP3DPetrolTab",
    "FirmwareUpdateTabSheet",
    "TabSheetHelp",
    "OscilloscopeTabSheet",
    "Additional_TPS_TabSheet",
};
inline constexpr std::string_view TabSheet(int index) { return TabSheets[index]; }
// Tabs hidden until the tables hot key uncovers them.
inline constexpr int HiddenTablePages[] = {page::LPGGrid, page::PetrolGrid, page::LPGLoadDependenceGrid,
                                           page::PetrolLoadDependenceGrid};

// ---- the main menu ----
inline constexpr std::string_view ConnectionMenu = "N8";  // "Подключение"
inline constexpr std::string_view ConnectItem = "N9";     // "Подключиться"
inline constexpr std::string_view AutoSelectItem = "N4";  // "Автовыбор"
inline constexpr std::string_view DisconnectItem = "N12"; // "Отключиться"
inline constexpr std::string_view FileMenu = "N1";        // "Файл"
inline constexpr std::string_view UpdateMenu = "N5";      // "Обновление", hidden
inline constexpr std::string_view HelpMenu = "N6";        // "Справка"

// ---- service values uncovered by the service hot key ----
inline constexpr std::string_view ServiceLabels[] = {
    "Label11", "CalculatedAngleLabel", "Label16", "Label17", "need_good_tahoeLabel", "DirectSendLabel",
};
// Shown as well when the firmware counts adaptations (capability bit 11).
inline constexpr std::string_view AdaptationLabels[] = {"Label30", "AdaptationsCounterLabel"};
inline constexpr int AdaptationsCapabilityBit = 11;
inline constexpr std::string_view TimerDivisionLabels[] = {
    "TAP_FirmwareTimerDivisionLabel", "Label31", "Lowest_Motor_RPM_Label",
};

// ---- hot keys (Alt+T, Alt+U) by id ----
inline constexpr int HotKeyTables = 0;
inline constexpr int HotKeyService = 1;

// ---- the start dialog ----
inline constexpr std::string_view StartDialog = "TFormStartSelectConfiguration";
inline constexpr LinkText StartDialogCaption = LinkText::StartDialogCaption;
inline constexpr std::string_view StartOptionsGroup = "RadioGroupSelectStartOption";
inline constexpr LinkText StartOptionsCaption = LinkText::StartOptionsCaption;
inline constexpr std::string_view ContinueButton = "ButtonContinue";
inline constexpr LinkText ContinueCaption = LinkText::ContinueCaption;

// "RadioGroupSelectStartOption[1]": item `index` (from 0) of a radio group
// or a combo box.
std::string RadioItem(std::string_view group, int index);

}  // namespace shell
}  // namespace tovrel
