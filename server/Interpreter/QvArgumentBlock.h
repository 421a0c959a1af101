#pragma once
#include <cstddef>
#include <memory>

#include "Interpreter/QvArgumentSlot.h"
#include "QvExport.h"

// The arguments of one call in progress. A block that refers to a variable is linked
// into its thread's chain of active blocks, so that deleting the variable can empty
// every entry that still refers to it; entries take references through setReference
// for that reason. A block that only holds values has nothing to empty and stays off
// the chain. The chain is per thread: each script runs on one thread, and a new run on
// that thread starts with an empty chain.
// A block is made for every call, so the entries of a short parameter list live
// inside the block itself (and only as many as the list has are made); only longer
// lists take memory from the heap.
class QV_EXPORT QvArgumentBlock {
public:
    explicit QvArgumentBlock(size_t entryCount);
    virtual ~QvArgumentBlock();
    QvArgumentBlock(const QvArgumentBlock&) = delete;
    QvArgumentBlock& operator=(const QvArgumentBlock&) = delete;

    QvArgumentSlot* entries() { return entries_; }
    const QvArgumentSlot* entries() const { return entries_; }
    size_t size() const { return count_; }
    // Entry i becomes a reference to the variable.
    void setReference(size_t i, QvValueContainer* variable);

    // Empties every reference entry to the container.
    static void forgetContainer(const QvValueContainer* container);
    // Forgets every block of this thread's chain (the start of a run).
    static void resetChain();

private:
    static constexpr size_t kInlineEntries = 6;

    void link();

    alignas(QvArgumentSlot) unsigned char inline_[kInlineEntries * sizeof(QvArgumentSlot)];
    std::unique_ptr<QvArgumentSlot[]> heap_;
    QvArgumentSlot* entries_;
    size_t count_;
    bool linked_ = false;
    QvArgumentBlock* newer_ = nullptr;
    QvArgumentBlock* older_ = nullptr;
};
