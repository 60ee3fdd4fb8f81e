#pragma once
// The program-wide state of one run, with one owner: the device link and its
// serial port, the maps with their editor state and the one write guard, the
// device options (one copy, shared by the settings, monitor and log code), the
// live state, the firmware update, the oscilloscope and the start choice.
//
// Every front end (the desktop window, the command line, the tests) makes one
// Program and calls the logic's handlers with its members. In the desktop
// program it lives on the device thread and is touched by that thread only
// (README, "Where the maps live").
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>

#include "Canvas.h"
#include "ConfigurationReadWrite.h"
#include "Dataextractor.h"
#include "Firmwareupdate.h"
#include "LiveState.h"
#include "MapEditor.h"
#include "Ocsilloscope.h"
#include "RestorePoints.h"

namespace tovrel {

class Program {
public:
    // `picture` is the canvas of the oscillogram picture (Oscill_Image).
    Program(Screen& screen, Canvas& picture, std::unique_ptr<SerialPort> port = std::make_unique<ComPort>(),
            std::unique_ptr<LoaderSerialPort> loader_port = std::make_unique<ComPort>());
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    Screen& screen;
    DeviceLink link;
    MapsState maps;          // maps, editor state, write guard
    MapViews map_views{screen, maps.document};  // the map views follow the maps
    SettingsState settings;  // device options, program directory
    LiveState live;
    FirmwareUpdate firmware;
    Oscilloscope scope;

    // The start dialog's choice: 0 connect and read, 1 connect only,
    // 2 connect for a firmware update with beeps.
    std::uint8_t StartOption = 0;
    // Beeps of the firmware update; the update reads this one switch.
    bool FirmwareBeepEnabled = false;

    // The main window's start sequence has run (it runs once per start).
    bool Activated = false;
    // The two hot keys act between the start sequence and the window close.
    bool HotKeysRegistered = false;

    // The configuration read that follows a connection: the device options,
    // then every map and parameter (each does nothing unless connected).
    // True when both were read in full.
    bool ReadConfiguration();

    // Restore points (app/RestoreFlow.h): made before every commit of the
    // whole configuration, file load, restore and firmware update. Null: the
    // program makes none (tests that do not look at them); the window and
    // the command line set it.
    std::unique_ptr<RestorePointStore> restore_points;
    // The firmware update first reads the configuration and keeps it as a
    // backup (the command line's --no-backup clears it).
    bool backup_before_update = true;
    // Asked when that read fails: flash without a backup? By default the
    // screen's question, "Нет" unless the user says yes.
    std::function<bool()> flash_without_backup;
    // After the update: compare the device with the backup and offer to
    // restore what differs (the command line prints the difference instead).
    bool offer_restore_after_update = true;
    // The backup of the last update, when one was made.
    std::optional<std::filesystem::path> update_backup;
    std::optional<Configuration> update_backup_configuration;

    LiveContext Live() { return LiveContext{link, maps.guard, settings.options, live}; }
};

}  // namespace tovrel
