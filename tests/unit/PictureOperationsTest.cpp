// Picture operations that scripts reach only through library functions, on all four
// picture classes: filters, alpha, interlacing, binary extremes, affine transforms,
// ranges, statistics and extreme locations.
#include <gtest/gtest.h>

#include <cmath>
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "ErrorCapture.h"
#include "Errors/QvErrors.h"
#include "Images/QvImageValues.h"
#include "Kernels/QvPixelRules.h"
#include "Values/QvColorValue.h"
#include "Values/qv_auto_value.h"

namespace {

using PictureRef = qv_auto_value<Qv2DValue>;
const QvTypeEnum kPictureTypes[] = {QV_FRAME_MONO, QV_FRAME, QV_IMAGE_MONO, QV_IMAGE};

// A picture of the type whose pixel (x, y) has the grey (x + 3 y + 1) / 40.
PictureRef ramp(QvTypeEnum type, int width, int height) {
    PictureRef picture = QvNewPicture(type, width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            double grey = (x + 3 * y + 1) / 40.0;
            QvWithPixel(picture->pixelClass(), [&](auto p) {
                QvKernels::pixelOfColor({grey, grey, grey}, picture->pixels().row<decltype(p)>(y)[x]);
            });
        }
    return picture;
}

PictureRef adopt(QvValue* value) { return PictureRef(QvAsPicture(value)); }

QvColor pixel(Qv2DValue& picture, int x, int y) {
    return QvWithPixel(picture.pixelClass(),
                       [&](auto p) { return QvKernels::colorOfPixel(picture.pixels().row<decltype(p)>(y)[x]); });
}

bool samePixels(Qv2DValue& a, Qv2DValue& b) {
    if (a.GetWidth() != b.GetWidth() || a.GetHeight() != b.GetHeight()) return false;
    size_t bytes = size_t(a.GetWidth()) * QvPixelBytes(a.pixelClass());
    for (int y = 0; y < a.GetHeight(); ++y)
        if (std::memcmp(a.pixels().rowBytesAt(y), b.pixels().rowBytesAt(y), bytes) != 0) return false;
    return true;
}

class PictureOperations : public ::testing::TestWithParam<QvTypeEnum> {};

TEST_P(PictureOperations, ConvolutionWithOneTapCopiesAndBordersWrap) {
    PictureRef source = ramp(GetParam(), 5, 4);
    PictureRef one = QvNewPicture(QV_IMAGE_MONO, 1, 1);
    one->pixels().row<fgPix>(0)[0].grey = 1.0f;
    PictureRef copy = adopt(source->Convolute(one.get()));
    EXPECT_TRUE(samePixels(*copy, *source));

    // A 3 x 1 kernel picking the right-hand neighbour: at the right border x + 1 wraps
    // to x + 1 - width + 1 = 1.
    PictureRef shift = QvNewPicture(QV_IMAGE_MONO, 3, 1);
    shift->pixels().row<fgPix>(0)[0].grey = 1.0f;
    PictureRef shifted = adopt(source->Convolute(shift.get()));
    EXPECT_DOUBLE_EQ(pixel(*shifted, 0, 2).red, pixel(*source, 1, 2).red);
    EXPECT_DOUBLE_EQ(pixel(*shifted, 4, 2).red, pixel(*source, 1, 2).red);

    // Kernels larger than the picture and one-pixel pictures stay inside.
    PictureRef wide = QvNewPicture(QV_IMAGE_MONO, 9, 9);
    wide->pixels().row<fgPix>(8)[8].grey = 1.0f;
    PictureRef tiny = ramp(GetParam(), 1, 1);
    EXPECT_EQ(adopt(tiny->Convolute(wide.get()))->GetWidth(), 1);
    EXPECT_EQ(adopt(source->Convolute(wide.get()))->GetHeight(), 4);
    QvColorValue notPicture;
    EXPECT_EQ(raisedMessage([&] { source->Convolute(&notPicture); }), "Convolute failed: Unknown operand type");
}

TEST_P(PictureOperations, MedianRanksAndRefusesAnEmptyMask) {
    PictureRef source = ramp(GetParam(), 4, 4);
    PictureRef mask = QvNewPicture(QV_FRAME_MONO, 3, 3);
    PictureRef noMask = QvNewPicture(QV_FRAME_MONO, 3, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x)
            mask->pixels().row<bgPix>(y)[x].grey = 1;
    PictureRef lowest = adopt(source->MedianFilter(mask.get(), 0));
    PictureRef highest = adopt(source->MedianFilter(mask.get(), 5));
    EXPECT_DOUBLE_EQ(pixel(*lowest, 1, 1).red, pixel(*source, 0, 0).red);
    EXPECT_DOUBLE_EQ(pixel(*highest, 1, 1).red, pixel(*source, 2, 2).red);
    EXPECT_EQ(raisedMessage([&] { source->MedianFilter(noMask.get(), 0.5); }),
              "Median Filter failed: the mask has no non-zero pixels.");
}

TEST_P(PictureOperations, AlphaBelongsToColourPictures) {
    PictureRef picture = ramp(GetParam(), 3, 2);
    PictureRef mask = ramp(QV_FRAME_MONO, 2, 2);
    if (!QvIsColor(picture->pixelClass())) {
        EXPECT_EQ(raisedMessage([&] { picture->GetAlpha(); }), "GetAlpha, requires a color image");
        EXPECT_EQ(raisedMessage([&] { picture->SetAlpha(mask.get()); }), "SetAlpha, requires a color image");
        return;
    }
    PictureRef alpha = adopt(picture->GetAlpha());
    EXPECT_EQ(alpha->GetType(), GetParam() == QV_FRAME ? QV_FRAME_MONO : QV_IMAGE_MONO);
    EXPECT_DOUBLE_EQ(pixel(*alpha, 2, 1).red, 1.0);
    // The mask covers only the first two columns: the third keeps its alpha.
    PictureRef masked = adopt(picture->SetAlpha(mask.get()));
    PictureRef newAlpha = adopt(masked->GetAlpha());
    EXPECT_NEAR(pixel(*newAlpha, 1, 1).red, pixel(*mask, 1, 1).red, 1e-6);
    EXPECT_DOUBLE_EQ(pixel(*newAlpha, 2, 1).red, 1.0);
    EXPECT_DOUBLE_EQ(pixel(*masked, 1, 1).green, pixel(*picture, 1, 1).green);
}

TEST_P(PictureOperations, InterlacingTheHalvesGivesTheOriginal) {
    PictureRef picture = ramp(GetParam(), 3, 5);
    PictureRef even = adopt(picture->DeInterlaceEven());
    PictureRef odd = adopt(picture->DeInterlaceOdd());
    EXPECT_EQ(even->GetHeight(), 3);
    EXPECT_EQ(odd->GetHeight(), 2);
    PictureRef woven = adopt(even->Interlace(odd.get()));
    EXPECT_TRUE(samePixels(*woven, *picture));
    PictureRef three = ramp(GetParam(), 3, 3);
    EXPECT_EQ(adopt(three->Interlace(three.get()))->GetHeight(), 6);
    EXPECT_EQ(raisedMessage([&] { odd->Interlace(even.get()); }), "Frames must be same size.");
    PictureRef other = ramp(GetParam() == QV_IMAGE ? QV_FRAME : QV_IMAGE, 3, 3);
    EXPECT_EQ(raisedMessage([&] { three->Interlace(other.get()); }),
              "Parameters must be the same type for interlacing.)");
}

TEST_P(PictureOperations, BinaryExtremesNeedACoveringOperand) {
    PictureRef a = ramp(GetParam(), 3, 2);
    PictureRef b = QvNewPicture(GetParam(), 3, 2);
    PictureRef least = adopt(a->BinaryMin(b.get()));
    PictureRef most = adopt(a->BinaryMax(b.get()));
    EXPECT_TRUE(samePixels(*least, *b));
    EXPECT_TRUE(samePixels(*most, *a));
    PictureRef narrow = QvNewPicture(GetParam(), 2, 2);
    PictureRef shorter = QvNewPicture(GetParam(), 3, 1);
    EXPECT_NE(raisedMessage([&] { a->BinaryMin(narrow.get()); }), "<no error>");
    EXPECT_NE(raisedMessage([&] { a->BinaryMax(shorter.get()); }), "<no error>");
}

TEST_P(PictureOperations, AffineIdentityCopiesAndASingularMatrixFills) {
    PictureRef picture = ramp(GetParam(), 6, 4);
    EXPECT_TRUE(samePixels(*adopt(picture->TransformAffine(1, 0, 0, 1, {1, 0, 0})), *picture));
    PictureRef filled = adopt(picture->TransformAffine(1, 1, 1, 1, {1, 1, 1}));
    EXPECT_DOUBLE_EQ(pixel(*filled, 5, 3).red, 1.0);
    // Mirrored along x: every destination pixel samples outside the source.
    PictureRef mirrored = adopt(picture->TransformAffine(-1, 0, 0, 1, {0, 0, 0}));
    EXPECT_DOUBLE_EQ(pixel(*mirrored, 3, 2).red, 0.0);
    PictureRef empty = QvNewPicture(GetParam(), 0, 0);
    EXPECT_EQ(adopt(empty->TransformAffine(2, 0, 0, 2, {}))->GetWidth(), 0);
}

TEST_P(PictureOperations, ReplaceAndNormaliseWorkOnTheRange) {
    PictureRef picture = ramp(GetParam(), 4, 2);
    QvColor low{0.09, 0.09, 0.09}, high{0.15, 0.15, 0.15};
    PictureRef replaced = adopt(picture->ReplaceRange(low, high, {1, 1, 1}, true));
    EXPECT_DOUBLE_EQ(pixel(*replaced, 3, 0).red, 1.0);  // grey 0.1 (frames: 25 / 255) is within
    EXPECT_DOUBLE_EQ(pixel(*replaced, 3, 1).red, pixel(*picture, 3, 1).red);
    // Bounds equal to a pixel's own colour take it in only when inclusive.
    QvColor own = pixel(*picture, 2, 0);
    EXPECT_DOUBLE_EQ(pixel(*adopt(picture->ReplaceRange(own, own, {1, 1, 1}, true)), 2, 0).red, 1.0);
    EXPECT_DOUBLE_EQ(pixel(*adopt(picture->ReplaceRange(own, own, {1, 1, 1}, false)), 2, 0).red, own.red);
    PictureRef normalised = adopt(picture->NormalizeRange({0, 0, 0}, {0.2, 0.2, 0.2}));
    EXPECT_NEAR(pixel(*normalised, 3, 0).red, 0.5, 0.01);
    PictureRef flat = adopt(picture->NormalizeRange(low, low));
    EXPECT_DOUBLE_EQ(pixel(*flat, 1, 1).red, 0.0);
}

TEST_P(PictureOperations, StatisticsAndLocations) {
    PictureRef picture = ramp(GetParam(), 4, 3);
    QvValueRef average(picture->Average());
    QvValueRef sum(picture->SumElements());
    EXPECT_NEAR(sum->AsColor().red / 12, average->AsColor().red, 1e-12);
    QvKernels::QvExtremeLocation brightest = picture->MaximumLocation(false);
    EXPECT_EQ(brightest.x, 3);
    EXPECT_EQ(brightest.y, 2);
    QvKernels::QvExtremeLocation darkest = picture->MinimumLocation(true);
    EXPECT_EQ(darkest.x, 0);  // at the border the refinement is 0
    QvValueRef largest(picture->Max());
    EXPECT_DOUBLE_EQ(largest->AsColor().green, pixel(*picture, 3, 2).green);

    PictureRef empty = QvNewPicture(GetParam(), 0, 0);
    QvValueRef none(empty->Average());
    QvValueRef spread(empty->Sdev());
    EXPECT_EQ(none->AsColor().red, 1e10);
    EXPECT_EQ(spread->AsColor().blue, 0);

    PictureRef other = QvNewPicture(GetParam(), 4, 3);
    QvValueRef same(picture->Difference(picture.get(), 0));
    QvValueRef differs(picture->Difference(other.get(), 0));
    QvValueRef foreign(picture->Difference(ramp(GetParam() == QV_IMAGE ? QV_FRAME : QV_IMAGE, 4, 3).get(), 0));
    EXPECT_EQ(same->AsNumber(), 0);
    EXPECT_GT(differs->AsNumber(), 0);
    EXPECT_EQ(foreign->AsNumber(), 1);
}

// Taller than several bands of rows, with an operand that differs from row to row, so
// that a band reading the wrong rows shows.
TEST_P(PictureOperations, PixelOperationsCoverEveryBandOfRows) {
    const int width = 3, height = 37;
    PictureRef picture = ramp(GetParam(), width, height);
    PictureRef falling = QvNewPicture(GetParam(), width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            double grey = (height - y) / 80.0;
            QvWithPixel(falling->pixelClass(), [&](auto p) {
                QvKernels::pixelOfColor({grey, grey, grey}, falling->pixels().row<decltype(p)>(y)[x]);
            });
        }
    PictureRef lesser = adopt(picture->BinaryMin(falling.get()));
    PictureRef greater = adopt(picture->BinaryMax(falling.get()));
    PictureRef replaced = adopt(picture->ReplaceRange({0, 0, 0}, {0.5, 0.5, 0.5}, {1, 1, 1}, true));
    PictureRef normalised = adopt(picture->NormalizeRange({0, 0, 0}, {0.5, 0.5, 0.5}));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            double mine = pixel(*picture, x, y).red, theirs = pixel(*falling, x, y).red;
            ASSERT_EQ(pixel(*lesser, x, y).red, mine < theirs ? mine : theirs) << x << "," << y;
            ASSERT_EQ(pixel(*greater, x, y).red, mine > theirs ? mine : theirs) << x << "," << y;
            ASSERT_EQ(pixel(*replaced, x, y).red, mine <= 0.5 ? 1.0 : mine) << x << "," << y;
            ASSERT_NEAR(pixel(*normalised, x, y).red, std::min(mine * 2, QvIsFloat(picture->pixelClass()) ? 99.0 : 1.0),
                        0.01)
                << x << "," << y;
        }
    if (!QvIsColor(picture->pixelClass())) return;
    PictureRef veiled = adopt(picture->SetAlpha(falling.get()));
    PictureRef alpha = adopt(veiled->GetAlpha());
    for (int y = 0; y < height; ++y)
        ASSERT_EQ(pixel(*alpha, 1, y).red, pixel(*falling, 1, y).red) << y;
}

// A stop request ends the pixel-by-pixel operations between bands of rows.
TEST_P(PictureOperations, PixelOperationsStopWhenEverythingIsAborted) {
    PictureRef picture = ramp(GetParam(), 4, 40);
    PictureRef other = ramp(GetParam(), 4, 40);
    auto allInterrupted = [&] {
        std::vector<std::string> messages = {
            raisedMessage([&] { QvValueRef(picture->BinaryMin(other.get())); }),
            raisedMessage([&] { QvValueRef(picture->BinaryMax(other.get())); }),
            raisedMessage([&] { QvValueRef(picture->ReplaceRange({}, {1, 1, 1}, {}, true)); }),
            raisedMessage([&] { QvValueRef(picture->NormalizeRange({}, {1, 1, 1})); }),
        };
        if (QvIsColor(picture->pixelClass())) {
            messages.push_back(raisedMessage([&] { QvValueRef(picture->GetAlpha()); }));
            messages.push_back(raisedMessage([&] { QvValueRef(picture->SetAlpha(other.get())); }));
        }
        return std::all_of(messages.begin(), messages.end(), [](const std::string& m) { return m == "Interrupted"; });
    };
    // The flag is never cleared, so the abort runs in a child process.
    EXPECT_EXIT(
        {
            QvSetAbortEverything();
            std::exit(allInterrupted() ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST_P(PictureOperations, MultiplyPixelIsRangeChecked) {
    PictureRef picture = ramp(GetParam(), 3, 2);
    picture->MultiplyPixelByNumber(2, 1, 0);
    EXPECT_DOUBLE_EQ(pixel(*picture, 2, 1).red, 0.0);
    EXPECT_NE(raisedMessage([&] { picture->MultiplyPixelByNumber(-1, 0, 2); }), "<no error>");
    EXPECT_NE(raisedMessage([&] { picture->MultiplyPixelByNumber(0, 2, 2); }), "<no error>");
}

INSTANTIATE_TEST_SUITE_P(AllClasses, PictureOperations, ::testing::ValuesIn(kPictureTypes),
                         [](const auto& info) { return std::string(QvTypeName(info.param)); });

TEST(PictureStatistics, UniformPictureAveragesExactly) {
    PictureRef picture = QvNewPicture(QV_IMAGE_MONO, 1920, 1080);
    for (int y = 0; y < 1080; ++y)
        for (int x = 0; x < 1920; ++x)
            picture->pixels().row<fgPix>(y)[x].grey = 0.2f;
    QvValueRef average(picture->Average());
    EXPECT_FLOAT_EQ(float(average->AsColor().red), 0.2f);
}

}  // namespace
