#pragma once
// The firmware image: the bytes of a ".evf0" file as the loader gets them.
// The program does not look inside an image; it checks only its size.
#include "FirmwarePage.h"
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>
#include "FirmwareTexts.h"

namespace tovrel {

inline constexpr std::uint32_t FirmwareImageCapacity = 262144;  // 0x40000

struct FirmwareImage {
    std::vector<std::uint8_t> bytes = std::vector<std::uint8_t>(FirmwareImageCapacity);
    // Image bytes; 0 until a file has been read to its end. It is the volume
    // announced to the loader.
    std::uint32_t size = 0;
};

// Takes the bytes of an image file as they are read, in runs of any length:
// the first FirmwareImageCapacity go into the image, the rest are only
// counted. Finish sets the image size.
class ImageFill {
public:
    explicit ImageFill(FirmwareImage& image) : image_(image) {}
    void Feed(const std::uint8_t* bytes, std::size_t count);
    // The bytes fed, stored or not.
    std::uint64_t Total() const { return total_; }
    std::uint32_t Stored() const { return stored_; }
    bool TooLong() const { return total_ > FirmwareImageCapacity; }
    void Finish() { image_.size = stored_; }

private:
    FirmwareImage& image_;
    std::uint32_t stored_ = 0;
    std::uint64_t total_ = 0;
};

// How ReadFirmwareFile ended.
enum class ImageReadEnd {
    EndOfFile,   // read to its end: the image holds the file
    TooLarge,    // the file is larger than the buffer: the size stays 0
    ReadError,   // a read failed: the size stays 0
    NotOpened,   // the file could not be opened: nothing was read, the size is 0
};

inline constexpr int kFirmwarePage = 11;

// Texts the page starts with and returns to after every update.
inline constexpr FirmwareText kFirmwareMemoInitial = FirmwareText::MemoInitial;
// Logged when an image is refused before the device is touched.
inline constexpr FirmwareText kImageRefusedLine = FirmwareText::ImageRefused;
inline constexpr FirmwareText kFirmwareButtonCaption = FirmwareText::ButtonCaption;
inline constexpr FirmwareText kFirmwareStopCaption = FirmwareText::StopCaption;
// Asked before an image that cannot be whole goes to the device; "Нет"
// refuses it as above.
inline constexpr FirmwareText kFlashAnywayQuestion = FirmwareText::FlashAnywayQuestion;
// Asked by the stop button before the update is broken off.
inline constexpr FirmwareText kStopUpdateQuestion = FirmwareText::StopUpdateQuestion;
// Logged when the update ends at the user's stop request.
inline constexpr FirmwareText kUpdateStoppedLine = FirmwareText::UpdateStopped;
// The last line of the log and the one message of an update that the loader
// took up but did not confirm (the line vanished or went silent, the loader
// refused, the user stopped it): the variator waits in its loader, and the
// same image flashed again brings it back.
inline constexpr FirmwareText kUpdateInterruptedMessage = FirmwareText::UpdateInterrupted;

}  // namespace tovrel
