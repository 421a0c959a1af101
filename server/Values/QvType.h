#pragma once
#include <cstdint>
#include <string>

#include "QvExport.h"

// Type codes; their numbers are stored in value files and must never change.
// Codes 3 and 4 have no name and no class but keep their place in every table.
enum QvTypeEnum : int32_t {
    QV_NUMBER = 0,
    QV_BOOLEAN = 1,
    QV_VECTOR = 2,
    QV_UNNAMED_3 = 3,
    QV_UNNAMED_4 = 4,
    QV_COLOR = 5,
    QV_VIDEOSOURCE = 6,
    QV_MOVIE = 7,
    QV_TEXT = 8,
    QV_DATE = 9,
    QV_LIST = 10,
    QV_VIDEO_OUTPUT = 11,
    QV_FRAME_MONO = 12,
    QV_FRAME = 13,
    QV_IMAGE_MONO = 14,
    QV_IMAGE = 15,
    QV_UNDEFINED = 16
};

constexpr int QV_TYPE_COUNT = 17;

// The printed name of a type code; raises "Unknown type" for 3, 4 and codes outside 0..16.
QV_EXPORT const char* QvTypeName(QvTypeEnum type);
// The same lookup without raising: null for codes that have no name.
QV_EXPORT const char* QvTypeNameOrNull(QvTypeEnum type) noexcept;
// Exact, case-sensitive lookup; anything unknown (including "undefined") gives QV_UNDEFINED.
QV_EXPORT QvTypeEnum QvTypeFromName(const std::string& name);

// A set of type codes plus a by-reference mark (used by plug-in signatures).
// The mark takes no part in the set operations.
class QV_EXPORT QvType {
public:
    QvType();
    QvType(QvTypeEnum type);  // NOLINT: a single code converts to a set implicitly
    static QvType QvTypeAny();

    // Adds type to this set and returns a copy of the updated set.
    QvType operator|(QvTypeEnum type);
    // The union of both sets; the receiver is unchanged and the result is not by reference.
    QvType operator|(const QvType& other) const;

    bool contains(QvTypeEnum type) const { return isCode(type) && members_[type]; }
    bool isAny() const;
    bool isEmpty() const;
    // Raises "Unknown type" when the name does not name a type.
    void addByName(const std::string& name);

    bool getReferenceFlag() const { return byReference_; }
    void setReferenceFlag(bool byReference) { byReference_ = byReference; }

    // "any", "none", a single name, or "(name | name ...)".
    std::string asText() const;

private:
    static bool isCode(QvTypeEnum type) { return type >= 0 && type < QV_TYPE_COUNT; }

    bool members_[QV_TYPE_COUNT];
    bool byReference_ = false;
};

QV_EXPORT QvType operator|(QvTypeEnum a, QvTypeEnum b);
