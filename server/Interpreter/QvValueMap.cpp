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

// The slots of an empty map are all null already: a map reused for the same layout
// keeps them.
void QvValueMap::adoptLayout(const QvScopeLayout* layout) {
    layout_ = layout;
    enclosed_ = layout && layout->enclosed();
    slots_.assign(layout ? layout->size() : 0, nullptr);
    spares_.clear();
    spares_.resize(slots_.size());
}

void QvValueMap::release(Entry* entry) {
    if (entry->slot != QvScopeLayout::kAbsent && slots_[entry->slot] == entry->container.get())
        slots_[entry->slot] = nullptr;
    entry->slot = QvScopeLayout::kAbsent;
    entry->used = false;
    entry->next = freeList_;
    freeList_ = entry;
}

QvValueMap::Entry** QvValueMap::link(unsigned hash, const char* name) {
    Entry** at = &buckets_[hash % kBuckets];
    while (*at && std::strcmp((*at)->container->name().c_str(), name) != 0) at = &(*at)->next;
    return at;
}

QvValueContainer* QvValueMap::insert(unsigned hash, ContainerRef container) {
    int slot = layout_ ? layout_->find(hash, container->name().c_str()) : QvScopeLayout::kAbsent;
    if (enclosed_ && slot != QvScopeLayout::kAbsent) return settle(slot, std::move(container));
    Entry* entry = allocate();
    entry->container = std::move(container);
    return link(entry, hash, slot);
}

QvValueContainer* QvValueMap::insert(const AST* identifier, ContainerRef container) {
    if (identifier->layout() != layout_ || !layout_) return insert(identifier->hash(), std::move(container));
    if (enclosed_) return settle(static_cast<int>(identifier->slot()), std::move(container));
    Entry* entry = allocate();
    entry->container = std::move(container);
    return link(entry, identifier->hash(), static_cast<int>(identifier->slot()));
}

QvValueContainer* QvValueMap::link(Entry* entry, unsigned hash, int slot) {
    entry->hash = hash;
    entry->slot = slot;
    if (slot != QvScopeLayout::kAbsent) slots_[slot] = entry->container.get();
    Entry*& head = buckets_[hash % kBuckets];
    entry->next = head;
    head = entry;
    ++entryCount_;
    return entry->container.get();
}

// Residents never refer to one another (their scope makes no references), so each can
// be detached and let go in one pass.
bool QvValueMap::clearResidents() {
    bool emptiedOthers = false;
    for (size_t slot = 0; residentCount_ > 0; ++slot) {
        QvValueContainer* resident = slots_[slot];
        if (!resident) continue;
        slots_[slot] = nullptr;
        --residentCount_;
        if (resident->holderCount() == 1) {
            emptiedOthers |= resident->detachKeepingNumber();
            continue;
        }
        emptiedOthers |= resident->detach();
        spares_[slot].reset();
    }
    return emptiedOthers;
}

QvValueContainer* QvValueMap::settle(int slot, ContainerRef container) {
    if (QvValueContainer* previous = slots_[slot]) remove(AST::hashOf(previous->name().c_str()), previous->name().c_str());
    spares_[slot] = std::move(container);
    return fileKept(static_cast<uint32_t>(slot));
}

void QvValueMap::keepSpare(int slot, ContainerRef container) {
    if (slot != QvScopeLayout::kAbsent && container->holderCount() == 1 && container->kind() == QV_CONTAINER_VARIABLE)
        spares_[slot] = std::move(container);
}

QvValueMap::ContainerRef QvValueMap::remove(unsigned hash, const char* name) {
    if (enclosed_) {
        int slot = layout_->find(hash, name);
        if (slot != QvScopeLayout::kAbsent && slots_[slot]) {
            ContainerRef container = std::move(spares_[slot]);
            slots_[slot] = nullptr;
            --residentCount_;
            container->detach();
            return container;
        }
    }
    Entry** at = link(hash, name);
    Entry* entry = *at;
    if (!entry) return {};
    *at = entry->next;
    int slot = entry->slot;
    release(entry);
    if (slot != QvScopeLayout::kAbsent && !slots_[slot]) slots_[slot] = find(hash, name);
    ContainerRef container = std::move(entry->container);
    --entryCount_;
    container->detach();
    return container;
}

// Containers are detached first, all of them, so that none is left referring to one
// that is already gone. The passes over the entries stop at the last one in use.
bool QvValueMap::clearEntries() {
    bool emptiedOthers = false;
    size_t left = entryCount_;
    for (auto block = blocks_.rbegin(); left > 0 && block != blocks_.rend(); ++block)
        for (size_t i = 0; left > 0 && i < kEntriesPerBlock; ++i)
            if ((*block)[i].used) {
                emptiedOthers |= (*block)[i].container->detach();
                --left;
            }
    if (residentCount_ > 0)
        for (QvValueContainer* resident : slots_)
            if (resident) emptiedOthers |= resident->detach();
    for (auto block = blocks_.begin(); entryCount_ > 0 && block != blocks_.end(); ++block)
        for (size_t i = 0; entryCount_ > 0 && i < kEntriesPerBlock; ++i) {
            Entry& entry = (*block)[i];
            if (!entry.used) continue;
            buckets_[entry.hash % kBuckets] = nullptr;
            int slot = entry.slot;
            release(&entry);
            keepSpare(slot, std::move(entry.container));
            --entryCount_;
        }
    for (size_t slot = 0; residentCount_ > 0 && slot < slots_.size(); ++slot)
        if (slots_[slot]) {
            slots_[slot] = nullptr;
            if (spares_[slot]->holderCount() != 1) spares_[slot].reset();
            --residentCount_;
        }
    return emptiedOthers;
}
