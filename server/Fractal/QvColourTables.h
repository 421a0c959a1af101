#pragma once
#include <cstdint>
#include <vector>

// The colours of escape counts in fractal pictures, as 32-bit ARGB words. Each table
// holds the entries the counts 1 .. its depth can reach, however many colours it is
// asked for; every lookup of -1 (a point inside the set) is opaque black.
namespace QvFractal {

constexpr uint32_t kInsideColour = 0xFF000000u;

// The rainbow colour of a hue (channels rise and fall a third of the circle apart) at
// a saturation (1 full colour, 0 white); opaque.
uint32_t rainbow(double hue, double saturation);

}  // namespace QvFractal

class ColourTable {
public:
    explicit ColourTable(uint32_t minimumCount) : minimumCount_(minimumCount) {}
    virtual ~ColourTable() = default;
    ColourTable(const ColourTable&) = delete;
    ColourTable& operator=(const ColourTable&) = delete;

    // The colour of an escape count (1 .. depth), or of -1 for a point inside the set.
    virtual uint32_t lookup(int count) const = 0;
    uint32_t minimumCount() const { return minimumCount_; }

protected:
    std::vector<uint32_t> entries_;

private:
    uint32_t minimumCount_;
};

// `colours` hues around the circle, repeated: count k takes entry (k - 1) mod colours.
class ColourTableCycle : public ColourTable {
public:
    ColourTableCycle(uint32_t minimumCount, int64_t colours, int depth);
    uint32_t lookup(int count) const override;

private:
    int64_t colours_;
};

// From the least count present (the minimum), hues turning once every `colours` counts while fading
// to white over colours x winding counts; counts beyond are transparent white.
class ColourTableSpiral : public ColourTable {
public:
    ColourTableSpiral(uint32_t minimumCount, int64_t colours, double winding, int depth);
    uint32_t lookup(int count) const override;

private:
    int64_t length_;  // trunc(colours x winding) entries in all
};

// Hues from 0 to 0.75 on a logarithmic scale over `colours` counts from the first one
// (the minimum it is built for); counts beyond take the last hue.
class ColourTableLog : public ColourTable {
public:
    ColourTableLog(uint32_t first, int64_t colours, double gradient, int depth);
    uint32_t lookup(int count) const override;
};
