#include "QvSyntaxColouring.h"

#include <algorithm>
#include <QColor>
#include <QTextDocument>

#include "Session/QvParser.h"

namespace {
enum Kind { kEmbedded = 0, kString = 1, kComment = 2, kOperator = 4, kLiteral = 5, kKeyword = 6, kFunction = 7,
            kIdentifier = 8 };

std::vector<QvSyntaxBlock> lexBlocks(const QByteArray& script) {
    QvParser session(script.constData(), long(script.size()), nullptr, false);
    session.LexicalPassOnly();
    std::vector<QvSyntaxBlock> blocks;
    blocks.swap(session.getSyntaxBlockList());
    session.releaseSyntaxBlockList();
    return blocks;
}
}  // namespace

std::vector<QvColourRange> QvLexColourRanges(const QString& text, QvSourceText::Encoding encoding) {
    std::vector<int> charOfByte;
    const QByteArray script = QvSourceText::encode(text, encoding, &charOfByte);
    std::vector<QvColourRange> ranges;
    if (script.isEmpty()) return ranges;
    const std::vector<QvSyntaxBlock> blocks = lexBlocks(script);
    ranges.reserve(blocks.size());
    const int byteCount = int(charOfByte.size());
    int coveredUntil = 0;
    for (const QvSyntaxBlock& block : blocks) {
        const int first = block.begin - 1, last = std::min(block.end, byteCount) - 1;
        if (first < 0 || first > last) continue;
        const int start = std::max(charOfByte[size_t(first)], coveredUntil);
        const int end = charOfByte[size_t(last)] + 1;
        if (end <= start) continue;
        ranges.push_back({start, end - start, block.kind});
        coveredUntil = end;
    }
    return ranges;
}

bool QvIsPlainIdentifier(const QString& text) {
    if (text.isEmpty()) return false;
    std::vector<QvColourRange> ranges = QvLexColourRanges(text, QvSourceText::Encoding::Utf8);
    return ranges.size() == 1 && ranges[0].kind == kIdentifier && ranges[0].start == 0 &&
           ranges[0].length == text.size();
}

QvSyntaxColourer::QvSyntaxColourer(QTextDocument* document) : QObject(document), document_(document) {
    for (int kind = 0; kind < kKindCount; ++kind) formats_[size_t(kind)] = formatFor(kind);
}

void QvSyntaxColourer::setRanges(std::vector<QvColourRange> ranges) {
    ranges_ = std::move(ranges);
    auto next = ranges_.cbegin();
    for (QTextBlock block = document_->begin(); block.isValid(); block = block.next()) colourBlock(block, next);
    document_->markContentsDirty(0, document_->characterCount());
}

void QvSyntaxColourer::followEdit(int position, int removed, int added) {
    const int editEnd = position + removed, shift = added - removed;
    auto touched = [&](const QvColourRange& r) {
        return r.end() > position && r.start < std::max(editEnd, position + 1);
    };
    ranges_.erase(std::remove_if(ranges_.begin(), ranges_.end(), touched), ranges_.end());
    for (QvColourRange& range : ranges_)
        if (range.start >= editEnd) range.start += shift;

    QTextBlock block = document_->findBlock(position);
    const QTextBlock last = document_->findBlock(position + added);
    auto next = std::partition_point(ranges_.cbegin(), ranges_.cend(),
                                     [&](const QvColourRange& r) { return r.end() <= block.position(); });
    for (; block.isValid(); block = block.next()) {
        colourBlock(block, next);
        if (block == last) break;
    }
}

// `next` is the first range that does not end before the block; it is left at the
// first range that reaches past the block. A block whose formats stay as they were
// is left alone: handing formats to a layout is the costly part of colouring.
void QvSyntaxColourer::colourBlock(const QTextBlock& block, std::vector<QvColourRange>::const_iterator& next) {
    const int blockStart = block.position();
    const int blockEnd = blockStart + block.length() - 1;
    QList<QTextLayout::FormatRange> formats;
    formats.reserve(8);
    for (; next != ranges_.cend() && next->start < blockEnd; ++next) {
        if (next->end() <= blockStart || next->kind < 0 || next->kind >= kKindCount) continue;
        const QTextCharFormat& format = formats_[size_t(next->kind)];
        if (format.properties().isEmpty()) continue;
        const int from = std::max(next->start, blockStart), to = std::min(next->end(), blockEnd);
        formats.append({from - blockStart, to - from, format});
        if (next->end() > blockEnd) break;
    }
    if (formats != block.layout()->formats()) block.layout()->setFormats(formats);
}

QTextCharFormat QvSyntaxColourer::formatFor(int kind) {
    QTextCharFormat format;
    switch (kind) {
    case kEmbedded: format.setForeground(QColor(0x00, 0x60, 0x80)); break;
    case kString: format.setForeground(QColor(0xA3, 0x15, 0x15)); break;
    case kComment:
        format.setForeground(QColor(0x00, 0x80, 0x00));
        format.setFontItalic(true);
        break;
    case kOperator: format.setForeground(QColor(0x60, 0x30, 0x80)); break;
    case kLiteral: format.setForeground(QColor(0x09, 0x86, 0x58)); break;
    case kKeyword:
        format.setForeground(QColor(0x00, 0x00, 0xC0));
        format.setFontWeight(QFont::Bold);
        break;
    case kFunction: format.setForeground(QColor(0x00, 0x70, 0x70)); break;
    default: break;
    }
    return format;
}
