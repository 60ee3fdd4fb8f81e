#pragma once
// Texts of the live operating point on the map views: its menu, following
// and the trail's length (see link/Texts.h). Context "live".
#include <cstdint>

#include "Texts.h"

namespace tovrel {

enum class LiveText : std::uint16_t {
    Menu,
    Follow,
    Trail,
    TrailOff,
    TrailSeconds,
    Count
};

const texts::Catalogue<LiveText>& CatalogueOf(LiveText);

}  // namespace tovrel
