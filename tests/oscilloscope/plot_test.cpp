// The oscillogram picture: clearing, the scale, the rows of the two levels,
// the end of the picture, and the image saved as PNG.
#include <gtest/gtest.h>
#include <png.h>

#include "ScopeFixture.h"

namespace tovrel::test {
namespace {

constexpr Rgb kBackground{230, 230, 230}, kGrey{128, 128, 128}, kBlack{0, 0, 0};

OscillogramRecord Half(int level, std::uint32_t length, bool mode32) {
    OscillogramRecord r;
    r.marker = 0xAA;
    r.data[0] = static_cast<std::uint8_t>(level << 7 | 3);
    if (mode32) {
        r.data[1] = static_cast<std::uint8_t>(length >> 24);
        r.data[2] = static_cast<std::uint8_t>(length >> 16);
        r.data[3] = static_cast<std::uint8_t>(length >> 8);
        r.data[4] = static_cast<std::uint8_t>(length);
    } else {
        r.data[1] = static_cast<std::uint8_t>(length >> 8);
        r.data[2] = static_cast<std::uint8_t>(length);
    }
    return r;
}

class PlotTest : public ::testing::Test {
protected:
    void SetUp() override { plot.ClearOscillogramPlot(10000); }
    ImageCanvas canvas{kOscillImageWidth, kOscillImageHeight};
    RecordingScreen screen;
    OscillogramPlot plot{canvas, &screen};
};

TEST_F(PlotTest, ClearWidensAndPaintsBackgroundBorderAndMidLine) {
    EXPECT_EQ(canvas.Width(), 10000);
    EXPECT_EQ(canvas.Height(), 521);
    EXPECT_EQ(screen.Number("OscillScrollBox", Property::Position), 0);
    EXPECT_EQ(canvas.PenPosition(), (Point{0, 0}));
    EXPECT_EQ(plot.OscillogramPlotX, 0u);
    for (auto [x, y] : {std::pair{0, 0}, {9999, 0}, {0, 520}, {9999, 520}, {5000, 0}, {0, 100}})
        EXPECT_EQ(canvas.Pixel(x, y), kGrey) << x << "," << y;
    EXPECT_EQ(canvas.Pixel(1, 1), kBackground);
    EXPECT_EQ(canvas.Pixel(9998, 519), kBackground);
    EXPECT_EQ(canvas.Pixel(4000, 260), kGrey);  // 521 / 2
    EXPECT_EQ(canvas.Pixel(4000, 259), kBackground);
    EXPECT_EQ(canvas.Pixel(4000, 261), kBackground);

    // A wider picture stays as wide; a second clear wipes what was drawn.
    canvas.SetWidth(12000);
    plot.PlotOscillogramRecord(Half(1, 60000, false), false);
    plot.ClearOscillogramPlot(10000);
    EXPECT_EQ(canvas.Width(), 12000);
    EXPECT_EQ(canvas.Pixel(20, 10), kBackground);
    EXPECT_EQ(plot.OscillogramPlotX, 0u);
}

TEST_F(PlotTest, RecordsDrawEdgesAndSegmentsOnTheirLevelRows) {
    // The first record: from (0, 0) down to its row, then its length.
    ASSERT_TRUE(plot.PlotOscillogramRecord(Half(1, 65535, false), false));
    EXPECT_EQ(canvas.PenPosition(), (Point{54, 10}));  // 65535 / 1200
    EXPECT_EQ(canvas.Pixel(0, 5), kBlack);
    EXPECT_EQ(canvas.Pixel(30, 10), kBlack);
    EXPECT_EQ(canvas.Pixel(30, 11), kBlack);  // 3 pixels wide
    EXPECT_EQ(canvas.Pixel(30, 12), kBackground);
    EXPECT_EQ(canvas.Pixel(30, 300), kBackground);

    // Level 0: an edge down at x = 54, then along row 300.
    ASSERT_TRUE(plot.PlotOscillogramRecord(Half(0, 12000, false), false));
    EXPECT_EQ(canvas.PenPosition(), (Point{64, 300}));
    EXPECT_EQ(canvas.Pixel(54, 150), kBlack);
    EXPECT_EQ(canvas.Pixel(60, 300), kBlack);

    // Below 1200 units only the edge is drawn.
    ASSERT_TRUE(plot.PlotOscillogramRecord(Half(1, 1199, false), false));
    EXPECT_EQ(canvas.PenPosition(), (Point{64, 10}));
    EXPECT_EQ(plot.OscillogramPlotX, 64u);

    // 32-bit mode: one pixel per 12000 units.
    ASSERT_TRUE(plot.PlotOscillogramRecord(Half(0, 120000, true), true));
    EXPECT_EQ(canvas.PenPosition(), (Point{74, 300}));
}

TEST_F(PlotTest, RecordsPastTheEndOfThePictureAreNotDrawn) {
    // 185 records of 54 pixels reach 9990; the next one would reach 10044.
    for (int k = 0; k < 185; ++k) ASSERT_TRUE(plot.PlotOscillogramRecord(Half(k % 2, 65535, false), false)) << k;
    const auto pixels = canvas.pixels();
    EXPECT_FALSE(plot.PlotOscillogramRecord(Half(1, 65535, false), false));
    EXPECT_EQ(plot.OscillogramPlotX, 10044u);  // the step is kept
    EXPECT_EQ(canvas.PenPosition(), (Point{9990, 300}));  // record 184 was level 0
    // Later records, even short ones, stay out.
    EXPECT_FALSE(plot.PlotOscillogramRecord(Half(1, 0, false), false));
    EXPECT_EQ(canvas.pixels(), pixels);

    // Exactly reaching the width does not fit either.
    plot.ClearOscillogramPlot(10000);
    ASSERT_TRUE(plot.PlotOscillogramRecord(Half(1, 9999u * 12000u, true), true));
    EXPECT_FALSE(plot.PlotOscillogramRecord(Half(0, 12000, true), true));
}

// Decodes a PNG with libpng into rows of RGB.
struct Decoded {
    unsigned width = 0, height = 0;
    std::vector<std::uint8_t> rgb;
};
Decoded DecodePng(const std::string& bytes) {
    Decoded d;
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size())) return d;
    image.format = PNG_FORMAT_RGB;
    d.rgb.resize(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, d.rgb.data(), 0, nullptr)) return {};
    d.width = image.width;
    d.height = image.height;
    return d;
}

TEST_F(PlotTest, SavedPngHoldsThePicture) {
    for (int k = 0; k < 40; ++k) plot.PlotOscillogramRecord(Half(k % 2, k % 7 == 6 ? 50000 : 10000, false), false);
    TempDir dir;
    std::string error;
    ASSERT_TRUE(canvas.SavePng(dir / "plot.png", &error)) << error;
    auto d = DecodePng(ReadBytes(dir / "plot.png"));
    ASSERT_EQ(d.width, 10000u);
    ASSERT_EQ(d.height, 521u);
    EXPECT_EQ(d.rgb, canvas.pixels());

    EXPECT_FALSE(canvas.SavePng(dir / "missing/plot.png", &error));
    EXPECT_FALSE(error.empty());
}

}  // namespace
}  // namespace tovrel::test
