#pragma once
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "FrontEnd/AST.h"
#include "FrontEnd/QvScopeLayout.h"
#include "Interpreter/QvValueContainer.h"

// Variables by name: 211 buckets indexed by the identifier hash, each a chain of
// entries that own one reference to their container; an entry's name is its
// container's. Entries come from blocks of 20
// and freed entries are reused first; iteration goes block by block, newest first.
// A map may also be given the layout of its scope: each variable whose name the
// layout knows is then found at the layout's index too, which is how identifiers
// bound to that layout reach their variables without a search. When the layout is
// enclosed (nothing outside the scope's own code can reach its variables, so nobody
// can see the order they are filed in), the map keeps those variables at their
// indexes only, as residents without entries; iteration visits them after the entries.
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
        if (enclosed_) {
            int slot = layout_->find(hash, name);
            if (slot != QvScopeLayout::kAbsent) return slots_[slot];
        }
        for (Entry* e = buckets_[hash % kBuckets]; e; e = e->next)
            if (std::strcmp(e->container->name().c_str(), name) == 0) return e->container.get();
        return nullptr;
    }
    // The variable an identifier names: by its index when it is bound to this map's
    // layout, else by its name.
    QvValueContainer* find(const AST* identifier) const {
        if (identifier->layout() == layout_ && layout_) return slots_[identifier->slot()];
        return find(identifier->hash(), identifier->getText());
    }
    // The variable at the index a node is bound to when that is this map's layout;
    // null otherwise, or when there is none (find then answers as well).
    QvValueContainer* atBinding(const AST* node) const {
        return node->layout() == layout_ && layout_ ? slots_[node->slot()] : nullptr;
    }
    // The variable at an index of the map's layout, or null.
    QvValueContainer* atSlot(uint32_t slot) const { return slots_[slot]; }
    // Only while the map is empty.
    void useLayout(const QvScopeLayout* layout) {
        if (layout != layout_) adoptLayout(layout);
    }
    // A container that clear() kept for the identifier's variable, detached, or null:
    // a container of a variable at a layout index that nobody else held is kept for the
    // next variable at that index (a function's next call), which has the same name.
    ContainerRef takeSpare(const AST* identifier) {
        if (identifier->layout() != layout_ || !layout_ || slots_[identifier->slot()]) return nullptr;
        return std::move(spares_[identifier->slot()]);
    }
    const QvScopeLayout* layout() const { return layout_; }
    // Whether the identifier's variable lives here as a resident (see above).
    bool residesHere(const AST* identifier) const { return enclosed_ && identifier->layout() == layout_; }
    // Makes the identifier's variable, which must not exist yet and reside here, holding
    // the value (undefined when empty), in the container kept at its index if any.
    QvValueContainer* addResident(const AST* identifier, QvValueRef value, QvParser* session) {
        ContainerRef& kept = spares_[identifier->slot()];
        if (kept)
            kept->holdFirstValue(std::move(value));
        else
            kept = new QvValueContainer(std::move(value), identifier->getText(), QV_CONTAINER_VARIABLE, session);
        return fileKept(identifier->slot());
    }
    // addResident for a variable holding a new number.
    QvValueContainer* addResidentNumber(const AST* identifier, double number, QvParser* session) {
        ContainerRef& kept = spares_[identifier->slot()];
        if (!kept) return addResident(identifier, new QvNumberValue(number), session);
        kept->holdFirstNumber(number);
        return fileKept(identifier->slot());
    }
    // Files the container under its name, whose identifier hash is `hash`.
    QvValueContainer* insert(unsigned hash, ContainerRef container);
    // The same for the variable an identifier names, at its index when it is bound to
    // this map's layout.
    QvValueContainer* insert(const AST* identifier, ContainerRef container);
    // Takes the entry out and detaches its container; the returned handle keeps it
    // alive for the caller.
    ContainerRef remove(unsigned hash, const char* name);
    // Removes (and detaches) every entry for which keep(name, container) is false.
    template <class Keep>
    void removeUnless(Keep keep);
    // Calls visit(name, container) for every entry.
    template <class Visit>
    void forEach(Visit visit) const;
    // Removes (and detaches) every entry; true when that emptied variables elsewhere
    // (references to the removed ones). A map of residents only (a function's, mostly)
    // is cleared the short way.
    bool clear() {
        if (empty()) return false;
        return entryCount_ == 0 ? clearResidents() : clearEntries();
    }

    bool empty() const { return entryCount_ + residentCount_ == 0; }
    size_t size() const { return entryCount_ + residentCount_; }

private:
    struct Entry {
        Entry* next = nullptr;
        unsigned hash = 0;
        ContainerRef container;
        int slot = QvScopeLayout::kAbsent;
        bool used = false;
    };

    void adoptLayout(const QvScopeLayout* layout);
    // Files the container kept at the index as the resident there.
    QvValueContainer* fileKept(uint32_t slot) {
        ++residentCount_;
        return slots_[slot] = spares_[slot].get();
    }
    Entry* allocate();
    QvValueContainer* link(Entry* entry, unsigned hash, int slot);
    QvValueContainer* settle(int slot, ContainerRef container);
    bool clearResidents();
    bool clearEntries();
    // Keeps a removed variable's container for the next variable at its index, when
    // nobody else holds it.
    void keepSpare(int slot, ContainerRef container);
    void release(Entry* entry);
    Entry** link(unsigned hash, const char* name);

    const QvScopeLayout* layout_ = nullptr;
    bool enclosed_ = false;
    // Per layout index: the container of the newest variable of that name (the one
    // find answers for the name), or null when there is none.
    std::vector<QvValueContainer*> slots_;
    // Per layout index: a resident's container while it lives, else a kept one.
    std::vector<ContainerRef> spares_;
    std::vector<std::unique_ptr<Entry[]>> blocks_;
    Entry* freeList_ = nullptr;
    Entry* buckets_[kBuckets];
    size_t entryCount_ = 0;
    size_t residentCount_ = 0;
};

template <class Visit>
void QvValueMap::forEach(Visit visit) const {
    for (auto block = blocks_.rbegin(); block != blocks_.rend(); ++block)
        for (size_t i = 0; i < kEntriesPerBlock; ++i) {
            const Entry& e = (*block)[i];
            if (e.used) visit(e.container->name(), e.container.get());
        }
    if (residentCount_ > 0)
        for (QvValueContainer* resident : slots_)
            if (resident) visit(resident->name(), resident);
}

// Walks the entries rather than the buckets: a function's small maps are purged on
// every call.
template <class Keep>
void QvValueMap::removeUnless(Keep keep) {
    if (empty()) return;
    std::vector<std::string> doomed;
    forEach([&](const std::string& name, QvValueContainer* c) {
        if (!keep(name, c)) doomed.push_back(name);
    });
    for (const std::string& name : doomed) remove(AST::hashOf(name.c_str()), name.c_str());
}
