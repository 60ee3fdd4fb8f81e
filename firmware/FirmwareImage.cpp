// The image file: choosing it, reading it into FirmwareImage, the size check,
// and the update log.
#include <algorithm>

#include "AtomicFile.h"
#include "Firmwareupdate.h"
#include "Platform.h"
#include "FirmwareTexts.h"

namespace tovrel {

void ImageFill::Feed(const std::uint8_t* bytes, std::size_t count) {
    const std::size_t room = FirmwareImageCapacity - stored_;
    const std::size_t take = count < room ? count : room;
    std::copy_n(bytes, take, image_.bytes.begin() + stored_);
    stored_ += static_cast<std::uint32_t>(take);
    total_ += count;
}

void InitFirmwarePage(Screen& screen) {
    const FirmwarePage page(screen);
    page.Memo().SetText(Tr(kFirmwareMemoInitial));
    page.FileButton().SetText(Tr(kFirmwareButtonCaption));
    page.FileButton().SetEnabled(true);
    page.StopButton().SetText(Tr(kFirmwareStopCaption));
    page.StopButton().SetEnabled(false);
    page.Gauge().Set(Property::Minimum, 0);
    page.Gauge().Set(Property::Maximum, 100);
    page.Gauge().SetPosition(0);
    page.GaugeCaption().SetText(Tr(FirmwareText::ProgressCaption));
    page.MemoCaption().SetText(Tr(FirmwareText::MemoCaption));
}

void FirmwareUpdate::LogUpdateLine(std::string_view text) {
    page_.Memo().AppendLine(text);
    page_.Memo().Repaint();
    screen_.Pump();
}

std::optional<std::string> FirmwareUpdate::SelectFirmwareFile() {
    auto name = screen_.ChooseFile(kFirmwareFileDialog, FileDialogMode::Open, kFirmwareFileFilter);
    if (!name) return std::nullopt;
    LogUpdateLine(Tr(FirmwareText::FileSelected));
    LogUpdateLine(*name);
    return name;
}

ImageReadEnd FirmwareUpdate::ReadFirmwareFile(const std::string& name) {
    image.size = 0;
    // File names reach the system as they are (UTF-8 here). Only a regular
    // file is an image: a directory would fail on the first read, a device
    // such as /dev/zero would never end and a FIFO would block the open.
    std::FILE* f = OpenRegularFile(name);
    if (!f) {
        LogUpdateLine(Tr(FirmwareText::FileOpenFailed));
        Sleep(5000);
        return ImageReadEnd::NotOpened;
    }
    file_ = f;

    ImageFill fill(image);
    std::uint8_t chunk[4096];
    for (std::size_t n; (n = std::fread(chunk, 1, sizeof chunk, file_)) > 0;) {
        fill.Feed(chunk, n);
        if (fill.TooLong()) {
            // Flashing the first 262144 bytes of a longer file would put a
            // cut firmware into the device: the image is refused whole.
            LogUpdateLine(Tr(FirmwareText::FileTooLarge));
            Sleep(5000);
            image.size = 0;
            return ImageReadEnd::TooLarge;
        }
    }
    if (std::ferror(file_)) {
        LogUpdateLine(Tr(FirmwareText::FileReadError));
        Sleep(5000);
        return ImageReadEnd::ReadError;
    }
    fill.Finish();
    LogUpdateLine(Tr(FirmwareText::EndOfFile));
    LogUpdateLine(TrFormat(FirmwareText::FileSize, std::to_string(image.size)));
    return ImageReadEnd::EndOfFile;
}

void FirmwareUpdate::CheckFirmwareImage() {
    if (file_) {
        std::fclose(file_);
        file_ = nullptr;
    }
    Sleep(3000);
    if (image.size == 0 || image.size % 4 != 0) {
        LogUpdateLine(Tr(FirmwareText::SizeZeroOrNotWhole));
        Sleep(2000);
    } else {
        LogUpdateLine(Tr(FirmwareText::FileAccepted));
    }
}

}  // namespace tovrel
