#pragma once
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "Kernels/QvPixelRules.h"
#include "Region/QvRegionSearch.h"

// Whether a pixel lies close enough to the luminance a region search looks for, and
// the weight it then adds to its region's area.
namespace QvRegionSearch {

// 1 - d (1 - edge value) / tolerance at distance d: 1 at the exact value, the edge
// value at the tolerance limit (1 throughout when the tolerance is 0 or the edge value 1).
class QvRegionWeighting {
public:
    QvRegionWeighting(double tolerance, double edgeValue)
        : tolerance_(tolerance), edgeFactor_(1.0 - edgeValue), flat_(tolerance == 0 || edgeFactor_ == 0) {}
    double operator()(double distance) const { return flat_ ? 1.0 : 1.0 - distance * edgeFactor_ / tolerance_; }

private:
    double tolerance_;
    double edgeFactor_;
    bool flat_;
};

// 8-bit pictures: the grey level / 255 against the value, in double. The levels that
// match form one range, lowest to highest (empty when lowest > highest).
class QvGreyLevelTest {
public:
    explicit QvGreyLevelTest(const QvRegionCriteria& criteria) {
        QvRegionWeighting weighting(criteria.tolerance, criteria.edgeValue);
        for (int level = 0; level < 256; ++level) {
            double distance = std::fabs(level / 255.0 - criteria.value);
            weights_[level] = weighting(distance);
            if (!(distance <= criteria.tolerance)) continue;
            lowest_ = std::min(lowest_, level);
            highest_ = level;
        }
    }
    int lowest() const { return lowest_; }
    int highest() const { return highest_; }
    bool matchesLevel(uint8_t level) const { return level >= lowest_ && level <= highest_; }
    double weightOfLevel(uint8_t level) const { return weights_[level]; }

private:
    int lowest_ = 256;
    int highest_ = -1;
    double weights_[256];
};

// Float pictures: the luminance against the value and tolerance taken as floats.
class QvFloatLuminanceTest {
public:
    explicit QvFloatLuminanceTest(const QvRegionCriteria& criteria)
        : value_(float(criteria.value)), tolerance_(float(criteria.tolerance)),
          weighting_(tolerance_, criteria.edgeValue) {}
    float value() const { return value_; }
    float tolerance() const { return tolerance_; }
    bool matchesLuminance(float luminance) const { return std::fabs(luminance - value_) <= tolerance_; }
    double weightOfLuminance(float luminance) const { return weighting_(std::fabs(luminance - value_)); }

private:
    float value_;
    float tolerance_;
    QvRegionWeighting weighting_;
};

template <class P>
struct QvPixelTest;

template <>
struct QvPixelTest<bgPix> : QvGreyLevelTest {
    using QvGreyLevelTest::QvGreyLevelTest;
    bool matches(const bgPix& p) const { return matchesLevel(p.grey); }
    double weight(const bgPix& p) const { return weightOfLevel(p.grey); }
};

// Colour frames through the integer grey rule (77 R + 151 G + 28 B) >> 8.
template <>
struct QvPixelTest<bcPix> : QvGreyLevelTest {
    using QvGreyLevelTest::QvGreyLevelTest;
    bool matches(const bcPix& p) const { return matchesLevel(QvKernels::greyLevel(p)); }
    double weight(const bcPix& p) const { return weightOfLevel(QvKernels::greyLevel(p)); }
};

template <>
struct QvPixelTest<fgPix> : QvFloatLuminanceTest {
    using QvFloatLuminanceTest::QvFloatLuminanceTest;
    bool matches(const fgPix& p) const { return matchesLuminance(p.grey); }
    double weight(const fgPix& p) const { return weightOfLuminance(p.grey); }
};

// Colour images through the single-precision luminance.
template <>
struct QvPixelTest<fcPix> : QvFloatLuminanceTest {
    using QvFloatLuminanceTest::QvFloatLuminanceTest;
    bool matches(const fcPix& p) const { return matchesLuminance(QvKernels::luminance(p.red, p.green, p.blue)); }
    double weight(const fcPix& p) const { return weightOfLuminance(QvKernels::luminance(p.red, p.green, p.blue)); }
};

}  // namespace QvRegionSearch
