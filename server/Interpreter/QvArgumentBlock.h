#pragma once
#include <vector>

#include "Interpreter/QvArgumentSlot.h"
#include "QvExport.h"

// The arguments of one call in progress. While it lives it is linked into its thread's
// chain of active blocks, so that deleting a variable can empty every entry that
// still refers to it. The chain is per thread: each script runs on one thread, and a
// new run on that thread starts with an empty chain.
class QV_EXPORT QvArgumentBlock {
public:
    explicit QvArgumentBlock(size_t entryCount);
    virtual ~QvArgumentBlock();
    QvArgumentBlock(const QvArgumentBlock&) = delete;
    QvArgumentBlock& operator=(const QvArgumentBlock&) = delete;

    std::vector<QvArgumentSlot>& entries() { return entries_; }

    // Empties every reference entry to the container, newest block first.
    static void forgetContainer(const QvValueContainer* container);
    // Forgets every block of this thread's chain (the start of a run).
    static void resetChain();
    static size_t activeCount();

private:
    std::vector<QvArgumentSlot> entries_;
};
