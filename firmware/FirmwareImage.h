#pragma once
// The firmware image: the bytes of a ".evf0" file as the loader gets them.
// The program does not look inside an image; it checks only its size.
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

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

// Controls of the firmware page.
inline constexpr std::string_view kFirmwareFileDialog = "FirmwareFileOpenDialog";
inline constexpr std::string_view kFirmwareFileFilter = "*.evf0";
inline constexpr std::string_view kFirmwareMemo = "FirmwareUpdateProcessMemo";
inline constexpr std::string_view kFirmwareButton = "FirmwareFileSelectButton";
inline constexpr std::string_view kFirmwareGauge = "FirmwareUpdateProcessGauge";
// Stops an update that talks to the loader; enabled only meanwhile.
inline constexpr std::string_view kFirmwareStopButton = "FirmwareStopButton";
inline constexpr std::string_view kFirmwareTabSheet = "FirmwareUpdateTabSheet";
inline constexpr int kFirmwarePage = 11;

// Texts the page starts with and returns to after every update.
inline constexpr std::string_view kFirmwareMemoInitial = "Файл прошивки не выбран. ";
// Logged when an image is refused before the device is touched.
inline constexpr std::string_view kImageRefusedLine =
    "Обновление прошивки отменено: вариатор не переключался, прошивка не изменена.";
inline constexpr std::string_view kFirmwareButtonCaption = "Нажмите для выбора файла обновления прошивки";
inline constexpr std::string_view kFirmwareStopCaption = "Прервать обновление";
// Asked before an image that cannot be whole goes to the device; "Нет"
// refuses it as above.
inline constexpr std::string_view kFlashAnywayQuestion = "Прошить всё равно?";
// Asked by the stop button before the update is broken off.
inline constexpr std::string_view kStopUpdateQuestion =
    "Если прервать обновление, вариатор останется в режиме загрузчика, прошивка в нём может быть неполной; "
    "восстановить его можно повторным обновлением с тем же файлом прошивки. Прервать обновление прошивки?";
// Logged when the update ends at the user's stop request.
inline constexpr std::string_view kUpdateStoppedLine = "Обновление прошивки остановлено по запросу пользователя.";
// The last line of the log and the one message of an update that the loader
// took up but did not confirm (the line vanished or went silent, the loader
// refused, the user stopped it): the variator waits in its loader, and the
// same image flashed again brings it back.
inline constexpr std::string_view kUpdateInterruptedMessage =
    "Обновление прошивки не завершено: вариатор остался в режиме загрузчика, прошивка в нём может быть неполной. "
    "Чтобы восстановить вариатор, выполните обновление ещё раз с тем же файлом прошивки.";

}  // namespace tovrel
