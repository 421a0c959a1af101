#pragma once
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "Interpreter/QvValueContainer.h"

// Variables by name: 211 buckets indexed by the identifier hash, each a chain of
// entries that own one reference to their container. Entries come from blocks of 20
// and freed entries are reused first; iteration goes block by block, newest first.
class QvValueMap {
public:
    static constexpr unsigned kBuckets = 211;
    static constexpr size_t kEntriesPerBlock = 20;
    using ContainerRef = qv_auto_value<QvValueContainer>;

    QvValueMap();
    ~QvValueMap();
    QvValueMap(const QvValueMap&) = delete;
    QvValueMap& operator=(const QvValueMap&) = delete;

    QvValueContainer* find(unsigned hash, const char* name) const {
        for (Entry* e = buckets_[hash % kBuckets]; e; e = e->next)
            if (std::strcmp(e->name.c_str(), name) == 0) return e->container.get();
        return nullptr;
    }
    QvValueContainer* insert(unsigned hash, const std::string& name, ContainerRef container);
    // Takes the entry out and detaches its container; the returned handle keeps it
    // alive for the caller.
    ContainerRef remove(unsigned hash, const char* name);
    // Removes (and detaches) every entry for which keep(name, container) is false.
    template <class Keep>
    void removeUnless(Keep keep);
    // Calls visit(name, container) for every entry.
    template <class Visit>
    void forEach(Visit visit) const;
    void clear();

    bool empty() const { return count_ == 0; }
    size_t size() const { return count_; }

private:
    struct Entry {
        Entry* next = nullptr;
        unsigned hash = 0;
        std::string name;
        ContainerRef container;
        bool used = false;
    };

    Entry* allocate();
    void release(Entry* entry);
    Entry** link(unsigned hash, const char* name);

    std::vector<std::unique_ptr<Entry[]>> blocks_;
    Entry* freeList_ = nullptr;
    Entry* buckets_[kBuckets];
    size_t count_ = 0;
};

template <class Visit>
void QvValueMap::forEach(Visit visit) const {
    for (auto block = blocks_.rbegin(); block != blocks_.rend(); ++block)
        for (size_t i = 0; i < kEntriesPerBlock; ++i) {
            const Entry& e = (*block)[i];
            if (e.used) visit(e.name, e.container.get());
        }
}

// Walks the entries rather than the buckets: a function's small maps are purged on
// every call.
template <class Keep>
void QvValueMap::removeUnless(Keep keep) {
    if (count_ == 0) return;
    std::vector<std::pair<unsigned, std::string>> doomed;
    for (const std::unique_ptr<Entry[]>& block : blocks_)
        for (size_t i = 0; i < kEntriesPerBlock; ++i) {
            const Entry& e = block[i];
            if (e.used && !keep(e.name, e.container.get())) doomed.emplace_back(e.hash, e.name);
        }
    for (const auto& [hash, name] : doomed) remove(hash, name.c_str());
}
