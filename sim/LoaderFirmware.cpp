// The firmware loader.
#include "ProbeOnly.h"

namespace tovrel::sim {

std::unique_ptr<Firmware> MakeLoaderFirmware(Variator& device) {
    return std::make_unique<ProbeOnlyFirmware>(device, 2);
}

}  // namespace tovrel::sim
