// Find.Region: the regions of a picture close to a luminance, as lists a script reads.
#include <algorithm>

#include "Errors/QvSystemErrors.h"
#include "Images/Qv2DValue.h"
#include "Library/QvBuiltinNamespaces.h"
#include "Region/QvRegionSearch.h"
#include "Values/QvElementIndex.h"
#include "Values/QvListValue.h"
#include "Values/QvVectorValue.h"

namespace {

int64_t truncated(double coordinate) {
    QvNumberValue number(coordinate);
    return QvTruncatedIndex(&number);
}

int64_t vectorComponent(QvParameterBlock* parameters, const char* name, long index) {
    return truncated(QvParameterBlockGetVectorValue(parameters, name, index));
}

// The rectangle searched, [topleft, bottomright). False when it is empty; one that
// reaches outside the picture raises the range error of the first pixel outside in the
// order the search would meet it (left column and top row first, then the column past
// the right edge, then the row past the bottom).
bool searchedBounds(QvParameterBlock* parameters, const Qv2DValue& source, QvRegionBounds& bounds) {
    const long width = source.GetWidth(), height = source.GetHeight();
    int64_t left = vectorComponent(parameters, "topleft", 0), top = vectorComponent(parameters, "topleft", 1);
    int64_t right = width, bottom = height;
    if (!QvParameterBlockIsDynamicGenerationRequired(parameters, "bottomright")) {
        right = vectorComponent(parameters, "bottomright", 0);
        bottom = vectorComponent(parameters, "bottomright", 1);
    }
    if (right <= left || bottom <= top) return false;
    QvCheckIndexRange(long(left), 0, width - 1);
    QvCheckIndexRange(long(top), 0, height - 1);
    QvCheckIndexRange(long(std::min<int64_t>(right - 1, width)), 0, width - 1);
    QvCheckIndexRange(long(std::min<int64_t>(bottom - 1, height)), 0, height - 1);
    bounds = {int32_t(left), int32_t(top), int32_t(right), int32_t(bottom)};
    return true;
}

QvRegionCriteria criteriaOf(QvParameterBlock* parameters) {
    QvRegionCriteria criteria;
    criteria.value = QvParameterBlockGetNumberValue(parameters, "value");
    criteria.tolerance = QvParameterBlockGetNumberValue(parameters, "tolerance");
    criteria.minArea = QvParameterBlockGetNumberValue(parameters, "min_area");
    criteria.minWidth = truncated(QvParameterBlockGetNumberValue(parameters, "min_width"));
    criteria.minHeight = truncated(QvParameterBlockGetNumberValue(parameters, "min_height"));
    criteria.radius = QvParameterBlockGetNumberValue(parameters, "radius");
    criteria.edgeValue = QvParameterBlockGetNumberValue(parameters, "edge_value");
    criteria.keepPoints = QvParameterBlockGetBooleanValue(parameters, "list_points") ||
                          QvParameterBlockGetBooleanValue(parameters, "return_frame");
    return criteria;
}

QvValue* pointList(const std::vector<QvRegionPoint>& points) {
    QvListValue* list = QvListCreate();
    for (const QvRegionPoint& point : points) QvListAppend(list, new QvVectorValue({double(point.x), double(point.y)}));
    return list;
}

// The region's pixels on zeros, in the smallest rectangle of the searched one that
// holds the region grown by the fill's reach; its top-left corner goes first.
void appendCutOut(QvListValue* entry, const Qv2DValue& source, const QvRegion& region, QvRegionBounds bounds,
                  int32_t reach) {
    int64_t left = std::max<int64_t>(int64_t(region.minX) - reach, bounds.left);
    int64_t top = std::max<int64_t>(int64_t(region.minY) - reach, bounds.top);
    int64_t right = std::min<int64_t>(int64_t(region.maxX) + reach + 1, bounds.right);
    int64_t bottom = std::min<int64_t>(int64_t(region.maxY) + reach + 1, bounds.bottom);
    Qv2DValue* cutOut = QvNewPicture(source.GetType(), int32_t(right - left), int32_t(bottom - top));
    QvListAppend(entry, new QvVectorValue({double(left), double(top)}));
    QvListAppend(entry, cutOut);
    QvWithPixel(source.pixelClass(), [&](auto p) {
        using P = decltype(p);
        QvRegionSearch::copyPoints<P>(source.pixels().plane<P>(), cutOut->pixels().plane<P>(), region.points,
                                      int32_t(left), int32_t(top));
    });
}

}  // namespace

namespace QvFindNamespace {

// A list of regions, each {centre x, centre y, area[, points][, {left, top}, cut-out]}.
QvValue* Region(QvPluginErrorBlock*, QvParameterBlock* parameters) {
    const Qv2DValue& source = *QvAsPicture(QvParameterBlockGetValue(parameters, "source"));
    QvRegionCriteria criteria = criteriaOf(parameters);
    bool listPoints = QvParameterBlockGetBooleanValue(parameters, "list_points");
    bool returnFrame = QvParameterBlockGetBooleanValue(parameters, "return_frame");
    QvRegionBounds bounds;
    std::vector<QvRegion> regions;
    if (searchedBounds(parameters, source, bounds))
        regions = QvWithPixel(source.pixelClass(), [&](auto p) {
            using P = decltype(p);
            return QvRegionSearch::findRegions<P>(source.pixels().plane<P>(), bounds, criteria);
        });
    int32_t reach = QvRegionSearch::reachOf(criteria.radius, source.GetWidth(), source.GetHeight());
    QvListValue* result = QvListCreate();
    for (const QvRegion& region : regions) {
        QvListValue* entry = QvListCreate();
        QvListAppend(result, entry);
        QvListAppend(entry, QvNumberCreate(region.centreX));
        QvListAppend(entry, QvNumberCreate(region.centreY));
        QvListAppend(entry, QvNumberCreate(region.area));
        if (listPoints) QvListAppend(entry, pointList(region.points));
        if (returnFrame) appendCutOut(entry, source, region, bounds, reach);
    }
    return result;
}

}  // namespace QvFindNamespace
