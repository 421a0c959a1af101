#include "Interpreter/QvArgumentBlock.h"

#include <algorithm>

namespace {
std::vector<QvArgumentBlock*>& chain() {
    thread_local std::vector<QvArgumentBlock*> blocks;
    return blocks;
}
}

QvArgumentBlock::QvArgumentBlock(size_t entryCount) : entries_(entryCount) { chain().push_back(this); }

QvArgumentBlock::~QvArgumentBlock() {
    std::vector<QvArgumentBlock*>& blocks = chain();
    auto found = std::find(blocks.rbegin(), blocks.rend(), this);
    if (found != blocks.rend()) blocks.erase(std::next(found).base());
}

void QvArgumentBlock::forgetContainer(const QvValueContainer* container) {
    std::vector<QvArgumentBlock*>& blocks = chain();
    for (auto block = blocks.rbegin(); block != blocks.rend(); ++block)
        for (QvArgumentSlot& entry : (*block)->entries_)
            if (entry.kind == QvArgumentSlot::Reference && entry.referee == container) entry.makeEmpty();
}

void QvArgumentBlock::resetChain() { chain().clear(); }

size_t QvArgumentBlock::activeCount() { return chain().size(); }
