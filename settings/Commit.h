#pragma once
// The EEPROM commit: a write of 0 to address 0 makes the variator store its
// working configuration in EEPROM. Every lasting write ends with it.
#include "Dataextractor.h"

namespace tovrel {

// One write exchange (address 0, index 0, value 0, error messages on,
// 2 attempts). True when the variator confirmed it.
bool CommitToEEPROM(DeviceLink& link);

}  // namespace tovrel
