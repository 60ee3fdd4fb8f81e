// The oscilloscope firmware.
#include "ProbeOnly.h"

namespace tovrel::sim {

std::unique_ptr<Firmware> MakeOscilloscopeFirmware(Variator& device) {
    return std::make_unique<ProbeOnlyFirmware>(device, 3);
}

}  // namespace tovrel::sim
