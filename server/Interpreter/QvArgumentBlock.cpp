#include "Interpreter/QvArgumentBlock.h"

#include <algorithm>
#include <vector>

namespace {
std::vector<QvArgumentBlock*>& chain() {
    thread_local std::vector<QvArgumentBlock*> blocks;
    return blocks;
}
}

QvArgumentBlock::QvArgumentBlock(size_t entryCount)
    : heap_(entryCount > kInlineEntries ? new QvArgumentSlot[entryCount] : nullptr),
      entries_(heap_ ? heap_.get() : inline_),
      count_(entryCount) {
    chain().push_back(this);
}

// Blocks end in the reverse order of their making, so the search ends at once.
QvArgumentBlock::~QvArgumentBlock() {
    std::vector<QvArgumentBlock*>& blocks = chain();
    auto found = std::find(blocks.rbegin(), blocks.rend(), this);
    if (found != blocks.rend()) blocks.erase(std::next(found).base());
}

void QvArgumentBlock::forgetContainer(const QvValueContainer* container) {
    std::vector<QvArgumentBlock*>& blocks = chain();
    for (auto block = blocks.rbegin(); block != blocks.rend(); ++block)
        for (size_t i = 0; i < (*block)->count_; ++i) {
            QvArgumentSlot& entry = (*block)->entries_[i];
            if (entry.kind == QvArgumentSlot::Reference && entry.referee == container) entry.makeEmpty();
        }
}

void QvArgumentBlock::resetChain() { chain().clear(); }

size_t QvArgumentBlock::activeCount() { return chain().size(); }
