#include "Gui2.h"

#include <string>

#include "MainWindowPage.h"
#include "NumberText.h"
#include "SettingsPage.h"
#include "Shell.h"
#include "View3D.h"
#include "AppTexts.h"

namespace tovrel::gui2 {

namespace {

void SelectPageAndPump(Screen& screen, int index) {
    screen.SelectPage(index);
    MainWindowPage(screen).Pages().Repaint();
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

    const MainWindowPage window(screen);
    window.PortCaption().SetText(Tr(AppText::PortLabel));
    window.PortBox().SetText("0");
    for (int n = shell::PortBoxFirst; n <= shell::PortBoxLast; ++n)
        window.PortItem(n - shell::PortBoxFirst).SetText(std::to_string(n));

    window.ProgressCaption().SetText(Tr(AppText::ProgressLabel));
    window.ProgressCaption().SetVisible(false);
    window.Progress().Set(Property::Minimum, 0);
    window.Progress().Set(Property::Maximum, MapPointCount - 1);
    window.Progress().SetPosition(0);
    window.Progress().SetVisible(false);

    for (int p = 0; p < page::Count; ++p) window.Tab(p).SetVisible(true);
    for (int p : shell::HiddenTablePages) window.Tab(p).SetVisible(false);

    window.Status().SetOpaque(true);
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
    const MainWindowPage window(screen);
    for (int p : shell::HiddenTablePages) window.Tab(p).SetVisible(true);
    window.Tab(page::Firmware).SetVisible(true);
    window.Window().Repaint();
}

void ShowServiceLabels(Program& program) {
    Screen& screen = program.screen;
    const SettingsPage page(screen);
    const auto show = [](const Control& label) { label.SetVisible(true); };
    page.ForEachServiceLabel(show);
    program.live.ServiceValuesShown = true;
    if (program.settings.options.DeviceCapabilities.Bit(shell::AdaptationsCapabilityBit)) {
        page.ForEachAdaptationLabel(show);
        program.live.AdaptationValuesShown = true;
    }
    page.ForEachTimerDivisionLabel(show);
    MainWindowPage(screen).Window().Repaint();
}

void ApplicationEvents1Message(Program& program, int hot_key_id) {
    if (!program.HotKeysRegistered) return;
    if (hot_key_id == shell::HotKeyTables) ShowHiddenTables(program);
    else if (hot_key_id == shell::HotKeyService) ShowServiceLabels(program);
}

void N9Click(Program& program) {
    Screen& screen = program.screen;
    const std::string text = MainWindowPage(screen).PortBox().Text();
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
