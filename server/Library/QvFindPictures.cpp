// Find.Correlate and Find.Map on pictures: the arguments turned into one search (scale,
// reduced sizes, overhang, candidate range, weight, working pixel class, core), run by
// the search of server/Find.
#include <algorithm>
#include <cmath>
#include <optional>

#include "Find/QvFindSearch.h"
#include "Images/Qv2DValue.h"
#include "Images/QvPictureConversion.h"
#include "Images/QvPictureGeometry.h"
#include "Library/QvBuiltinNamespaces.h"
#include "Values/QvVectorValue.h"

namespace {
using QvFind::QvFindCore;
using QvFind::QvFindRange;

// Placements and corners are kept within +-2^30, so that sums of two stay in 32 bits.
constexpr double kLargestCorner = 1 << 30;

// A coordinate from a script number: truncated, clamped, NaN as 0.
int32_t corner(double value) {
    if (value != value) return 0;
    return static_cast<int32_t>(std::trunc(std::clamp(value, -kLargestCorner, kLargestCorner)));
}

bool given(QvParameterBlock* parameters, const char* name) {
    return !QvParameterBlockIsDynamicGenerationRequired(parameters, name);
}

const QvPixelStorage& picturePixels(QvParameterBlock* parameters, const char* name) {
    return QvAsPicture(QvParameterBlockGetValue(parameters, name))->pixels();
}

// The reduction factor: 1/sqrt(quality) at most a quarter of the match's smaller side,
// or the given number truncated; then at most the match's smaller side and at least 1.
double reductionScale(QvParameterBlock* parameters, const Qv2DValue& source, const QvPixelStorage& match) {
    const double smallerSide = std::min(match.width(), match.height());
    double scale = 1 / std::sqrt(source.quality());
    scale = std::min(scale, std::floor(smallerSide / 4));
    if (given(parameters, "scale")) {
        double requested = QvParameterBlockGetNumberValue(parameters, "scale");
        if (requested == requested) scale = std::trunc(requested);
    }
    scale = std::min(scale, smallerSide);
    return scale >= 1 ? scale : 1;
}

// Source and match meet in one class: grey when either is grey or `gray` asks for it,
// bytes when either holds bytes.
QvPixelClass workingClass(QvPixelClass source, QvPixelClass match, bool gray) {
    bool grey = gray || !QvIsColor(source) || !QvIsColor(match);
    bool bytes = !QvIsFloat(source) || !QvIsFloat(match);
    if (bytes) return grey ? QvPixelClass::ByteGrey : QvPixelClass::ByteColor;
    return grey ? QvPixelClass::FloatGrey : QvPixelClass::FloatColor;
}

QvFindCore chosenCore(QvParameterBlock* parameters) {
    std::string name = QvParameterBlockGetTextValue(parameters, "internal_test_choose_core");
    if (name == "fastest") return QvFindCore::vectors;
    if (name == "RISC") return QvFindCore::narrowVectors;
    if (name == "generic") return QvFindCore::reference;
    if (name == "Altivec") QvError("Altivec not supported on this machine");
    QvError("Unknown core specification in Cross correlation.");
    return QvFindCore::reference;
}

// The pixels a search reads: the picture's own when they already have the class and
// size wanted, else a resampled and converted copy.
class QvWorkingPixels {
public:
    QvWorkingPixels(const QvWorkingPixels&) = delete;
    QvWorkingPixels& operator=(const QvWorkingPixels&) = delete;
    QvWorkingPixels(const QvPixelStorage& original, QvPixelClass pixelClass, int32_t width, int32_t height) {
        if (original.pixelClass() == pixelClass && original.width() == width && original.height() == height) {
            pixels_ = &original;
            return;
        }
        owned_ = QvPictureConversion::convert(QvPictureGeometry::resize(original, width, height), pixelClass);
        pixels_ = &*owned_;
    }
    template <class P>
    QvPlane<const P> plane() const {
        return pixels_->plane<P>();
    }

private:
    const QvPixelStorage* pixels_ = nullptr;
    std::optional<QvPixelStorage> owned_;
};

int32_t reduced(int32_t side, double scale) { return static_cast<int32_t>(side / scale); }

// Everything one call searches with.
class QvPictureSearch {
public:
    explicit QvPictureSearch(QvParameterBlock* parameters) {
        const Qv2DValue& sourceValue = *QvAsPicture(QvParameterBlockGetValue(parameters, "source"));
        const QvPixelStorage& source = sourceValue.pixels();
        const QvPixelStorage& match = picturePixels(parameters, "match");
        scale_ = reductionScale(parameters, sourceValue, match);
        const int32_t sw = reduced(source.width(), scale_), sh = reduced(source.height(), scale_);
        const int32_t mw = reduced(match.width(), scale_), mh = reduced(match.height(), scale_);
        const double overhang = readOverhang(parameters, mw, mh);
        readRange(parameters, source, match, sw, sh, mw, mh, overhang);
        readWeight(parameters);
        subPixel_ = QvParameterBlockGetBooleanValue(parameters, "sub_pixel") != 0;
        core_ = chosenCore(parameters);

        pixelClass_ = workingClass(source.pixelClass(), match.pixelClass(),
                                   QvParameterBlockGetBooleanValue(parameters, "gray") != 0);
        source_.emplace(source, pixelClass_, sw, sh);
        match_.emplace(match, pixelClass_, mw, mh);
    }

    // {x, y, score} of the best fit in source pixels, or {0, 0, 1}.
    QvValue* bestFit() const {
        QvFind::QvFindBest best;
        QvWithPixel(pixelClass_, [&](auto pixel) {
            using P = decltype(pixel);
            best = QvFind::bestPlacement<P>(core_, source_->plane<P>(), match_->plane<P>(), range_, weight(), subPixel_);
        });
        if (!best.found) return new QvVectorValue({0, 0, 1});
        return new QvVectorValue({best.x * scale_, best.y * scale_, double(best.score)});
    }

    // The score of every placement of the range, 1 where none overlaps, resampled to
    // the search's size in source pixels.
    QvValue* scoreMap() const {
        if (range_.empty() || searchWidth_ <= 0 || searchHeight_ <= 0) QvError("Empty search range.");
        QvPixelStorage scores(QvPixelClass::FloatGrey, int64_t(range_.x1) - range_.x0, int64_t(range_.y1) - range_.y0);
        QvPlane<fgPix> map = scores.plane<fgPix>();
        for (int32_t y = 0; y < map.height; ++y) std::fill(map.row(y), map.row(y) + map.width, fgPix{1.0f});
        QvWithPixel(pixelClass_, [&](auto pixel) {
            using P = decltype(pixel);
            QvFind::scoreMap<P>(core_, source_->plane<P>(), match_->plane<P>(), range_, weight(), map);
        });
        int32_t width = QvPixelStorage::checkedSide(double(searchWidth_));
        int32_t height = QvPixelStorage::checkedSide(double(searchHeight_));
        if (width != scores.width() || height != scores.height()) scores = QvPictureGeometry::resize(scores, width, height);
        return QvNewPicture(QV_IMAGE_MONO, std::move(scores));
    }

private:
    // The fraction of the match that may lie outside (0 when not given, NaN as 0); with
    // it, the overlap a placement needs to be scored.
    double readOverhang(QvParameterBlock* parameters, int32_t mw, int32_t mh) {
        if (!given(parameters, "overhang_area")) return 0;
        double overhang = QvParameterBlockGetNumberValue(parameters, "overhang_area");
        if (overhang != overhang) overhang = 0;
        range_.overhangGiven = true;
        double overlap = std::trunc((1 - overhang) * mw * mh);
        range_.minimumOverlap = static_cast<int64_t>(std::clamp(overlap, 1.0, 0x1p62));
        return overhang;
    }

    // The placements, by default from (-ox, -oy) to (sw - mw + ox + 1, sh - mh + oy + 1)
    // with ox, oy the overhang's share of the match; the same in source pixels gives the
    // size of the search. A source reduced to nothing leaves no placement.
    void readRange(QvParameterBlock* parameters, const QvPixelStorage& source, const QvPixelStorage& match, int32_t sw,
                   int32_t sh, int32_t mw, int32_t mh, double overhang) {
        const double ox = corner(mw * overhang), oy = corner(mh * overhang);
        const double sourceOx = corner(match.width() * overhang), sourceOy = corner(match.height() * overhang);
        range_.x0 = corner(-ox);
        range_.y0 = corner(-oy);
        range_.x1 = corner(double(sw) - mw + ox + 1);
        range_.y1 = corner(double(sh) - mh + oy + 1);
        int64_t startX = corner(-sourceOx), startY = corner(-sourceOy);
        int64_t endX = corner(double(source.width()) - match.width() + sourceOx + 1);
        int64_t endY = corner(double(source.height()) - match.height() + sourceOy + 1);
        if (given(parameters, "topleft")) {
            double x = QvParameterBlockGetVectorValue(parameters, "topleft", 0);
            double y = QvParameterBlockGetVectorValue(parameters, "topleft", 1);
            range_.x0 = corner(x / scale_), range_.y0 = corner(y / scale_);
            startX = corner(x), startY = corner(y);
        }
        if (given(parameters, "bottomright")) {
            double x = QvParameterBlockGetVectorValue(parameters, "bottomright", 0);
            double y = QvParameterBlockGetVectorValue(parameters, "bottomright", 1);
            range_.x1 = corner(x / scale_), range_.y1 = corner(y / scale_);
            endX = corner(x), endY = corner(y);
        }
        searchWidth_ = endX - startX;
        searchHeight_ = endY - startY;
        if (sw <= 0 || sh <= 0) range_.x1 = range_.x0;
    }

    // The weight as a grey image reduced like the pictures (at least 1 x 1), and its origin.
    void readWeight(QvParameterBlock* parameters) {
        if (!given(parameters, "weight")) return;
        const QvPixelStorage& w = picturePixels(parameters, "weight");
        weight_.emplace(w, QvPixelClass::FloatGrey, std::max(1, reduced(w.width(), scale_)),
                        std::max(1, reduced(w.height(), scale_)));
        weightOrigin_[0] = corner(QvParameterBlockGetVectorValue(parameters, "weight_origin", 0) / scale_);
        weightOrigin_[1] = corner(QvParameterBlockGetVectorValue(parameters, "weight_origin", 1) / scale_);
    }

    QvFind::QvFindWeight weight() const {
        if (!weight_) return {};
        return {weight_->plane<fgPix>(), weightOrigin_[0], weightOrigin_[1]};
    }

    double scale_ = 1;
    QvFindRange range_;
    int64_t searchWidth_ = 0, searchHeight_ = 0;
    std::optional<QvWorkingPixels> weight_;
    int32_t weightOrigin_[2] = {0, 0};
    bool subPixel_ = false;
    QvFindCore core_ = QvFindCore::vectors;
    QvPixelClass pixelClass_ = QvPixelClass::ByteGrey;
    std::optional<QvWorkingPixels> source_, match_;
};
}  // namespace

namespace QvFindNamespace {
QvValue* CorrelatePictures(QvPluginErrorBlock*, QvParameterBlock* parameters) {
    return QvPictureSearch(parameters).bestFit();
}

QvValue* MapPictures(QvPluginErrorBlock*, QvParameterBlock* parameters) {
    return QvPictureSearch(parameters).scoreMap();
}
}  // namespace QvFindNamespace
