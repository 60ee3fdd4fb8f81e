// The configuration file reader. A document it takes must save and read back
// to the same values; nothing it refuses may come without a reason.
#include <cmath>
#include <string>

#include "ConfigFile.h"
#include "FuzzSupport.h"

using namespace tovrel;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    std::string error;
    const auto content = ParseConfiguration(bytes, "fuzz.xml", &error);
    if (!content) {
        FUZZ_CHECK(!error.empty());
        return 0;
    }
    TimingMaps maps;
    TimingMap* all[4] = {&maps.LPG, &maps.Petrol, &maps.LPGLoadDependence, &maps.PetrolLoadDependence};
    for (int m = 0; m < 4; ++m)
        for (int i = 0; i < MapPointCount; ++i) {
            const double y = content->y[static_cast<std::size_t>(m)][static_cast<std::size_t>(i)];
            FUZZ_CHECK(std::isfinite(y));
            all[m]->y[static_cast<std::size_t>(i)] = y;
        }
    const auto saved = ConfigurationXml(maps.LPG, maps.Petrol, maps.LPGLoadDependence, maps.PetrolLoadDependence,
                                        content->timeout.value_or(""));
    std::string again_error;
    const auto again = ParseConfiguration(saved, "again.xml", &again_error);
    if (!again) std::fprintf(stderr, "saved file refused: %s\n", again_error.c_str());
    FUZZ_CHECK(again.has_value());
    for (std::size_t m = 0; m < 4; ++m)
        for (std::size_t i = 0; i < MapPointCount; ++i) {
            const double a = content->y[m][i], b = again->y[m][i];
            FUZZ_CHECK(std::fabs(a - b) <= 1e-9 * std::fmax(1.0, std::fabs(a)));
        }
    return 0;
}
