#pragma once
// Reads the variator's whole configuration into a Configuration of its own,
// leaving the maps in the editor and the window's fields alone: the backup
// before a firmware update and the compare with the device use it. The
// exchanges are those of the configuration read (four maps of 80 points,
// the start timeout, the two throttle sensor points).
#include <optional>

#include "ConfigurationCompare.h"
#include "Dataextractor.h"
#include "MapTransfer.h"

namespace tovrel {

struct DeviceConfigurationRead {
    // Set only when every value came back.
    std::optional<Configuration> configuration;
    TransferTally tally;
};

// Sends nothing when the variator is not connected in its normal firmware.
// Holds the line as an ordinary procedure (nested in one that holds it
// already, such as the firmware update); pumps the screen between points.
// A line that goes silent ends it with the line's own message.
DeviceConfigurationRead ReadDeviceConfiguration(DeviceLink& link);

}  // namespace tovrel
