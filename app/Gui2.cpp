#include "Gui2.h"

#include <string>

#include "NumberText.h"
#include "Shell.h"
#include "View3D.h"
#include "AppTexts.h"

namespace tovrel::gui2 {

namespace {

void SelectPageAndPump(Screen& screen, int index) {
    screen.SelectPage(index);
    screen.Repaint(shell::PageControl);
    screen.Pump();
}

// Connection commands from the menu would interleave their frames with a
// running device procedure; they wait for it instead.
bool RefuseWhileLineBusy(Program& program) {
    if (!program.link.LineBusy()) return false;
    program.screen.ShowNotice(Tr(kLineBusyMessage));
    return true;
}

}  // namespace

void FormCreate(Program& program) {
    Screen& screen = program.screen;
    InitTimingMaps(program.maps.document);
    InitMapControls(screen);
    Init3DControls(screen);
    InitConfigurationControls(screen);
    InitFirmwarePage(screen);

    screen.SetText(shell::PortLabel, Tr(AppText::PortLabel));
    screen.SetText(shell::PortBox, "0");
    for (int n = shell::PortBoxFirst; n <= shell::PortBoxLast; ++n)
        screen.SetText(shell::RadioItem(shell::PortBox, n - shell::PortBoxFirst), std::to_string(n));

    screen.SetText(shell::ProgressLabel, Tr(AppText::ProgressLabel));
    screen.SetVisible(shell::ProgressLabel, false);
    screen.Set(shell::ProgressBar, Property::Minimum, 0);
    screen.Set(shell::ProgressBar, Property::Maximum, MapPointCount - 1);
    screen.SetPosition(shell::ProgressBar, 0);
    screen.SetVisible(shell::ProgressBar, false);

    for (int p = 0; p < page::Count; ++p) screen.SetVisible(shell::TabSheet(p), true);
    for (int p : shell::HiddenTablePages) screen.SetVisible(shell::TabSheet(p), false);

    screen.SetOpaque(shell::StatusLabel, true);
    program.link.ShowConnectionState(state::Disconnected);
}

void FormShow(Program& program) { (void)program; }

void FormActivate(Program& program) {
    if (program.Activated) return;
    program.Activated = true;
    Screen& screen = program.screen;

    SelectPageAndPump(screen, page::Settings);
    program.HotKeysRegistered = true;
    // The capability word starts from nothing; its bit flags keep what the
    // last read gave them.
    program.settings.options.DeviceCapabilities.word = 0;

    if (program.StartOption > 2) {
        screen.ShowMessage(Tr(kUnknownOptionMessage));
        return;
    }
    if (program.StartOption == 2) program.FirmwareBeepEnabled = true;

    // The remembered port, then ports 1 to 254; shows kNoDeviceMessage when
    // nothing answered.
    if (!program.link.ConnectAtStart()) return;

    switch (program.StartOption) {
        case 0:
            ReadDeviceOptions(program.link, program.settings);
            ReadAllData(program.link, program.maps);
            break;
        case 1:
            ReadDeviceOptions(program.link, program.settings);
            break;
        case 2:
            SelectPageAndPump(screen, page::Firmware);
            break;
    }
}

void ShowHiddenTables(Program& program) {
    Screen& screen = program.screen;
    screen.ShowInfo(kTablesVisibleMessage);
    for (int p : shell::HiddenTablePages) screen.SetVisible(shell::TabSheet(p), true);
    screen.SetVisible(shell::TabSheet(page::Firmware), true);
    screen.Repaint(shell::MainWindow);
}

void ShowServiceLabels(Program& program) {
    Screen& screen = program.screen;
    for (auto label : shell::ServiceLabels) screen.SetVisible(label, true);
    program.live.ServiceValuesShown = true;
    if (program.settings.options.DeviceCapabilities.Bit(shell::AdaptationsCapabilityBit)) {
        for (auto label : shell::AdaptationLabels) screen.SetVisible(label, true);
        program.live.AdaptationValuesShown = true;
    }
    for (auto label : shell::TimerDivisionLabels) screen.SetVisible(label, true);
    screen.Repaint(shell::MainWindow);
}

void ApplicationEvents1Message(Program& program, int hot_key_id) {
    if (!program.HotKeysRegistered) return;
    if (hot_key_id == shell::HotKeyTables) ShowHiddenTables(program);
    else if (hot_key_id == shell::HotKeyService) ShowServiceLabels(program);
}

void N9Click(Program& program) {
    Screen& screen = program.screen;
    const std::string text = screen.Text(shell::PortBox);
    const auto n = ParseInteger(text);
    if (!n) {
        screen.ShowError(NotAnIntegerMessage(text));
        return;
    }
    if (*n == 0) {
        screen.ShowMessage(Tr(kWrongPortMessage));
        return;
    }
    if (RefuseWhileLineBusy(program)) return;
    // Connect refuses numbers that name no port path (negative, four or
    // more digits) with the same message. The mode found is kept: the
    // firmware update and the oscillogram capture go by it.
    program.link.DeviceMode = static_cast<std::uint8_t>(program.link.Connect(*n, true));
}

void N4Click(Program& program) {
    if (RefuseWhileLineBusy(program)) return;
    program.link.AutoConnect(1, 255);
}

void N12Click(Program& program) {
    if (RefuseWhileLineBusy(program)) return;
    program.link.Disconnect();
    program.link.ShowConnectionState(state::Disconnected);
    program.screen.ShowMessage(Tr(kDisconnectedMessage));
}

void FormClose(Program& program) {
    program.HotKeysRegistered = false;
    program.link.Disconnect();
    program.link.ReleasePort();
    program.link.ShowConnectionState(state::Disconnected);
}

}  // namespace tovrel::gui2
