#include "Find/QvFindSums.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "Find/QvFindVectorRows.h"
#include "Kernels/QvKernelRows.h"

namespace QvFind {
namespace {

// The reference: every placement, every overlapping row, every overlapping column.
template <class P>
class QvFindReferenceSums final : public QvFindSums<P> {
public:
    QvFindReferenceSums(QvPlane<const P> source, QvPlane<const P> match) : source_(source), match_(match) {}

    void placementRow(int32_t y, int32_t xa, int32_t xb, double* sums) override {
        using RowSum = std::conditional_t<QvKernels::isByteClass<P>(), int64_t, double>;
        std::fill(sums, sums + (xb - xa), 0.0);
        const int32_t r1 = int32_t(std::min<int64_t>(int64_t(y) + match_.height, source_.height));
        for (int32_t r = std::max(y, 0); r < r1; ++r) {
            const P* sourceRow = source_.row(r);
            const P* matchRow = match_.row(r - y);
            for (int32_t x = xa; x < xb; ++x) {
                const int32_t c1 = int32_t(std::min<int64_t>(int64_t(x) + match_.width, source_.width));
                RowSum rowSum = 0;
                for (int32_t c = std::max(x, 0); c < c1; ++c) rowSum += pixelDifference(sourceRow[c], matchRow[c - x]);
                sums[x - xa] += static_cast<double>(rowSum);
            }
        }
    }

private:
    QvPlane<const P> source_;
    QvPlane<const P> match_;
};

// Rows copied with kRoomBytes of zeros before and after each.
class QvRoomyRows {
public:
    QvRoomyRows(int32_t height, size_t rowBytes)
        : stride_(rowBytes + 2 * kRoomBytes), bytes_(stride_ * size_t(std::max(height, 0))) {}
    uint8_t* row(int32_t y) { return bytes_.data() + kRoomBytes + stride_ * size_t(y); }
    const uint8_t* first() const { return bytes_.data() + kRoomBytes; }
    ptrdiff_t stride() const { return static_cast<ptrdiff_t>(stride_); }

private:
    size_t stride_;
    std::vector<uint8_t> bytes_;
};

template <class P>
QvRoomyRows roomyCopy(QvPlane<const P> plane) {
    QvRoomyRows rows(plane.height, size_t(plane.width) * sizeof(P));
    for (int32_t y = 0; y < plane.height; ++y) std::memcpy(rows.row(y), plane.row(y), size_t(plane.width) * sizeof(P));
    return rows;
}

// One channel of a float colour picture as a plane of floats.
QvRoomyRows channelCopy(QvPlane<const fcPix> plane, float fcPix::*channel) {
    QvRoomyRows rows(plane.height, size_t(plane.width) * sizeof(float));
    for (int32_t y = 0; y < plane.height; ++y) {
        float* out = reinterpret_cast<float*>(rows.row(y));
        const fcPix* in = plane.row(y);
        for (int32_t x = 0; x < plane.width; ++x) out[x] = in[x].*channel;
    }
    return rows;
}

template <class P>
class QvFindVectorSums final : public QvFindSums<P> {
public:
    QvFindVectorSums(QvPlane<const P> source, QvPlane<const P> match, bool narrow)
        : reference_(source, match), match_(roomyCopy(match)) {
        if constexpr (std::is_same_v<P, fcPix>) {
            for (float fcPix::*channel : {&fcPix::red, &fcPix::green, &fcPix::blue})
                source_.push_back(channelCopy(source, channel));
        } else {
            source_.push_back(roomyCopy(source));
        }
        rows_.classCode = QvKernels::QvRowLayout<P>::code;
        rows_.narrow = narrow;
        rows_.sourceWidth = source.width;
        rows_.sourceHeight = source.height;
        rows_.matchWidth = match.width;
        rows_.matchHeight = match.height;
        for (size_t k = 0; k < source_.size(); ++k) rows_.source[k] = source_[k].first();
        rows_.sourceStride = source_[0].stride();
        rows_.match = match_.first();
        rows_.matchStride = match_.stride();
    }

    void placementRow(int32_t y, int32_t xa, int32_t xb, double* sums) override {
        if (!sumPlacementRowInVectors(rows_, y, xa, xb, sums)) reference_.placementRow(y, xa, xb, sums);
    }

private:
    QvFindReferenceSums<P> reference_;
    std::vector<QvRoomyRows> source_;
    QvRoomyRows match_;
    QvFindVectorRows rows_;
};

}  // namespace

template <class P>
std::unique_ptr<QvFindSums<P>> makeFindSums(QvFindCore core, QvPlane<const P> source, QvPlane<const P> match) {
    if (core == QvFindCore::reference) return std::make_unique<QvFindReferenceSums<P>>(source, match);
    return std::make_unique<QvFindVectorSums<P>>(source, match, core == QvFindCore::narrowVectors);
}

template std::unique_ptr<QvFindSums<bgPix>> makeFindSums(QvFindCore, QvPlane<const bgPix>, QvPlane<const bgPix>);
template std::unique_ptr<QvFindSums<bcPix>> makeFindSums(QvFindCore, QvPlane<const bcPix>, QvPlane<const bcPix>);
template std::unique_ptr<QvFindSums<fgPix>> makeFindSums(QvFindCore, QvPlane<const fgPix>, QvPlane<const fgPix>);
template std::unique_ptr<QvFindSums<fcPix>> makeFindSums(QvFindCore, QvPlane<const fcPix>, QvPlane<const fcPix>);

}  // namespace QvFind
