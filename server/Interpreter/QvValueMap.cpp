#include "Interpreter/QvValueMap.h"

QvValueMap::QvValueMap() { std::fill(std::begin(buckets_), std::end(buckets_), nullptr); }

QvValueMap::~QvValueMap() { clear(); }

QvValueMap::Entry* QvValueMap::allocate() {
    if (!freeList_) {
        blocks_.push_back(std::make_unique<Entry[]>(kEntriesPerBlock));
        Entry* block = blocks_.back().get();
        for (size_t i = kEntriesPerBlock; i-- > 0;) {
            block[i].next = freeList_;
            freeList_ = &block[i];
        }
    }
    Entry* entry = freeList_;
    freeList_ = entry->next;
    entry->used = true;
    return entry;
}

void QvValueMap::release(Entry* entry) {
    entry->used = false;
    entry->name.clear();
    entry->next = freeList_;
    freeList_ = entry;
}

QvValueMap::Entry** QvValueMap::link(unsigned hash, const char* name) {
    Entry** at = &buckets_[hash % kBuckets];
    while (*at && std::strcmp((*at)->name.c_str(), name) != 0) at = &(*at)->next;
    return at;
}

QvValueContainer* QvValueMap::insert(unsigned hash, const std::string& name, ContainerRef container) {
    Entry* entry = allocate();
    entry->hash = hash;
    entry->name = name;
    entry->container = std::move(container);
    Entry*& head = buckets_[hash % kBuckets];
    entry->next = head;
    head = entry;
    ++count_;
    return entry->container.get();
}

QvValueMap::ContainerRef QvValueMap::remove(unsigned hash, const char* name) {
    Entry** at = link(hash, name);
    Entry* entry = *at;
    if (!entry) return {};
    *at = entry->next;
    ContainerRef container = std::move(entry->container);
    release(entry);
    --count_;
    container->detach();
    return container;
}

// Containers are detached first, all of them, so that none is left referring to one
// that is already gone.
void QvValueMap::clear() {
    if (count_ == 0) return;
    forEach([](const std::string&, QvValueContainer* c) { c->detach(); });
    for (const std::unique_ptr<Entry[]>& block : blocks_)
        for (size_t i = 0; i < kEntriesPerBlock; ++i)
            if (block[i].used) {
                buckets_[block[i].hash % kBuckets] = nullptr;
                block[i].container.reset();
                release(&block[i]);
            }
    count_ = 0;
}
