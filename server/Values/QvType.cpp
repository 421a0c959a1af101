#include "Values/QvType.h"

#include <algorithm>

#include "Errors/QvErrors.h"

namespace {
const char* const typeNames[QV_TYPE_COUNT] = {
    "number", "boolean", "vector", nullptr,   nullptr,        "color",      "videosource", "movie", "text",
    "date",   "list",    "video_output", "frame_mono", "frame", "image_mono", "image",       "undefined"};
}

const char* QvTypeNameOrNull(QvTypeEnum type) noexcept {
    return type >= 0 && type < QV_TYPE_COUNT ? typeNames[type] : nullptr;
}

const char* QvTypeName(QvTypeEnum type) {
    const char* name = QvTypeNameOrNull(type);
    if (!name)
        QvError("Unknown type");
    return name;
}

QvTypeEnum QvTypeFromName(const std::string& name) {
    for (int code = 0; code < QV_UNDEFINED; ++code)
        if (typeNames[code] && name == typeNames[code])
            return static_cast<QvTypeEnum>(code);
    return QV_UNDEFINED;
}

QvType::QvType() { std::fill(std::begin(members_), std::end(members_), false); }

QvType::QvType(QvTypeEnum type) : QvType() {
    if (isCode(type))
        members_[type] = true;
}

QvType QvType::QvTypeAny() {
    QvType all;
    std::fill(std::begin(all.members_), std::end(all.members_), true);
    return all;
}

QvType QvType::operator|(QvTypeEnum type) {
    if (isCode(type))
        members_[type] = true;
    return *this;
}

QvType QvType::operator|(const QvType& other) const {
    QvType united;
    for (int code = 0; code < QV_TYPE_COUNT; ++code)
        united.members_[code] = members_[code] || other.members_[code];
    return united;
}

bool QvType::isAny() const { return std::all_of(std::begin(members_), std::end(members_), [](bool m) { return m; }); }

bool QvType::isEmpty() const { return std::none_of(std::begin(members_), std::end(members_), [](bool m) { return m; }); }

void QvType::addByName(const std::string& name) {
    QvTypeEnum type = QvTypeFromName(name);
    if (type == QV_UNDEFINED)
        QvError("Unknown type");
    members_[type] = true;
}

std::string QvType::asText() const {
    if (isAny())
        return "any";
    std::string names;
    int count = 0;
    for (int code = 0; code < QV_TYPE_COUNT; ++code) {
        if (!members_[code])
            continue;
        if (count++)
            names += " | ";
        names += QvTypeName(static_cast<QvTypeEnum>(code));
    }
    if (count == 0)
        return "none";
    return count == 1 ? names : "(" + names + ")";
}

QvType operator|(QvTypeEnum a, QvTypeEnum b) { return QvType(a) | b; }
