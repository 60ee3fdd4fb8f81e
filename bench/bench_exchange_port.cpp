// The exchange benchmark against a variator on a port of the system (a
// paced tovrel-sim started outside, TOVREL_PORT_DIR where its COM<n> is), so
// that builds for different systems can be measured on the same line:
//   bench_exchange_port PORT [COUNT]
#include <cstdio>
#include <cstdlib>

#include "ExchangeRun.h"
#include "StoredScreen.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_exchange_port PORT [COUNT]\n");
        return 2;
    }
    const int port = std::atoi(argv[1]);
    const int count = argc > 2 ? std::atoi(argv[2]) : 200;
    tovrel::StoredScreen screen;
    tovrel::DeviceLink link(screen);
    if (const char* dir = std::getenv("TOVREL_PORT_DIR")) link.port_dir = dir;
    link.sleep_ms = [](int) {};
    if (link.Connect(port, false) != 1) {
        std::fprintf(stderr, "bench_exchange_port: no variator on port %d\n", port);
        return 1;
    }
    const int status = tovrel::bench::RunExchanges(link, count);
    link.Disconnect();
    return status;
}
