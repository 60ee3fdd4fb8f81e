#pragma once
// How a port number reaches a device on this platform.
//
// With TOVREL_PORT_DIR set, port n is "$TOVREL_PORT_DIR/COM<n>" (the
// simulated variator and the tests link their pseudo-terminals there).
// Otherwise the fixed mapping is:
//   1..32    /dev/ttyS0 .. /dev/ttyS31      (COM1 is the first built-in port)
//   33..132  /dev/ttyUSB0 .. /dev/ttyUSB99  (USB serial adapters)
//   133..232 /dev/ttyACM0 .. /dev/ttyACM99  (USB modem-class adapters)
//   233..254 any other /dev/ttyS*, ttyUSB* or ttyACM* device present, in
//            name order, so that every such device has some number.
// Numbers of four or more digits, and negative ones, have no path.
#include <optional>
#include <string>
#include <vector>

namespace tovrel {

inline constexpr int kMaxPortNumber = 999;
// Numbers 233..254 beyond the devices present resolve below this prefix,
// where nothing exists.
inline constexpr const char* kUnassignedPortPrefix = "/dev/tovrel-unassigned-COM";

std::optional<std::string> PortPath(int number);

struct PortEntry {
    int number;
    std::string path;
    bool exists;
};
// Ports 1..254 with the paths they resolve to.
std::vector<PortEntry> ListPorts();

}  // namespace tovrel
