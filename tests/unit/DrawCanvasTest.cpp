// Canvas drawing: which pixels each shape covers, how a pen combines with the pixels
// under it on the four pixel classes, and shapes far larger than the canvas.
#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <utility>

#include "Draw/QvCanvasDrawing.h"
#include "Errors/QvException.h"
#include "Images/QvImageValues.h"
#include "KernelPictures.h"

namespace {

const QvDrawStyle kWhite{{1, 1, 1}};
const QvDrawStyle kWhiteXor{{1, 1, 1}, {1, 1, 1}, QvDrawMode::Xor};

using Pixels = std::set<std::pair<int, int>>;

// The pixels of a frame_mono that are not black.
Pixels litPixels(const KernelPicture<bgPix>& picture) {
    Pixels lit;
    QvPlane<bgPix> plane = picture;
    for (int y = 0; y < plane.height; ++y)
        for (int x = 0; x < plane.width; ++x)
            if (picture.at(x, y).grey) lit.insert({x, y});
    return lit;
}

template <class Draw>
Pixels drawn(int width, int height, Draw draw) {
    KernelPicture<bgPix> canvas(width, height);
    canvas.fill({0});
    draw(canvas.plane());
    return litPixels(canvas);
}

Pixels circle(double radius, double x, double y, bool fill, const QvDrawStyle& style = kWhite) {
    return drawn(40, 40, [&](QvPlane<bgPix> c) { QvDraw::circle(c, radius, x, y, style, fill); });
}

const double kRadii[] = {0.3, 0.5, 0.8, 1, 1.5, 2, 2.5, 3.7, 7, 12.3};
const std::pair<double, double> kCentres[] = {{20, 20}, {20.5, 19.5}, {19.7, 20.2}, {19.49, 20.51}};

}  // namespace

// "xor" shows a pixel plotted twice as a hole: every circle plots each pixel once.
TEST(DrawCanvas, CirclesPlotEveryPixelOnce) {
    for (double radius : kRadii)
        for (auto [x, y] : kCentres)
            for (bool fill : {false, true}) {
                SCOPED_TRACE(testing::Message() << "radius " << radius << " at " << x << ", " << y << " fill " << fill);
                Pixels copied = circle(radius, x, y, fill);
                EXPECT_TRUE(radius < 1 || !copied.empty());
                EXPECT_EQ(circle(radius, x, y, fill, kWhiteXor), copied);
            }
}

// Unfilled, a circle is the outline of its disc: the disc's pixels with a neighbour
// outside it, so never two pixels thick (no 2 x 2 block).
TEST(DrawCanvas, RingsAreTheOnePixelOutlineOfTheirDisc) {
    for (double radius : kRadii)
        for (auto [x, y] : kCentres) {
            SCOPED_TRACE(testing::Message() << "radius " << radius << " at " << x << ", " << y);
            Pixels ring = circle(radius, x, y, false), disc = circle(radius, x, y, true);
            Pixels outline;
            for (auto [px, py] : disc)
                if (!disc.count({px - 1, py}) || !disc.count({px + 1, py}) || !disc.count({px, py - 1}) ||
                    !disc.count({px, py + 1}))
                    outline.insert({px, py});
            EXPECT_EQ(ring, outline);
            for (auto [px, py] : ring) {
                bool block = ring.count({px + 1, py}) && ring.count({px, py + 1}) && ring.count({px + 1, py + 1});
                EXPECT_FALSE(block && radius >= 2) << px << ", " << py;
            }
        }
}

TEST(DrawCanvas, RectanglesCoverRowsAndColumnsAsPositionsRound) {
    auto rectangle = [](double w, double h, double x, double y, bool fill) {
        return drawn(12, 10, [&](QvPlane<bgPix> c) { QvDraw::rectangle(c, w, h, x, y, kWhite, fill); });
    };
    EXPECT_EQ(rectangle(2, 1, 1, 1, true), (Pixels{{1, 1}, {2, 1}, {3, 1}}));
    EXPECT_EQ(rectangle(1, 2, 1, 1, true), (Pixels{{1, 1}, {2, 1}, {1, 2}, {2, 2}, {1, 3}, {2, 3}}));
    EXPECT_EQ(rectangle(1, -2, 1, 3, true), rectangle(1, 2, 1, 1, true));
    EXPECT_EQ(rectangle(1, 2, 1, 1, false), (Pixels{{1, 1}, {2, 1}, {1, 2}, {1, 3}, {2, 3}}));
    EXPECT_EQ(rectangle(3, 3, 0.5, 0.5, false), (Pixels{{1, 1}, {2, 1}, {3, 1}, {4, 1}, {1, 2}, {4, 2}, {1, 3}, {4, 3},
                                                       {1, 4}, {2, 4}, {3, 4}, {4, 4}}));
    EXPECT_TRUE(rectangle(0, 3, 2, 2, true).empty());
    EXPECT_TRUE(rectangle(-3, 3, 5, 2, true).empty());
    EXPECT_TRUE(rectangle(0.4, 3, 2, 2, true).empty());
}

TEST(DrawCanvas, LinesStepAlongTheLongerAxisAndRoundDown) {
    auto line = [](double x1, double y1, double x2, double y2) {
        return drawn(8, 8, [&](QvPlane<bgPix> c) { QvDraw::line(c, x1, y1, x2, y2, kWhite); });
    };
    EXPECT_TRUE(line(3, 3, 3, 3).empty());
    EXPECT_EQ(line(0, 0, 3, 3), (Pixels{{0, 0}, {1, 1}, {2, 2}, {3, 3}}));
    EXPECT_EQ(line(3, 3, 0, 0), line(0, 0, 3, 3));
    EXPECT_EQ(line(1, 0, 2, 4), (Pixels{{1, 0}, {1, 1}, {2, 2}, {2, 3}, {2, 4}}));
    // Halves round up, also below zero: -0.7 is pixel -1 (outside), -0.4 is pixel 0.
    EXPECT_TRUE(line(-0.7, 0, -0.7, 7).empty());
    EXPECT_EQ(line(-0.4, 0, -0.4, 2), (Pixels{{0, 0}, {0, 1}, {0, 2}}));
    EXPECT_EQ(line(-0.5, 1.5, 0.5, 1.5), (Pixels{{0, 2}, {1, 2}}));
}

// Shapes reaching far beyond the canvas cost no more than the canvas; NaN positions
// and sizes draw nothing (a rectangle of NaN height only its top row).
TEST(DrawCanvas, HugeAndInvalidShapesAreClipped) {
    const double kHuge = 1e15, kNaN = std::nan("");
    Pixels row;
    for (int x = 0; x < 30; ++x) row.insert({x, 4});
    EXPECT_EQ(drawn(30, 9, [&](auto c) { QvDraw::line(c, -kHuge, 4, kHuge, 4.2, kWhite); }), row);
    EXPECT_EQ(drawn(30, 9, [&](auto c) { QvDraw::rectangle(c, kHuge, 0, -kHuge / 2, 4, kWhite, false); }), row);
    EXPECT_EQ(drawn(30, 9, [&](auto c) { QvDraw::circle(c, kHuge, 10, 4, kWhite, true); }).size(), 30u * 9u);
    EXPECT_TRUE(drawn(30, 9, [&](auto c) { QvDraw::circle(c, kHuge, 10, 4, kWhite, false); }).empty());
    EXPECT_TRUE(drawn(30, 9, [&](auto c) { QvDraw::circle(c, HUGE_VAL, 10, 4, kWhite, false); }).empty());
    EXPECT_TRUE(drawn(30, 9, [&](auto c) {
                    QvDraw::circle(c, kNaN, 10, 4, kWhite, true);
                    QvDraw::circle(c, 3, kNaN, 4, kWhite, true);
                    QvDraw::line(c, kNaN, 0, 5, 5, kWhite);
                    QvDraw::rectangle(c, 4, 2, kNaN, 1, kWhite, true);
                }).empty());
    EXPECT_EQ(drawn(30, 9, [&](auto c) { QvDraw::rectangle(c, 1, kNaN, 1, 1, kWhite, true); }), (Pixels{{1, 1}, {2, 1}}));
}

// Frames: a full copy writes the opaque colour; other modes and partial weights keep
// the alpha; each channel blends (m w) / 255 + (p (255 - w)) / 255.
TEST(DrawCanvas, FramePensCombineChannelByChannel) {
    auto plot = [](bcPix pixel, const QvDrawStyle& style) {
        KernelPicture<bcPix> canvas(1, 1);
        canvas.at(0, 0) = pixel;
        QvDraw::rectangle(canvas.plane(), 1, 0, -0.5, 0, style, true);
        return canvas.at(0, 0);
    };
    auto same = [](bcPix a, bcPix b) { return a.blue == b.blue && a.green == b.green && a.red == b.red && a.alpha == b.alpha; };
    const bcPix p{200, 10, 100, 7};  // blue, green, red, alpha
    EXPECT_TRUE(same(plot(p, {{0.2, 0.4, 1.5}}), bcPix{255, 102, 51, 255}));
    EXPECT_TRUE(same(plot(p, {{0.2, 0.4, 1.5}, {1, 1, 1}, QvDrawMode::Xor}), bcPix{200 ^ 255, 10 ^ 102, 100 ^ 51, 7}));
    EXPECT_TRUE(same(plot(p, {{0.2, 0.4, 1.5}, {1, 1, 1}, QvDrawMode::Or}), bcPix{255, 102, 100, 7}));
    // Weight 0.5 is 127 in bytes: 51 * 127 / 255 + 100 * 128 / 255 = 25 + 50.
    EXPECT_TRUE(same(plot(p, {{0.2, 0.4, 1.5}, {0.5, 0, 1}}), bcPix{255, 10, 75, 7}));
    EXPECT_TRUE(same(plot(p, {{0, 0, 0}, {-1, 2, 0.5}}), bcPix{100, 0, 100, 7}));
}

// Grey canvases take white as their brightest value and a weight of 1 as full.
TEST(DrawCanvas, GreyPensReachWhiteAndFullWeight) {
    KernelPicture<bgPix> bytes(2, 1);
    bytes.fill({9});
    QvDraw::line(bytes.plane(), 0, 0, 1, 0, kWhite);
    EXPECT_EQ(bytes.at(1, 0).grey, 255);
    QvDraw::line(bytes.plane(), 0, 0, 1, 0, {{0, 0, 0}, {0.5, 0.5, 0.5}});
    EXPECT_EQ(bytes.at(1, 0).grey, 255 * 128 / 255);
    KernelPicture<fgPix> floats(2, 1);
    floats.fill({0.25f});
    QvDraw::line(floats.plane(), 0, 0, 1, 0, kWhite);
    EXPECT_EQ(floats.at(0, 0).grey, 1.0f);
    QvDraw::line(floats.plane(), 0, 0, 1, 0, {{0, 0, 0}, {1, 1, 1}, QvDrawMode::Xor});
    EXPECT_EQ(floats.at(0, 0).grey, -1.0f);
}

// Float colour: unscaled, unclamped; a full copy is opaque, the rest keeps alpha.
TEST(DrawCanvas, ImagePensKeepFloatsUnclamped) {
    KernelPicture<fcPix> canvas(1, 1);
    auto plot = [&](fcPix pixel, const QvDrawStyle& style) {
        canvas.at(0, 0) = pixel;
        QvDraw::circle(canvas.plane(), 0.4, 0, 0, style, true);
        return canvas.at(0, 0);
    };
    const fcPix p{0.5f, 0.25f, 2.0f, -1.0f};  // alpha, red, green, blue
    fcPix copied = plot(p, {{1.5, -0.5, 0.25}});
    EXPECT_EQ(std::vector<float>({copied.alpha, copied.red, copied.green, copied.blue}),
              std::vector<float>({1.0f, 1.5f, -0.5f, 0.25f}));
    fcPix xored = plot(p, {{1, 1, 1}, {1, 1, 1}, QvDrawMode::Xor});
    EXPECT_EQ(std::vector<float>({xored.alpha, xored.red, xored.green, xored.blue}),
              std::vector<float>({0.5f, 0.75f, -1.0f, 2.0f}));
    fcPix blended = plot(p, {{1, 1, 1}, {0.5, 0.5, 0.5}, QvDrawMode::Or});
    EXPECT_EQ(std::vector<float>({blended.alpha, blended.red, blended.green, blended.blue}),
              std::vector<float>({0.5f, 0.625f, 2.0f, 0.0f}));
}

TEST(DrawCanvas, PicturesRefuseUnknownModes) {
    QvImageValueBC frame(4, 4);
    frame.DrawLine(0, 0, 3, 3, {1, 1, 1}, 2, {1, 1, 1});
    for (int mode : {0, 4}) {
        try {
            frame.DrawCircle(1, 1, 1, {1, 1, 1}, mode, {1, 1, 1}, true);
            ADD_FAILURE() << "mode " << mode << " was taken";
        } catch (QvException* error) {
            EXPECT_EQ(error->message(), "Illegal mode");
            delete error;
        }
    }
}
