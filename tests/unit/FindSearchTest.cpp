// The picture search on hand-worked cases: the score of each pixel class, the order in
// which equal scores win, the stop after a perfect fit, overhangs and weights, and the
// sub-pixel step where its formula has no answer.
#include <gtest/gtest.h>

#include "Find/QvFindSearch.h"
#include "KernelPictures.h"

using namespace QvFind;

namespace {

QvFindRange everyPlacement(int sw, int sh, int mw, int mh) { return {0, 0, sw - mw + 1, sh - mh + 1}; }

template <class P>
KernelPicture<fgPix> mapOf(const KernelPicture<P>& source, const KernelPicture<P>& match, const QvFindRange& range,
                           const QvFindWeight& weight = {}) {
    KernelPicture<fgPix> map(range.x1 - range.x0, range.y1 - range.y0);
    map.fill({1.0f});
    scoreMap<P>(QvFindCore::reference, source, match, range, weight, map);
    return map;
}

// The best placement's position and score, compared exactly.
void expectBest(const QvFindBest& best, double x, double y, float score) {
    EXPECT_TRUE(best.found);
    EXPECT_EQ(best.x, x);
    EXPECT_EQ(best.y, y);
    EXPECT_EQ(best.score, score);
}

// Random grey levels: no part of it repeats elsewhere.
KernelPicture<bgPix> noise(int width, int height) {
    std::mt19937 random(3);
    KernelPicture<bgPix> picture(width, height);
    picture.randomize(random);
    return picture;
}

KernelPicture<bgPix> cutOut(const KernelPicture<bgPix>& source, int x0, int y0, int width, int height) {
    KernelPicture<bgPix> part(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) part.at(x, y) = source.at(x0 + x, y0 + y);
    return part;
}

TEST(FindSearch, ScoresOfEachPixelClass) {
    KernelPicture<bgPix> grey(1, 1), greyMatch(1, 1);
    grey.at(0, 0) = {200};
    greyMatch.at(0, 0) = {100};
    EXPECT_EQ(mapOf(grey, greyMatch, {0, 0, 1, 1}).at(0, 0).grey, float(100 * (1.0 / 255)));

    // Red 255 against black: (255 x 77) >> 8 = 76 levels; alpha plays no part.
    KernelPicture<bcPix> colour(1, 1), colourMatch(1, 1);
    colour.at(0, 0) = {0, 0, 255, 0};
    colourMatch.at(0, 0) = {0, 0, 0, 255};
    EXPECT_EQ(mapOf(colour, colourMatch, {0, 0, 1, 1}).at(0, 0).grey, float(76 * (1.0 / 255)));

    KernelPicture<fcPix> image(2, 1), imageMatch(2, 1);
    image.fill({0.0f, 1.0f, 0.5f, 0.25f});
    imageMatch.fill({1.0f, 0.0f, 0.0f, 0.0f});
    float pixel = 1.0f * 0.3f + 0.5f * 0.59f + 0.25f * 0.11f;
    EXPECT_EQ(mapOf(image, imageMatch, {0, 0, 1, 1}).at(0, 0).grey, float((double(pixel) + pixel) / 2));
}

TEST(FindSearch, ACutOutIsFoundWhereItWasCut) {
    KernelPicture<bgPix> source = noise(40, 30);
    KernelPicture<bgPix> match = cutOut(source, 11, 7, 9, 6);
    QvFindBest best =
        bestPlacement<bgPix>(QvFindCore::reference, source, match, everyPlacement(40, 30, 9, 6), {}, false);
    expectBest(best, 11, 7, 0.0f);
}

TEST(FindSearch, APerfectFitEndsTheScanAfterItsRow) {
    // A weight of 2 on a later row would make a placement there score -1.
    KernelPicture<bgPix> source = noise(20, 12);
    KernelPicture<bgPix> match = cutOut(source, 3, 2, 4, 4);
    KernelPicture<fgPix> weight(17, 9);
    weight.fill({1.0f});
    weight.at(0, 5) = {2.0f};
    QvFindBest best = bestPlacement<bgPix>(QvFindCore::reference, source, match, everyPlacement(20, 12, 4, 4),
                                           {weight, 0, 0}, false);
    expectBest(best, 3, 2, 0.0f);
}

TEST(FindSearch, TheFirstOfEqualScoresWins) {
    KernelPicture<bgPix> source(6, 5), match(2, 2);
    source.fill({9});
    match.fill({10});
    QvFindBest best =
        bestPlacement<bgPix>(QvFindCore::reference, source, match, {1, 2, 5, 4}, {}, false);
    expectBest(best, 1, 2, float(1.0 / 255));
}

TEST(FindSearch, AMatchAsLargeAsTheSourceHasOnePlacement) {
    KernelPicture<fgPix> source(5, 4), match(5, 4);
    source.fill({0.5f});
    match.fill({0.25f});
    KernelPicture<fgPix> map = mapOf(source, match, everyPlacement(5, 4, 5, 4));
    ASSERT_EQ(map.plane().width, 1);
    ASSERT_EQ(map.plane().height, 1);
    EXPECT_EQ(map.at(0, 0).grey, 0.25f);
}

TEST(FindSearch, OverhangsScoreOneBelowTheMinimumOverlap) {
    KernelPicture<bgPix> source(8, 8), match(4, 4);
    source.fill({0});
    match.fill({0});
    // Half the match may lie outside: placements from -2 to 6 overlap 4 x 4 at most.
    QvFindRange range{-2, -2, 7, 7, true, 8};
    KernelPicture<fgPix> map = mapOf(source, match, range);
    EXPECT_EQ(map.at(0, 0).grey, 1.0f);   // (-2, -2): 2 x 2 overlap
    EXPECT_EQ(map.at(0, 2).grey, 0.0f);   // (-2, 0): 2 x 4 overlap
    EXPECT_EQ(map.at(1, 1).grey, 0.0f);   // (-1, -1): 3 x 3 overlap
    EXPECT_EQ(map.at(8, 8).grey, 1.0f);   // (6, 6): 2 x 2 overlap
    // The mean runs over the overlap only.
    source.at(0, 0) = {255};
    EXPECT_EQ(mapOf(source, match, range).at(1, 1).grey, float(255 * (1.0 / 255) / 9));
}

TEST(FindSearch, WeightsPenalisePlacementsWhereTheyAreDark) {
    KernelPicture<bgPix> source(6, 6), match(2, 2);
    source.fill({0});
    match.fill({0});
    KernelPicture<fgPix> black(1, 1);
    black.fill({0.0f});
    KernelPicture<fgPix> map = mapOf(source, match, everyPlacement(6, 6, 2, 2), {black, 0, 0});
    EXPECT_EQ(map.at(3, 4).grey, 1.0f);
    EXPECT_FALSE(
        bestPlacement<bgPix>(QvFindCore::reference, source, match, everyPlacement(6, 6, 2, 2), {black, 0, 0}, false)
            .found);

    // The weight's pixel (0, 0) sits at the origin; positions outside it are clamped.
    KernelPicture<fgPix> stripes(2, 1);
    stripes.at(0, 0) = {0.75f};
    stripes.at(1, 0) = {0.25f};
    KernelPicture<fgPix> striped = mapOf(source, match, everyPlacement(6, 6, 2, 2), {stripes, 2, 0});
    EXPECT_EQ(striped.at(0, 3).grey, 0.25f);
    EXPECT_EQ(striped.at(2, 0).grey, 0.25f);
    EXPECT_EQ(striped.at(3, 0).grey, 0.75f);
    EXPECT_EQ(striped.at(4, 4).grey, 0.75f);
}

TEST(FindSearch, PlacementsWithoutOverlapAreNotScored) {
    KernelPicture<bgPix> source(4, 4), match(2, 2);
    source.fill({0});
    match.fill({0});
    KernelPicture<fgPix> map = mapOf(source, match, {-4, -4, 6, 6});
    EXPECT_EQ(map.at(0, 0).grey, 1.0f);   // (-4, -4)
    EXPECT_EQ(map.at(3, 3).grey, 0.0f);   // (-1, -1): one pixel of overlap
    EXPECT_EQ(map.at(9, 9).grey, 1.0f);   // (5, 5)
    KernelPicture<bgPix> empty(0, 0);
    EXPECT_FALSE(bestPlacement<bgPix>(QvFindCore::reference, source, empty, {0, 0, 4, 4}, {}, false).found);
    EXPECT_FALSE(bestPlacement<bgPix>(QvFindCore::reference, empty, match, {-1, -1, 1, 1}, {}, false).found);
}

// A source holding a single bright square: matching the square gives a parabola-like
// valley around its position.
KernelPicture<fgPix> spot(int width, int height, int x0, int y0, float level) {
    KernelPicture<fgPix> picture(width, height);
    picture.fill({0.0f});
    for (int y = y0; y < y0 + 2; ++y)
        for (int x = x0; x < x0 + 2; ++x) picture.at(x, y) = {level};
    return picture;
}

TEST(FindSearch, SubPixelRefinementFollowsTheValley) {
    // The right-hand neighbour of the best placement scores lower than the left one.
    KernelPicture<fgPix> source = spot(12, 10, 5, 4, 1.0f);
    source.at(7, 4) = {0.5f};
    source.at(7, 5) = {0.5f};
    KernelPicture<fgPix> match = spot(4, 4, 1, 1, 1.0f);
    QvFindBest best = bestPlacement<fgPix>(QvFindCore::reference, source, match, everyPlacement(12, 10, 4, 4), {}, true);
    EXPECT_TRUE(best.found);
    EXPECT_GT(best.x, 4.0);
    EXPECT_LT(best.x, 5.0);
    EXPECT_EQ(best.y, 3.0);
}

TEST(FindSearch, SubPixelRefinementWithoutAnAnswerKeepsThePlacement) {
    // Infinite scores on both sides (an infinite pixel under the match): no NaN.
    KernelPicture<fgPix> walls(5, 1), match(3, 1);
    walls.fill({0.5f});
    walls.at(0, 0) = {std::numeric_limits<float>::infinity()};
    walls.at(4, 0) = {std::numeric_limits<float>::infinity()};
    match.fill({0.5f});
    QvFindBest best = bestPlacement<fgPix>(QvFindCore::reference, walls, match, {0, 0, 3, 1}, {}, true);
    expectBest(best, 1.0, 0.0, 0.0f);

    // A best placement on the range's edge has no neighbour beyond it.
    KernelPicture<fgPix> source = spot(10, 10, 0, 0, 1.0f);
    KernelPicture<fgPix> corner = spot(4, 4, 0, 0, 1.0f);
    best = bestPlacement<fgPix>(QvFindCore::reference, source, corner, everyPlacement(10, 10, 4, 4), {}, true);
    EXPECT_EQ(best.x, 0.0);
    EXPECT_EQ(best.y, 0.0);
}

// The best-fit search of grey frames skips placements by their lower bounds; the
// answer must stay the first smallest score of the whole map.
QvFindBest firstSmallestOf(const KernelPicture<fgPix>& map, const QvFindRange& range) {
    QvFindBest best;
    double smallest = 1e99;
    for (int y = 0; y < map.plane().height; ++y)
        for (int x = 0; x < map.plane().width; ++x)
            if (map.at(x, y).grey < smallest) {
                smallest = map.at(x, y).grey;
                best = {smallest < 1, double(range.x0 + x), double(range.y0 + y), map.at(x, y).grey};
            }
    return best.found ? best : QvFindBest{};
}

TEST(FindSearch, SkippedPlacementsNeverChangeTheAnswer) {
    std::mt19937 random(17);
    for (int round = 0; round < 24; ++round) {
        KernelPicture<bgPix> source(37 + round % 5, 29);
        source.randomize(random);
        int mw = 3 + round % 9, mh = 2 + round % 7;
        int cutX = int(random() % (source.plane().width - mw)), cutY = int(random() % (29 - mh));
        KernelPicture<bgPix> match = cutOut(source, cutX, cutY, mw, mh);
        for (int y = 0; y < mh; ++y)
            for (int x = 0; x < mw; ++x)
                if (round % 3 == 0) match.at(x, y).grey = uint8_t(random());
                else match.at(x, y).grey = uint8_t(std::clamp(int(match.at(x, y).grey) + int(random() % 5) - 2, 0, 255));
        KernelPicture<fgPix> weight(9, 7);
        for (int y = 0; y < 7; ++y)
            for (int x = 0; x < 9; ++x) weight.at(x, y).grey = float(random() % 1000) / 999;
        int sw = source.plane().width;
        const QvFindRange ranges[] = {everyPlacement(sw, 29, mw, mh), {-2, -1, sw - mw + 3, 29 - mh + 2, true, mw * mh / 2},
                                      {3, 5, sw - mw - 1, 20}};
        for (const QvFindRange& range : ranges)
            for (QvFindWeight w : {QvFindWeight{}, QvFindWeight{weight, 4, -3}}) {
                QvFindBest expected = firstSmallestOf(mapOf(source, match, range, w), range);
                for (QvFindCore core : {QvFindCore::reference, QvFindCore::vectors}) {
                    QvFindBest best = bestPlacement<bgPix>(core, source, match, range, w, false);
                    EXPECT_EQ(best.found, expected.found) << "round " << round;
                    EXPECT_EQ(best.x, expected.x) << "round " << round;
                    EXPECT_EQ(best.y, expected.y) << "round " << round;
                    EXPECT_EQ(best.score, expected.score) << "round " << round;
                }
            }
    }
}

}  // namespace
