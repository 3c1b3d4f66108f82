#include "platform/qt/QtCanvas.h"

#include <gtest/gtest.h>

#include <QApplication>

#include <array>

namespace tonewell {
namespace {

constexpr Colour kWhite = 0xFFFFFF;
constexpr Colour kRed = 0x0000FF;   // 0x00BBGGRR
constexpr Colour kBlue = 0xFF0000;

Colour PixelAt(const QImage& image, int x, int y) {
    const QColor c = image.pixelColor(x, y);
    return MakeColour(static_cast<std::uint8_t>(c.red()), static_cast<std::uint8_t>(c.green()),
                      static_cast<std::uint8_t>(c.blue()));
}

class QtCanvasTest : public ::testing::Test {
protected:
    QImage image{64, 48, QImage::Format_RGB32};
};

TEST_F(QtCanvasTest, FillsLinesAndOutlinesLandOnTheirPixelsInTheirColours) {
    {
        QtCanvas canvas(image, QFont());
        EXPECT_EQ(canvas.width(), 64);
        EXPECT_EQ(canvas.height(), 48);
        canvas.fillRectangle({0, 0, 64, 48}, kWhite);
        canvas.setPen(kRed);
        canvas.drawLine({2, 5}, {20, 5});
        canvas.setPen(kBlue);
        canvas.drawRectangle({30, 10, 40, 20});
    }
    EXPECT_EQ(PixelAt(image, 2, 5), kRed);
    EXPECT_EQ(PixelAt(image, 20, 5), kRed);  // both ends drawn
    EXPECT_EQ(PixelAt(image, 21, 5), kWhite);
    EXPECT_EQ(PixelAt(image, 10, 6), kWhite);
    // The outline covers the inside edge: columns 30 and 39, rows 10 and 19.
    EXPECT_EQ(PixelAt(image, 30, 15), kBlue);
    EXPECT_EQ(PixelAt(image, 39, 15), kBlue);
    EXPECT_EQ(PixelAt(image, 35, 19), kBlue);
    EXPECT_EQ(PixelAt(image, 40, 15), kWhite);
    EXPECT_EQ(PixelAt(image, 35, 20), kWhite);
    EXPECT_EQ(PixelAt(image, 35, 15), kWhite);  // not filled
}

TEST_F(QtCanvasTest, ClipDropsWhatFallsOutsideUntilCleared) {
    {
        QtCanvas canvas(image, QFont());
        canvas.fillRectangle({0, 0, 64, 48}, kWhite);
        canvas.setClip({10, 0, 20, 48});
        canvas.setPen(kRed);
        const std::array<CanvasPoint, 2> across{{{0, 8}, {63, 8}}};
        canvas.drawPolyline(across);
        canvas.clearClip();
        canvas.drawLine({0, 30}, {63, 30});
    }
    EXPECT_EQ(PixelAt(image, 9, 8), kWhite);
    EXPECT_EQ(PixelAt(image, 10, 8), kRed);
    EXPECT_EQ(PixelAt(image, 19, 8), kRed);
    EXPECT_EQ(PixelAt(image, 20, 8), kWhite);
    EXPECT_EQ(PixelAt(image, 0, 30), kRed);
    EXPECT_EQ(PixelAt(image, 63, 30), kRed);
}

TEST_F(QtCanvasTest, DashedPenLeavesGapsAndTextIsDrawnInsideItsExtent) {
    TextExtent extent;
    {
        QtCanvas canvas(image, QFont());
        canvas.fillRectangle({0, 0, 64, 48}, kWhite);
        canvas.setPen(kBlue, PenStyle::Dash);
        canvas.drawLine({0, 2}, {63, 2});
        canvas.setTextColour(kRed);
        canvas.drawText({4, 20}, "A");
        extent = canvas.textExtent("A");
        EXPECT_GT(canvas.textExtent("AAAA").width, extent.width);
    }
    int inked = 0;
    for (int x = 0; x < 64; ++x) inked += PixelAt(image, x, 2) == kBlue;
    EXPECT_GT(inked, 20);
    EXPECT_LT(inked, 60);

    ASSERT_GT(extent.width, 0);
    ASSERT_GT(extent.height, 0);
    int textPixels = 0, outside = 0;
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x) {
            if (y <= 2 || PixelAt(image, x, y) == kWhite) continue;
            // Smoothed glyph edges may touch the pixel just past the advance.
            const bool inside = x >= 3 && x <= 4 + extent.width && y >= 19 && y <= 20 + extent.height;
            (inside ? textPixels : outside) += 1;
        }
    EXPECT_GT(textPixels, 0);
    EXPECT_EQ(outside, 0);
}

}  // namespace
}  // namespace tonewell
