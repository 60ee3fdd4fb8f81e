#pragma once
// What the benchmarks share: a temporary port directory that goes away at the
// end, and the line time of a frame pair.
#include <cstdlib>
#include <filesystem>
#include <string>

#include "BenchLine.h"
#include "Variator.h"

namespace tovrel::bench {

// A simulator on COM1 of `dir`, paced like a real 9600-baud line.
inline sim::Options PacedSimOptions(const std::string& dir) {
    sim::Options o;
    o.port_dir = dir;
    o.port_number = 1;
    o.paced = true;
    return o;
}

class PortDir {
public:
    PortDir() {
        std::string tmpl = (std::filesystem::temp_directory_path() / "tovrel-bench-XXXXXX").string();
        path_ = ::mkdtemp(tmpl.data());
        // For the desktop program, which takes it from the environment.
        ::setenv("TOVREL_PORT_DIR", path_.c_str(), 1);
    }
    ~PortDir() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    PortDir(const PortDir&) = delete;
    PortDir& operator=(const PortDir&) = delete;
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

}  // namespace tovrel::bench
