#include "Fractal/QvColourTables.h"

#include <algorithm>
#include <cmath>

namespace QvFractal {

namespace {

// One channel of the rainbow at position t of its cycle: rising over the first sixth,
// full to one half, falling to two thirds, then off.
double rainbowChannel(double t) {
    if (t < 1.0 / 6.0) return 6.0 * t;
    if (t < 0.5) return 1.0;
    if (t <= 2.0 / 3.0) return 4.0 - 6.0 * t;
    return 0.0;
}

uint32_t channelByte(double channel, double saturation) {
    double level = (channel * saturation + 1.0 - saturation) * 255.9;
    if (!(level > 0.0)) return 0;
    return level >= 255.0 ? 255u : uint32_t(level);
}

}  // namespace

uint32_t rainbow(double hue, double saturation) {
    uint32_t red = channelByte(rainbowChannel(std::fmod(hue + 1.0 / 3.0, 1.0)), saturation);
    uint32_t green = channelByte(rainbowChannel(std::fmod(hue, 1.0)), saturation);
    uint32_t blue = channelByte(rainbowChannel(std::fmod(hue + 2.0 / 3.0, 1.0)), saturation);
    return 0xFF000000u | red << 16 | green << 8 | blue;
}

}  // namespace QvFractal

using QvFractal::kInsideColour;
using QvFractal::rainbow;

namespace {

// Counts past the end of a fading table: white, fully transparent.
constexpr uint32_t kFaded = 0x00FFFFFFu;

// How many entries counts from `first` to `depth` can reach in a table of `length`.
size_t reachableEntries(int64_t first, int64_t length, int depth) {
    return size_t(std::clamp<int64_t>(depth - first + 1, 0, length));
}

}  // namespace

ColourTableCycle::ColourTableCycle(uint32_t minimumCount, int64_t colours, int depth)
    : ColourTable(minimumCount), colours_(colours) {
    entries_.resize(std::max<size_t>(reachableEntries(1, colours, depth), 1));
    for (size_t i = 0; i < entries_.size(); ++i) entries_[i] = rainbow(double(i) / double(colours), 1.0);
}

uint32_t ColourTableCycle::lookup(int count) const {
    if (count < 0) return kInsideColour;
    int64_t index = (int64_t(count) - 1) % colours_;
    if (index < 0) index += colours_;
    return entries_[std::min(size_t(index), entries_.size() - 1)];
}

ColourTableSpiral::ColourTableSpiral(uint32_t minimumCount, int64_t colours, double winding, int depth)
    : ColourTable(minimumCount), length_(int64_t(std::min(std::trunc(double(colours) * winding), 9e18))) {
    entries_.resize(reachableEntries(minimumCount, length_, depth));
    for (size_t j = 0; j < entries_.size(); ++j)
        entries_[j] = rainbow((double(minimumCount) + double(j) - 1.0) / double(colours),
                              1.0 - double(j + 1) / double(length_));
}

uint32_t ColourTableSpiral::lookup(int count) const {
    if (count < 0) return kInsideColour;
    int64_t index = std::max<int64_t>(int64_t(count) - minimumCount(), 0);
    if (index >= length_ || entries_.empty()) return kFaded;
    return entries_[std::min(size_t(index), entries_.size() - 1)];
}

// Entry i has the hue (1 - e^(-i gradient)) x 0.75 / (1 - e^(-(colours - 1) gradient));
// the first entry's hue is 0, also when there is only one colour.
ColourTableLog::ColourTableLog(uint32_t first, int64_t colours, double gradient, int depth) : ColourTable(first) {
    double scale = 0.75 / (1.0 - std::exp(-(double(colours - 1) * gradient)));
    entries_.resize(std::max<size_t>(reachableEntries(first, colours, depth), 1));
    entries_[0] = rainbow(0.0, 1.0);
    for (size_t i = 1; i < entries_.size(); ++i)
        entries_[i] = rainbow((1.0 - std::exp(-(double(i) * gradient))) * scale, 1.0);
}

uint32_t ColourTableLog::lookup(int count) const {
    if (count < 0) return kInsideColour;
    int64_t index = std::clamp<int64_t>(int64_t(count) - minimumCount(), 0, int64_t(entries_.size()) - 1);
    return entries_[size_t(index)];
}
