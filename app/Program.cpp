#include "Program.h"

#include "RestoreFlow.h"

namespace tovrel {

Program::Program(Screen& s, Canvas& picture, std::unique_ptr<SerialPort> port, std::unique_ptr<LoaderSerialPort> loader_port)
    : screen(s), link(s, std::move(port)), firmware(link, std::move(loader_port)), scope(link, picture) {
    firmware.beep_enabled = [this] { return FirmwareBeepEnabled; };
    firmware.read_configuration = [this] { ReadConfiguration(); };
    WireRestorePoints(*this);
}

bool Program::ReadConfiguration() {
    const TransferTally options = ReadDeviceOptions(link, settings);
    const TransferTally all = ReadAllData(link, maps);
    return options.Ok() && all.Ok();
}

}  // namespace tovrel
