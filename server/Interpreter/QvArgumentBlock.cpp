#include "Interpreter/QvArgumentBlock.h"

#include <new>

namespace {
// The newest linked block of this thread.
QvArgumentBlock*& newestBlock() {
    thread_local QvArgumentBlock* newest = nullptr;
    return newest;
}
}

QvArgumentBlock::QvArgumentBlock(size_t entryCount)
    : heap_(entryCount > kInlineEntries ? new QvArgumentSlot[entryCount] : nullptr), count_(entryCount) {
    if (heap_) {
        entries_ = heap_.get();
    } else {
        entries_ = reinterpret_cast<QvArgumentSlot*>(inline_);
        for (size_t i = 0; i < count_; ++i) new (&entries_[i]) QvArgumentSlot;
    }
}

QvArgumentBlock::~QvArgumentBlock() {
    if (!heap_)
        for (size_t i = 0; i < count_; ++i) entries_[i].~QvArgumentSlot();
    if (!linked_) return;
    if (older_) older_->newer_ = newer_;
    if (newer_)
        newer_->older_ = older_;
    else
        newestBlock() = older_;
}

void QvArgumentBlock::setReference(size_t i, QvValueContainer* variable) {
    if (!linked_) link();
    entries_[i].makeEmpty();
    entries_[i].referee = variable;
    entries_[i].kind = QvArgumentSlot::Reference;
}

void QvArgumentBlock::link() {
    QvArgumentBlock*& newest = newestBlock();
    older_ = newest;
    if (older_) older_->newer_ = this;
    newest = this;
    linked_ = true;
}

void QvArgumentBlock::forgetContainer(const QvValueContainer* container) {
    for (QvArgumentBlock* block = newestBlock(); block; block = block->older_)
        for (size_t i = 0; i < block->count_; ++i) {
            QvArgumentSlot& entry = block->entries_[i];
            if (entry.kind == QvArgumentSlot::Reference && entry.referee == container) entry.makeEmpty();
        }
}

void QvArgumentBlock::resetChain() { newestBlock() = nullptr; }
