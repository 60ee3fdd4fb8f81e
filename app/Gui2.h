#pragma once
// The main window's own handlers (TForm2), without a toolkit: creation, the
// start sequence on activation, the hot keys, the connection menu and the
// closing of the window. Each takes the one Program of the run; the desktop
// binding calls them on the device thread when the widget event arrives,
// the command line and the tests call them directly.
#include <string_view>

#include "Program.h"
#include "AppTexts.h"
#include "LinkTexts.h"
#include "SettingsTexts.h"

namespace tovrel::gui2 {

// Texts of the window's messages.
inline constexpr LinkText kNoDeviceMessage = ::tovrel::kNoDeviceMessage;
inline constexpr AppText kUnknownOptionMessage = AppText::UnknownOption;
inline constexpr LinkText kWrongPortMessage = LinkText::WrongPortNumber;
inline constexpr SettingsText kDisconnectedMessage = SettingsText::Disconnected;
inline constexpr std::string_view kTablesVisibleMessage = "Tables visible mode";

// After the toolkit has built the window: the maps get their axes and
// zeros, the port box its text "0" and items "1".."254", the status label
// "Не подключен" on red, the progress line its start text, hidden.
void FormCreate(Program& program);
// Nothing to do; kept so that every front end forwards the same events.
void FormShow(Program& program);
// The start sequence: first page, hot keys on, the remembered port and the
// port scan, then the follow-up chosen by StartOption. Runs once per
// program start; a second activation does nothing.
void FormActivate(Program& program);
// Hot keys: HotKeyTables (Alt+T) and HotKeyService (Alt+U) of link/Shell.h.
// Other ids, and any id before the start sequence registered the keys or
// after the window closed, do nothing.
void ApplicationEvents1Message(Program& program, int hot_key_id);
// The two hot keys' actions, as ApplicationEvents1Message runs them.
void ShowHiddenTables(Program& program);
void ShowServiceLabels(Program& program);
// "Подключиться": connects to the port in the port box.
void N9Click(Program& program);
// "Автовыбор": the scan over ports 1 to 254.
void N4Click(Program& program);
// "Отключиться".
void N12Click(Program& program);
// Hot keys off, disconnect, the port object released, "Не подключен".
void FormClose(Program& program);

}  // namespace tovrel::gui2
