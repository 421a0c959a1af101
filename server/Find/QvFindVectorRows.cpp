// The sums of pixel differences of a placement row in vectors. Byte pictures run
// along the columns of one placement at a time (integer sums, so the order is free);
// float pictures give each lane a placement of its own and walk the columns in order,
// so every lane adds exactly what the reference adds, in the reference's order.
#include "Find/QvFindVectorRows.h"

#include "Find/QvFindBounds.h"

#include <algorithm>

#include "Kernels/QvKernelRows.h"

#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "Find/QvFindVectorRows.cpp"
#include <hwy/foreach_target.h>  // IWYU pragma: keep
#include <hwy/highway.h>

HWY_BEFORE_NAMESPACE();
namespace QvFind {
namespace HWY_NAMESPACE {
#if HWY_TARGET == HWY_SCALAR || !HWY_HAVE_FLOAT64
bool SumPlacementRow(const QvFindVectorRows&, int32_t, int32_t, int32_t, double*) { return false; }
void SumRowBoundDifferences(const int32_t* rowSums, ptrdiff_t stride, const int32_t* matchRowSums, int32_t rows,
                            int32_t count, int32_t* bounds) {
    for (int32_t i = 0; i < count; ++i) {
        int32_t bound = 0;
        for (int32_t j = 0; j < rows; ++j) bound += std::abs(rowSums[j * stride + i] - matchRowSums[j]);
        bounds[i] = bound;
    }
}
#else
namespace hn = hwy::HWY_NAMESPACE;

// Sums of absolute byte differences over each group of eight lanes: one instruction
// on x86, three portable steps elsewhere.
#if HWY_ARCH_X86 && HWY_TARGET != HWY_EMU128
HWY_INLINE hn::Vec128<uint64_t> SadBytes(hn::Vec128<uint8_t> a, hn::Vec128<uint8_t> b) {
    return hn::Vec128<uint64_t>{_mm_sad_epu8(a.raw, b.raw)};
}
#if HWY_TARGET <= HWY_AVX2
HWY_INLINE hn::Vec256<uint64_t> SadBytes(hn::Vec256<uint8_t> a, hn::Vec256<uint8_t> b) {
    return hn::Vec256<uint64_t>{_mm256_sad_epu8(a.raw, b.raw)};
}
#endif
#if HWY_TARGET <= HWY_AVX3
HWY_INLINE hn::Vec512<uint64_t> SadBytes(hn::Vec512<uint8_t> a, hn::Vec512<uint8_t> b) {
    return hn::Vec512<uint64_t>{_mm512_sad_epu8(a.raw, b.raw)};
}
#endif
#else
template <class V>
HWY_INLINE auto SadBytes(V a, V b) {
    return hn::SumsOf8(hn::Or(hn::SaturatedSub(a, b), hn::SaturatedSub(b, a)));
}
#endif

// The frame colour difference of each pixel (four bytes, blue first) in 32-bit lanes:
// (28 |dB| + 151 |dG| + 77 |dR|) >> 8. Blue and red are multiplied in the even bytes'
// 16-bit lanes, green (and alpha, by 0) in the odd ones; the two halves of each pixel's
// 32 bits then hold 28 |dB| + 151 |dG| (at most 45645) and 77 |dR|.
template <class V>
HWY_INLINE auto ColourDifferences(V a, V b) {
    const hn::DFromV<V> d8;
    const hn::Repartition<uint16_t, decltype(d8)> d16;
    const hn::Repartition<uint32_t, decltype(d8)> d32;
    const auto absolute = hn::BitCast(d16, hn::Or(hn::SaturatedSub(a, b), hn::SaturatedSub(b, a)));
    const auto even = hn::And(absolute, hn::Set(d16, uint16_t{0x00FF}));
    const auto odd = hn::ShiftRight<8>(absolute);
    const auto evenWeights = hn::BitCast(d16, hn::Set(d32, (77u << 16) | 28u));
    const auto oddWeights = hn::BitCast(d16, hn::Set(d32, 151u));
    const auto halves = hn::BitCast(d32, hn::Add(hn::Mul(even, evenWeights), hn::Mul(odd, oddWeights)));
    return hn::ShiftRight<8>(hn::Add(hn::And(halves, hn::Set(d32, 0xFFFFu)), hn::ShiftRight<16>(halves)));
}

// The lanes of a mask from an unaligned address, zero elsewhere; the rows have room
// for the whole vector.
template <class D>
HWY_INLINE hn::Vec<D> LoadFirst(hn::Mask<D> lanes, D d, const hn::TFromD<D>* p) {
    return hn::IfThenElseZero(lanes, hn::LoadU(d, p));
}

struct Overlap {
    int32_t first, end;
};
HWY_INLINE Overlap Rows(const QvFindVectorRows& w, int32_t y) {
    return {std::max(y, 0), int32_t(std::min<int64_t>(int64_t(y) + w.matchHeight, w.sourceHeight))};
}
HWY_INLINE Overlap Columns(const QvFindVectorRows& w, int32_t x) {
    return {std::max(x, 0), int32_t(std::min<int64_t>(int64_t(x) + w.matchWidth, w.sourceWidth))};
}

// Grey bytes, one placement: whole vectors along the overlapping columns of each row,
// the last one masked.
template <class D>
double GreyBytePlacement(D d, const QvFindVectorRows& w, int32_t y, int32_t x) {
    const hn::Repartition<uint64_t, D> d64;
    const size_t n = hn::Lanes(d);
    const Overlap rows = Rows(w, y);
    const Overlap columns = Columns(w, x);
    const size_t length = size_t(columns.end - columns.first);
    const size_t whole = length - length % n;
    const auto tail = hn::FirstN(d, length - whole);
    const uint8_t* s = w.source[0] + rows.first * w.sourceStride + columns.first;
    const uint8_t* m = w.match + (rows.first - y) * w.matchStride + (columns.first - x);
    auto total = hn::Zero(d64);
    for (int32_t r = rows.first; r < rows.end; ++r, s += w.sourceStride, m += w.matchStride) {
        for (size_t i = 0; i < whole; i += n) total = hn::Add(total, SadBytes(hn::LoadU(d, s + i), hn::LoadU(d, m + i)));
        if (whole < length) total = hn::Add(total, SadBytes(LoadFirst(tail, d, s + whole), LoadFirst(tail, d, m + whole)));
    }
    return static_cast<double>(hn::GetLane(hn::SumOfLanes(d64, total)));
}

// Grey bytes, kGroup neighbouring placements that all overlap the whole match width:
// each vector of the match is loaded once for all of them.
constexpr int32_t kGroup = 8;  // the unrolling below assumes 8
template <class D>
void GreyByteGroup(D d, const QvFindVectorRows& w, int32_t y, int32_t x, double* sums) {
    const hn::Repartition<uint64_t, D> d64;
    const size_t n = hn::Lanes(d);
    const Overlap rows = Rows(w, y);
    const size_t length = size_t(w.matchWidth);
    const size_t whole = length - length % n;
    const auto tail = hn::FirstN(d, length - whole);
    const uint8_t* s = w.source[0] + rows.first * w.sourceStride + x;
    const uint8_t* m = w.match + (rows.first - y) * w.matchStride;
    hn::Vec<decltype(d64)> total[kGroup];
    HWY_UNROLL(8)
    for (auto& t : total) t = hn::Zero(d64);
    for (int32_t r = rows.first; r < rows.end; ++r, s += w.sourceStride, m += w.matchStride) {
        for (size_t i = 0; i < whole; i += n) {
            const auto matchBytes = hn::LoadU(d, m + i);
            HWY_UNROLL(8)
            for (int32_t k = 0; k < kGroup; ++k) total[k] = hn::Add(total[k], SadBytes(hn::LoadU(d, s + i + k), matchBytes));
        }
        if (whole < length) {
            const auto matchBytes = LoadFirst(tail, d, m + whole);
            HWY_UNROLL(8)
            for (int32_t k = 0; k < kGroup; ++k)
                total[k] = hn::Add(total[k], SadBytes(LoadFirst(tail, d, s + whole + k), matchBytes));
        }
    }
    for (int32_t k = 0; k < kGroup; ++k) sums[k] = static_cast<double>(hn::GetLane(hn::SumOfLanes(d64, total[k])));
}

template <class D>
void GreyBytePlacements(D d, const QvFindVectorRows& w, int32_t y, int32_t xa, int32_t xb, double* sums) {
    for (int32_t x = xa; x < xb;) {
        if (x >= 0 && int64_t(x) + kGroup <= xb && int64_t(x) + kGroup - 1 + w.matchWidth <= w.sourceWidth) {
            GreyByteGroup(d, w, y, x, sums + (x - xa));
            x += kGroup;
        } else {
            sums[x - xa] = GreyBytePlacement(d, w, y, x);
            ++x;
        }
    }
}

// Colour bytes: as grey, with the colour difference per pixel summed in 32-bit lanes,
// which are emptied into a 64-bit total before they could overflow.
template <class D>
void ColourBytePlacements(D d, const QvFindVectorRows& w, int32_t y, int32_t xa, int32_t xb, double* sums) {
    const hn::Repartition<uint32_t, D> d32;
    const hn::Half<decltype(d32)> dh;
    const hn::Repartition<uint64_t, D> d64;
    const size_t n = hn::Lanes(d);
    constexpr uint32_t kVectorsBeforeOverflow = 0xFFFFFFFFu / 255u;
    const Overlap rows = Rows(w, y);
    for (int32_t x = xa; x < xb; ++x) {
        const Overlap columns = Columns(w, x);
        const size_t length = size_t(columns.end - columns.first) * 4;
        const size_t whole = length - length % n;
        const auto tail = hn::FirstN(d, length - whole);
        const uint8_t* s = w.source[0] + rows.first * w.sourceStride + columns.first * 4;
        const uint8_t* m = w.match + (rows.first - y) * w.matchStride + (columns.first - x) * 4;
        uint64_t total = 0;
        uint32_t pending = 0;
        auto lanes = hn::Zero(d32);
        auto drain = [&] {
            total += hn::GetLane(hn::SumOfLanes(d64, hn::PromoteTo(d64, hn::LowerHalf(dh, lanes))));
            total += hn::GetLane(hn::SumOfLanes(d64, hn::PromoteTo(d64, hn::UpperHalf(dh, lanes))));
            lanes = hn::Zero(d32);
            pending = 0;
        };
        auto add = [&](hn::Vec<D> a, hn::Vec<D> b) {
            lanes = hn::Add(lanes, ColourDifferences(a, b));
            if (++pending == kVectorsBeforeOverflow) drain();
        };
        for (int32_t r = rows.first; r < rows.end; ++r, s += w.sourceStride, m += w.matchStride) {
            for (size_t i = 0; i < whole; i += n) add(hn::LoadU(d, s + i), hn::LoadU(d, m + i));
            if (whole < length) add(LoadFirst(tail, d, s + whole), LoadFirst(tail, d, m + whole));
        }
        drain();
        sums[x - xa] = static_cast<double>(total);
    }
}

// Float pictures: groups of two vectors of placements; lane j of vector k scores
// placement x + k n + j. Each row's differences are added to a double row sum column by
// column, and the row sums to the placement's total row by row, as the reference does.
// Near the source's edges a lane whose column falls outside the source adds 0.
template <class DF, bool kColour>
void FloatPlacements(DF df, const QvFindVectorRows& w, int32_t y, int32_t xa, int32_t xb, double* sums) {
    const hn::Half<DF> dh;
    const hn::Rebind<double, decltype(dh)> dd;
    using VF = hn::Vec<DF>;
    const int32_t n = static_cast<int32_t>(hn::Lanes(df));
    const int32_t group = 2 * n;
    const Overlap rows = Rows(w, y);
    const int32_t mw = w.matchWidth, sw = w.sourceWidth;
    auto lanesBelow = [&](int64_t count) { return hn::FirstN(df, size_t(std::clamp<int64_t>(count, 0, n))); };
    HWY_ALIGN double totals[2 * HWY_MAX_BYTES / sizeof(float)];
    for (int32_t x = xa; x < xb; x += group) {
        const bool edge = x < 0 || int64_t(x) + group - 1 + mw > sw;
        const int32_t firstColumn = edge ? std::max(0, -(x + group - 1)) : 0;
        const int32_t endColumn = edge ? int32_t(std::min<int64_t>(mw, int64_t(sw) - x)) : mw;
        auto total0 = hn::Zero(dd), total1 = hn::Zero(dd), total2 = hn::Zero(dd), total3 = hn::Zero(dd);
        for (int32_t r = rows.first; r < rows.end; ++r) {
            const float* source[3];
            for (int k = 0; k < (kColour ? 3 : 1); ++k)
                source[k] = reinterpret_cast<const float*>(w.source[k] + r * w.sourceStride) + x;
            const float* matchRow = reinterpret_cast<const float*>(w.match + (r - y) * w.matchStride);
            // The differences of lanes from `offset` at column c, 0 where the column lies outside the source.
            auto differences = [&](int32_t offset, int32_t c) {
                VF difference;
                if constexpr (kColour) {
                    const float* m = matchRow + 4 * c;
                    auto channel = [&](int plane, float value) {
                        return hn::Abs(hn::Sub(hn::LoadU(df, source[plane] + c + offset), hn::Set(df, value)));
                    };
                    difference = hn::Add(hn::Add(hn::Mul(channel(0, m[1]), hn::Set(df, 0.3f)),
                                                 hn::Mul(channel(1, m[2]), hn::Set(df, 0.59f))),
                                         hn::Mul(channel(2, m[3]), hn::Set(df, 0.11f)));
                } else {
                    difference = hn::Abs(hn::Sub(hn::LoadU(df, source[0] + c + offset), hn::Set(df, matchRow[c])));
                }
                if (!edge) return difference;
                const int64_t column = int64_t(x) + offset + c;
                return hn::IfThenElseZero(hn::AndNot(lanesBelow(-column), lanesBelow(sw - column)), difference);
            };
            auto sum0 = hn::Zero(dd), sum1 = hn::Zero(dd), sum2 = hn::Zero(dd), sum3 = hn::Zero(dd);
            for (int32_t c = firstColumn; c < endColumn; ++c) {
                const VF low = differences(0, c), high = differences(n, c);
                sum0 = hn::Add(sum0, hn::PromoteTo(dd, hn::LowerHalf(dh, low)));
                sum1 = hn::Add(sum1, hn::PromoteTo(dd, hn::UpperHalf(dh, low)));
                sum2 = hn::Add(sum2, hn::PromoteTo(dd, hn::LowerHalf(dh, high)));
                sum3 = hn::Add(sum3, hn::PromoteTo(dd, hn::UpperHalf(dh, high)));
            }
            total0 = hn::Add(total0, sum0);
            total1 = hn::Add(total1, sum1);
            total2 = hn::Add(total2, sum2);
            total3 = hn::Add(total3, sum3);
        }
        const int32_t half = n / 2;
        hn::Store(total0, dd, totals);
        hn::Store(total1, dd, totals + half);
        hn::Store(total2, dd, totals + 2 * half);
        hn::Store(total3, dd, totals + 3 * half);
        std::copy(totals, totals + std::min(group, xb - x), sums + (x - xa));
    }
}

// Lanes of neighbouring placements; the last vector is masked.
void SumRowBoundDifferences(const int32_t* rowSums, ptrdiff_t stride, const int32_t* matchRowSums, int32_t rows,
                            int32_t count, int32_t* bounds) {
    const hn::ScalableTag<int32_t> d;
    const int32_t n = static_cast<int32_t>(hn::Lanes(d));
    for (int32_t i = 0; i < count; i += n) {
        const auto lanes = hn::FirstN(d, size_t(std::min(n, count - i)));
        auto bound = hn::Zero(d);
        for (int32_t j = 0; j < rows; ++j) {
            const auto sums = hn::IfThenElseZero(lanes, hn::LoadU(d, rowSums + j * stride + i));
            bound = hn::Add(bound, hn::Abs(hn::Sub(sums, hn::Set(d, matchRowSums[j]))));
        }
        HWY_ALIGN int32_t values[HWY_MAX_BYTES / sizeof(int32_t)];
        hn::Store(bound, d, values);
        std::copy(values, values + std::min(n, count - i), bounds + i);
    }
}

template <class D8, class DF>
void SumRow(D8 d8, DF df, const QvFindVectorRows& w, int32_t y, int32_t xa, int32_t xb, double* sums) {
    switch (w.classCode) {
    case QvKernels::kGreyBytes: GreyBytePlacements(d8, w, y, xa, xb, sums); break;
    case QvKernels::kColorBytes: ColourBytePlacements(d8, w, y, xa, xb, sums); break;
    case QvKernels::kGreyFloats: FloatPlacements<DF, false>(df, w, y, xa, xb, sums); break;
    default: FloatPlacements<DF, true>(df, w, y, xa, xb, sums); break;
    }
}

bool SumPlacementRow(const QvFindVectorRows& w, int32_t y, int32_t xa, int32_t xb, double* sums) {
    static_assert(2 * HWY_MAX_BYTES - sizeof(float) <= kRoomBytes, "rows have room for a group of vectors past either end");
    if (w.narrow)
        SumRow(hn::CappedTag<uint8_t, 16>(), hn::CappedTag<float, 4>(), w, y, xa, xb, sums);
    else
        SumRow(hn::ScalableTag<uint8_t>(), hn::ScalableTag<float>(), w, y, xa, xb, sums);
    return true;
}
#endif
}  // namespace HWY_NAMESPACE
}  // namespace QvFind
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
namespace QvFind {
HWY_EXPORT(SumPlacementRow);
HWY_EXPORT(SumRowBoundDifferences);

bool sumPlacementRowInVectors(const QvFindVectorRows& rows, int32_t y, int32_t xa, int32_t xb, double* sums) {
    return HWY_DYNAMIC_DISPATCH(SumPlacementRow)(rows, y, xa, xb, sums);
}

void sumRowBoundDifferences(const int32_t* rowSums, ptrdiff_t stride, const int32_t* matchRowSums, int32_t rows,
                            int32_t count, int32_t* bounds) {
    HWY_DYNAMIC_DISPATCH(SumRowBoundDifferences)(rowSums, stride, matchRowSums, rows, count, bounds);
}
}  // namespace QvFind
#endif  // HWY_ONCE
