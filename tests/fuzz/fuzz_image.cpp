// The firmware image reader: the bytes taken in runs of the lengths the
// input chooses must be the image, never more than the buffer holds.
#include "FirmwareImage.h"
#include "FuzzSupport.h"

using namespace tovrel;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static FirmwareImage image;
    fuzz::Input in(data, size);
    const std::size_t run = 1 + in.Word() % 5000;
    // Small inputs stand for large files: each byte of the input may repeat.
    const std::size_t repeat = 1 + in.Byte() % 200;
    std::vector<std::uint8_t> file;
    for (std::size_t k = 0; k < in.Left(); ++k) file.insert(file.end(), repeat, in.Here()[k]);
    image.size = 0;
    ImageFill fill(image);
    for (std::size_t at = 0; at < file.size(); at += run) fill.Feed(file.data() + at, std::min(run, file.size() - at));
    fill.Finish();
    const std::size_t kept = std::min<std::size_t>(file.size(), FirmwareImageCapacity);
    FUZZ_CHECK(image.size == kept);
    FUZZ_CHECK(fill.Total() == file.size());
    FUZZ_CHECK(fill.TooLong() == (file.size() > FirmwareImageCapacity));
    FUZZ_CHECK(image.bytes.size() == FirmwareImageCapacity);
    FUZZ_CHECK(std::equal(file.begin(), file.begin() + static_cast<long>(kept), image.bytes.begin()));
    return 0;
}
