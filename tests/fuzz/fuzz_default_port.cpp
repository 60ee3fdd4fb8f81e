// The remembered-port file reader: the text taken whole and in runs of the
// lengths the input chooses must give the same port.
#include "Dataextractor.h"
#include "FuzzSupport.h"

using namespace tovrel;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Input in(data, size);
    const std::size_t run = 1 + in.Byte() % 64;
    const std::string_view text(reinterpret_cast<const char*>(in.Here()), in.Left());
    const auto whole = ParseDefaultPortText(text);
    DefaultPortScanner scanner;
    std::size_t taken = 0;
    for (std::size_t at = 0; at < text.size() && !scanner.Done(); at += run) {
        const std::size_t n = std::min(run, text.size() - at);
        const std::size_t t = scanner.Feed(text.data() + at, n);
        FUZZ_CHECK(t <= n);
        taken += t;
        if (t < n) FUZZ_CHECK(scanner.Done());
    }
    FUZZ_CHECK(scanner.Port() == whole);
    FUZZ_CHECK(taken <= text.size());
    return 0;
}
