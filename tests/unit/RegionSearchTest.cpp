// Region search: the match map on every dispatch target, the fill's neighbourhood,
// weights and order, regions larger than any fixed queue, and the rectangle searched.
#include <gtest/gtest.h>

#include <vector>

#include "KernelTargets.h"
#include "Plugins/QvPluginRegistry.h"
#include "Kernels/QvPixelRules.h"
#include "Region/QvRegionMatches.h"
#include "Region/QvRegionSearch.h"
#include "ScriptRun.h"

using namespace QvRegionSearch;

namespace {

QvRegionCriteria lookingFor(double value, double tolerance = 0, double radius = 1) {
    QvRegionCriteria criteria;
    criteria.value = value;
    criteria.tolerance = tolerance;
    criteria.radius = radius;
    return criteria;
}

template <class P>
std::vector<QvRegion> regionsOf(const KernelPicture<P>& picture, const QvRegionCriteria& criteria) {
    QvPlane<const P> plane = picture;
    return findRegions(plane, {0, 0, plane.width, plane.height}, criteria);
}

// A black frame_mono with the listed pixels white.
KernelPicture<bgPix> dots(int width, int height, std::initializer_list<std::pair<int, int>> white) {
    KernelPicture<bgPix> picture(width, height);
    picture.fill({0});
    for (auto [x, y] : white) picture.at(x, y) = {255};
    return picture;
}

template <class P>
void expectMapsMatch(std::mt19937& random) {
    const double values[] = {0, 0.2, 51 / 255.0, 0.5, 1};
    const double tolerances[] = {0, 1 / 255.0, 0.1, 0.5, 2, -1};
    for (int width : kOddWidths) {
        KernelPicture<P> picture(width, 3, 1);
        picture.randomize(random, true);
        for (double value : values)
            for (double tolerance : tolerances) {
                QvPixelTest<P> test(lookingFor(value, tolerance));
                std::vector<uint8_t> map(size_t(width) * 3 + 1, 7), expected = map;
                markMatches<P>(picture, test, map.data(), size_t(width));
                Reference::markMatches<P>(picture, test, expected.data(), size_t(width));
                EXPECT_EQ(map, expected) << "width " << width << " value " << value << " tolerance " << tolerance;
            }
    }
}

}  // namespace

TEST(RegionSearch, MatchMapsEqualTheReferenceOnEveryTarget) {
    std::mt19937 random(11);
    onEveryTarget([&] {
        expectMapsMatch<bgPix>(random);
        expectMapsMatch<bcPix>(random);
        expectMapsMatch<fgPix>(random);
        expectMapsMatch<fcPix>(random);
    });
}

// Every grey level matches its own value / 255 exactly, in bytes and in floats made
// from the same bytes, and a uniform picture is one region centred in the middle.
TEST(RegionSearch, UniformPicturesOfEveryLevelAreOneRegion) {
    for (int level = 0; level < 256; ++level) {
        SCOPED_TRACE(level);
        const uint8_t byte = uint8_t(level);
        const float unit = QvKernels::unitFromByte(byte);
        KernelPicture<bgPix> grey(7, 5);
        grey.fill({byte});
        KernelPicture<bcPix> color(7, 5);
        color.fill({byte, byte, byte, 255});
        KernelPicture<fgPix> greyFloat(7, 5);
        greyFloat.fill({unit});
        KernelPicture<fcPix> colorFloat(7, 5);
        colorFloat.fill({1.0f, unit, unit, unit});
        for (const std::vector<QvRegion>& found :
             {regionsOf(grey, lookingFor(level / 255.0)), regionsOf(color, lookingFor(level / 255.0)),
              regionsOf(greyFloat, lookingFor(unit)), regionsOf(colorFloat, lookingFor(unit))}) {
            ASSERT_EQ(found.size(), 1u);
            EXPECT_EQ(found[0].area, 35);
            EXPECT_EQ(found[0].centreX, 3);
            EXPECT_EQ(found[0].centreY, 2);
        }
    }
}

TEST(RegionSearch, TheRadiusChoosesTheNeighbourhood) {
    KernelPicture<bgPix> diagonal = dots(6, 6, {{1, 1}, {2, 2}});
    EXPECT_EQ(regionsOf(diagonal, lookingFor(1, 0, 1)).size(), 2u);
    EXPECT_EQ(regionsOf(diagonal, lookingFor(1, 0, 1.5)).size(), 1u);
    KernelPicture<bgPix> apart = dots(6, 3, {{1, 1}, {3, 1}});
    EXPECT_EQ(regionsOf(apart, lookingFor(1, 0, 1)).size(), 2u);
    EXPECT_EQ(regionsOf(apart, lookingFor(1, 0, 2)).size(), 1u);
    EXPECT_EQ(regionsOf(apart, lookingFor(1, 0, 0.5)).size(), 2u);
    // No neighbourhood at all: not even the seed joins, so nothing has an area.
    for (double radius : {-1.0, -7.0, std::nan("")}) EXPECT_TRUE(regionsOf(apart, lookingFor(1, 0, radius)).empty());
    EXPECT_EQ(reachOf(1e300, 6, 3), 6);
}

// The fill meets each pixel's disc row by row, left to right; the seed joins when it
// is met as its own neighbour.
TEST(RegionSearch, PointsComeInTheOrderTheFillMetThem) {
    KernelPicture<bgPix> plus = dots(5, 5, {{2, 1}, {1, 2}, {2, 2}, {3, 2}, {2, 3}});
    QvRegionCriteria criteria = lookingFor(1);
    criteria.keepPoints = true;
    std::vector<QvRegion> found = regionsOf(plus, criteria);
    ASSERT_EQ(found.size(), 1u);
    std::vector<std::pair<int, int>> order;
    for (QvRegionPoint point : found[0].points) order.push_back({point.x, point.y});
    EXPECT_EQ(order, (std::vector<std::pair<int, int>>{{2, 1}, {2, 2}, {1, 2}, {3, 2}, {2, 3}}));
    EXPECT_EQ(found[0].minX, 1);
    EXPECT_EQ(found[0].maxX, 3);
    EXPECT_EQ(found[0].minY, 1);
    EXPECT_EQ(found[0].maxY, 3);
}

// A pixel at the tolerance limit weighs the edge value, weights fall linearly between,
// and the centre is the weighted mean.
TEST(RegionSearch, WeightsFallTowardsTheEdgeValue) {
    KernelPicture<fgPix> picture(4, 1);
    picture.fill({0.0f});
    picture.at(1, 0) = {0.5f};
    picture.at(2, 0) = {0.75f};
    QvRegionCriteria criteria = lookingFor(0.5, 0.5);
    criteria.edgeValue = 0;
    std::vector<QvRegion> found = regionsOf(picture, criteria);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].area, 1.5);
    EXPECT_NEAR(found[0].centreX, (1 * 1.0 + 2 * 0.5) / 1.5, 1e-12);
    criteria.minArea = 2;
    EXPECT_TRUE(regionsOf(picture, criteria).empty());
}

TEST(RegionSearch, SmallRegionsAreDropped) {
    KernelPicture<bgPix> picture = dots(8, 4, {{0, 0}, {3, 0}, {4, 0}, {5, 0}, {7, 1}, {7, 2}});
    QvRegionCriteria criteria = lookingFor(1);
    criteria.minArea = 2;
    EXPECT_EQ(regionsOf(picture, criteria).size(), 2u);
    criteria.minArea = 1;
    criteria.minWidth = 3;
    EXPECT_EQ(regionsOf(picture, criteria).size(), 1u);
    criteria.minWidth = 0;
    criteria.minHeight = 2;
    EXPECT_EQ(regionsOf(picture, criteria).size(), 1u);
}

// Far more pixels than a ring of 16,384 entries holds, all counted once.
TEST(RegionSearch, LargeRegionsAreCountedWhole) {
    KernelPicture<bcPix> picture(401, 301);
    picture.fill({255, 255, 255, 255});
    QvRegionCriteria criteria = lookingFor(1, 0, 1.5);
    criteria.keepPoints = true;
    std::vector<QvRegion> found = regionsOf(picture, criteria);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].area, 401 * 301);
    EXPECT_EQ(found[0].points.size(), 401u * 301u);
    EXPECT_EQ(found[0].centreX, 200);
    EXPECT_EQ(found[0].centreY, 150);
}

TEST(RegionSearch, OnlyTheRectangleIsSearched) {
    KernelPicture<bgPix> picture = dots(6, 4, {{0, 0}, {1, 0}, {2, 0}, {4, 3}});
    QvPlane<const bgPix> plane = picture;
    std::vector<QvRegion> found = findRegions(plane, {1, 0, 6, 3}, lookingFor(1));
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].area, 2);
    EXPECT_EQ(found[0].centreX, 1.5);
    EXPECT_TRUE(findRegions(plane, {3, 0, 3, 4}, lookingFor(1)).empty());
    EXPECT_TRUE(findRegions(plane, {5, 3, 2, 1}, lookingFor(1)).empty());
}

TEST(RegionSearch, ScriptsGetTheFirstPixelOutsideAsTheError) {
    QvPluginRegistryInitInternal();
    const std::string picture = "set f to frame_mono; set size of f to {10, 6};\n";
    EXPECT_EQ(runScript(picture + "print Find.Region(f, 0, bottomright -> {11, 6});"),
              "RunTime Error\nerror: Index \"10\" is too large (> 9).");
    EXPECT_EQ(runScript(picture + "print Find.Region(f, 0, bottomright -> {10, 7});"),
              "RunTime Error\nerror: Index \"6\" is too large (> 5).");
    EXPECT_EQ(runScript(picture + "print Find.Region(f, 0, topleft -> {-1, -2});"),
              "RunTime Error\nerror: Index \"-1\" is too small (< 0).");
    EXPECT_EQ(runScript(picture + "print Find.Region(f, 0, topleft -> {0, -2});"),
              "RunTime Error\nerror: Index \"-2\" is too small (< 0).");
    EXPECT_EQ(runScript(picture + "print Find.Region(f, 0, topleft -> {20, 20}, bottomright -> {30, 30});"),
              "RunTime Error\nerror: Index \"20\" is too large (> 9).");
    EXPECT_EQ(runScript(picture + "print length of Find.Region(f, 0, topleft -> {20, 20});"), "0\n");
    EXPECT_EQ(runScript(picture + "print Find.Region(f, 0, topleft -> {1});"), "RunTime Error\nerror: Illegal vector index in plugin");
    QvDeletePluginRegistry();
}
