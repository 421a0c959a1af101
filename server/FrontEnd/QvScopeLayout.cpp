#include "FrontEnd/QvScopeLayout.h"

#include <cstring>

#include "FrontEnd/AST.h"

QvScopeLayout::QvScopeLayout() : buckets_(AST::kHashBuckets + 1, kAbsent) {}

uint32_t QvScopeLayout::add(unsigned hash, const char* name) {
    int found = find(hash, name);
    if (found != kAbsent) return static_cast<uint32_t>(found);
    int& head = buckets_[hash % buckets_.size()];
    names_.push_back({name, head});
    head = static_cast<int>(names_.size() - 1);
    return static_cast<uint32_t>(head);
}

int QvScopeLayout::find(unsigned hash, const char* name) const {
    for (int i = buckets_[hash % buckets_.size()]; i != kAbsent; i = names_[i].next)
        if (std::strcmp(names_[i].text.c_str(), name) == 0) return i;
    return kAbsent;
}
