// Mean time of read and write exchanges against the simulated variator paced
// like a real 9600-baud line, as a ratio to the line time of the 14 bytes of
// request and reply (14.58 ms). Target: 1.20 or less.
#include <cstdio>
#include <cstdlib>

#include "BenchSupport.h"
#include "ExchangeRun.h"
#include "StoredScreen.h"
#include "Variator.h"

int main(int argc, char** argv) {
    const int count = argc > 1 ? std::atoi(argv[1]) : 200;
    tovrel::bench::PortDir ports;
    const std::string& dir = ports.path();
    const tovrel::sim::Options o = tovrel::bench::PacedSimOptions(dir);
    tovrel::sim::Variator device(o);
    device.Start();
    tovrel::StoredScreen screen;
    tovrel::DeviceLink link(screen);
    link.port_dir = dir;
    link.sleep_ms = [](int) {};
    if (link.Connect(1, false) != 1) {
        std::fprintf(stderr, "bench_exchange: no variator\n");
        return 1;
    }
    const int status = tovrel::bench::RunExchanges(link, count);
    link.Disconnect();
    return status;
}
