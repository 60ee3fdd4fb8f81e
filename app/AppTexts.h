#pragma once
// The start dialog's and the main window's user texts (see link/Texts.h).
// Context "app".
#include <cstdint>

#include "Texts.h"

namespace tovrel {

enum class AppText : std::uint16_t {
    StartReadConfiguration,
    StartWithoutReading,
    StartFirmwareUpdate,
    UnknownOption,
    PortLabel,
    ProgressLabel,
    Count
};

const texts::Catalogue<AppText>& CatalogueOf(AppText);

}  // namespace tovrel
