// Every vector core of the picture search gives the reference's scores, bit for bit, on
// every dispatch target: random pictures of each pixel class, odd sizes on both sides
// of the vector widths, ranges with and without overhang, with and without weights.
#include <cstring>

#include "Find/QvFindSearch.h"
#include "KernelTargets.h"
#include "Kernels/QvKernelRows.h"

using namespace QvFind;

namespace {

const QvFindCore kVectorCores[] = {QvFindCore::vectors, QvFindCore::narrowVectors};

struct Shape {
    int width, height;
};

// The ranges a search may meet: no overhang, half the match outside, and far more
// placements than overlap the source.
std::vector<QvFindRange> rangesFor(Shape source, Shape match) {
    QvFindRange plain{0, 0, source.width - match.width + 1, source.height - match.height + 1};
    int ox = match.width / 2, oy = match.height / 2;
    QvFindRange overhang{-ox, -oy, source.width - match.width + ox + 1, source.height - match.height + oy + 1, true,
                         std::max<int64_t>(1, int64_t(match.width) * match.height / 2)};
    QvFindRange beyond{-match.width - 3, -match.height - 2, source.width + 4, source.height + 3, true, 1};
    std::vector<QvFindRange> ranges{overhang, beyond};
    if (!plain.empty()) ranges.push_back(plain);
    return ranges;
}

template <class P>
KernelPicture<fgPix> mapWith(QvFindCore core, const KernelPicture<P>& source, const KernelPicture<P>& match,
                             const QvFindRange& range, const QvFindWeight& weight) {
    KernelPicture<fgPix> map(range.x1 - range.x0, range.y1 - range.y0, 3);
    map.fill({1.0f});
    scoreMap<P>(core, source, match, range, weight, map);
    return map;
}

bool sameBest(const QvFindBest& a, const QvFindBest& b) {
    return a.found == b.found && std::memcmp(&a.x, &b.x, sizeof a.x) == 0 && std::memcmp(&a.y, &b.y, sizeof a.y) == 0 &&
           std::memcmp(&a.score, &b.score, sizeof a.score) == 0;
}

template <class P>
void expectCoresAgree(std::mt19937& random, Shape sourceShape, Shape matchShape) {
    KernelPicture<P> source(sourceShape.width, sourceShape.height, 1);
    KernelPicture<P> match(matchShape.width, matchShape.height, 2);
    source.randomize(random, true);
    match.randomize(random, true);
    KernelPicture<fgPix> weightPicture(5, 4);
    weightPicture.randomize(random);
    const QvFindWeight weights[] = {QvFindWeight{}, QvFindWeight{weightPicture, -2, 1}};
    for (const QvFindRange& range : rangesFor(sourceShape, matchShape))
        for (const QvFindWeight& weight : weights) {
            KernelPicture<fgPix> expected = mapWith(QvFindCore::reference, source, match, range, weight);
            QvFindBest expectedBest = bestPlacement<P>(QvFindCore::reference, source, match, range, weight, true);
            onEveryTarget([&] {
                for (QvFindCore core : kVectorCores) {
                    SCOPED_TRACE(testing::Message() << "core " << int(core) << " source " << sourceShape.width << "x"
                                                    << sourceShape.height << " match " << matchShape.width << "x"
                                                    << matchShape.height << " range " << range.x0 << ","
                                                    << range.y0 << " - " << range.x1 << "," << range.y1);
                    EXPECT_TRUE(mapWith(core, source, match, range, weight).sameBits(expected));
                    EXPECT_TRUE(sameBest(bestPlacement<P>(core, source, match, range, weight, true), expectedBest));
                }
            });
        }
}

template <class P>
class FindCores : public testing::Test {};
using PixelClasses = testing::Types<bgPix, bcPix, fgPix, fcPix>;
TYPED_TEST_SUITE(FindCores, PixelClasses);

TYPED_TEST(FindCores, SmallPicturesOfOddSizes) {
    std::mt19937 random(7);
    for (Shape source : {Shape{1, 1}, Shape{17, 5}, Shape{40, 3}, Shape{71, 9}})
        for (Shape match : {Shape{1, 1}, Shape{3, 2}, Shape{16, 4}, Shape{17, 1}, Shape{33, 3}})
            expectCoresAgree<TypeParam>(random, source, match);
}

TYPED_TEST(FindCores, MatchesWiderThanEveryVector) {
    std::mt19937 random(11);
    for (Shape match : {Shape{64, 3}, Shape{65, 2}, Shape{100, 4}}) expectCoresAgree<TypeParam>(random, {131, 9}, match);
}

// Pixels at the ends of the byte range, where a difference of 255 meets every weight.
TYPED_TEST(FindCores, ExtremeBytes) {
    if constexpr (QvKernels::isByteClass<TypeParam>()) {
        std::mt19937 random(5);
        KernelPicture<TypeParam> source(37, 6), match(19, 3);
        for (KernelPicture<TypeParam>* picture : {&source, &match})
            for (int y = 0; y < picture->plane().height; ++y) {
                auto* bytes = reinterpret_cast<uint8_t*>(picture->plane().row(y));
                for (size_t i = 0; i < picture->plane().width * sizeof(TypeParam); ++i) bytes[i] = random() % 2 ? 255 : 0;
            }
        QvFindRange range{-5, -1, 30, 6, true, 1};
        KernelPicture<fgPix> expected = mapWith(QvFindCore::reference, source, match, range, {});
        onEveryTarget([&] {
            for (QvFindCore core : kVectorCores) EXPECT_TRUE(mapWith(core, source, match, range, {}).sameBits(expected));
        });
    }
}

}  // namespace
