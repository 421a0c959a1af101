#pragma once
#include <cstddef>
#include <memory>

#include "Interpreter/QvArgumentSlot.h"
#include "QvExport.h"

// The arguments of one call in progress. While it lives it is linked into its thread's
// chain of active blocks, so that deleting a variable can empty every entry that
// still refers to it. The chain is per thread: each script runs on one thread, and a
// new run on that thread starts with an empty chain.
// A block is made for every call, so the entries of a short parameter list live
// inside the block itself; only longer lists take memory from the heap.
class QV_EXPORT QvArgumentBlock {
public:
    explicit QvArgumentBlock(size_t entryCount);
    virtual ~QvArgumentBlock();
    QvArgumentBlock(const QvArgumentBlock&) = delete;
    QvArgumentBlock& operator=(const QvArgumentBlock&) = delete;

    QvArgumentSlot* entries() { return entries_; }
    const QvArgumentSlot* entries() const { return entries_; }
    size_t size() const { return count_; }

    // Empties every reference entry to the container, newest block first.
    static void forgetContainer(const QvValueContainer* container);
    // Forgets every block of this thread's chain (the start of a run).
    static void resetChain();
    static size_t activeCount();

private:
    static constexpr size_t kInlineEntries = 6;

    QvArgumentSlot inline_[kInlineEntries];
    std::unique_ptr<QvArgumentSlot[]> heap_;
    QvArgumentSlot* entries_;
    size_t count_;
};
