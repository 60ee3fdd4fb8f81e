// Choosing and reading the image file, and the size verdict.
#include <sys/stat.h>

#include "FirmwareFixture.h"

namespace tovrel::test {
namespace {

class ImageFileTest : public FirmwareFixture {};

struct FileCase {
    std::size_t size;
    std::vector<std::string> lines;
    std::vector<int> pauses;
    std::uint32_t image_size;
    ImageReadEnd end = ImageReadEnd::EndOfFile;
};

TEST_F(ImageFileTest, SizesAndTheirVerdicts) {
    const std::string zero_or_odd = "Размер прошивки равен нулю, или не кратен четырём.";
    const std::string fine = "Требования к содержимому файла прошивки выполнены.";
    const std::string end = "Достигнут конец файла";
    const FileCase cases[] = {
        {0, {end, "0 байт размер файла прошивки", zero_or_odd}, {3000, 2000}, 0},
        {1022, {end, "1022 байт размер файла прошивки", zero_or_odd}, {3000, 2000}, 1022},
        {4096, {end, "4096 байт размер файла прошивки", fine}, {3000}, 4096},
        {262144, {end, "262144 байт размер файла прошивки", fine}, {3000}, 262144},
        // A longer file is refused whole, never flashed cut to the buffer.
        {262145, {"Файл превышает размер буфера", zero_or_odd}, {5000, 3000, 2000}, 0, ImageReadEnd::TooLarge},
        {262144 * 2 + 3, {"Файл превышает размер буфера", zero_or_odd}, {5000, 3000, 2000}, 0, ImageReadEnd::TooLarge},
    };
    auto& up = MakeUpdate();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.size);
        screen.log.clear();
        sleeps.clear();
        const auto bytes = RandomImage(c.size, static_cast<unsigned>(c.size));
        EXPECT_EQ(up.ReadFirmwareFile(ImageFile(bytes)), c.end);
        up.CheckFirmwareImage();
        EXPECT_EQ(screen.log, c.lines);
        EXPECT_EQ(sleeps, c.pauses);
        ASSERT_EQ(up.image.size, c.image_size);
        EXPECT_TRUE(std::equal(bytes.begin(), bytes.begin() + c.image_size, up.image.bytes.begin()));
    }
}

TEST_F(ImageFileTest, FilesThatCannotBeOpenedLeaveAnEmptyImage) {
    auto& up = MakeUpdate();
    // An earlier image must not survive into this update.
    ASSERT_EQ(up.ReadFirmwareFile(ImageFile(RandomImage(64, 1))), ImageReadEnd::EndOfFile);
    up.CheckFirmwareImage();
    std::filesystem::create_directory(dir / "folder.evf0");
    // A FIFO nobody writes to would block the open for ever.
    ASSERT_EQ(::mkfifo((dir / "fifo.evf0").c_str(), 0600), 0);
    for (const std::string& name :
         {dir / "missing.evf0", dir / "folder.evf0", std::string("/dev/zero"), dir / "fifo.evf0"}) {
        SCOPED_TRACE(name);
        screen.log.clear();
        sleeps.clear();
        EXPECT_EQ(up.ReadFirmwareFile(name), ImageReadEnd::NotOpened);
        EXPECT_EQ(screen.log, std::vector<std::string>{"Файл прошивки невозможно открыть!"});
        EXPECT_EQ(sleeps, std::vector<int>{5000});
        EXPECT_EQ(up.image.size, 0u);
    }
}

TEST_F(ImageFileTest, DialogOffersEvf0FilesAndLogsTheChoice) {
    auto& up = MakeUpdate();
    screen.file_choices = {"/some/where/новая прошивка.evf0", ""};
    EXPECT_EQ(up.SelectFirmwareFile(), std::optional<std::string>("/some/where/новая прошивка.evf0"));
    EXPECT_EQ(up.SelectFirmwareFile(), std::nullopt);
    EXPECT_EQ(screen.dialogs.front(), (std::pair<std::string, std::string>{"FirmwareFileOpenDialog", "*.evf0"}));
    EXPECT_EQ(screen.file_modes.front(), FileDialogMode::Open);
    EXPECT_EQ(screen.log, (std::vector<std::string>{"Файл прошивки выбран", "/some/where/новая прошивка.evf0"}));
}

}  // namespace
}  // namespace tovrel::test
