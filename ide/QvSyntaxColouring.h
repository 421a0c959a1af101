#pragma once
#include <QString>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextCharFormat>
#include <array>
#include <vector>

#include "QvSourceText.h"

// A stretch of editor text that the engine's lexer marked, in editor positions.
struct QvColourRange {
    int start;
    int length;
    int kind;  // the lexer's block kind: 1 string, 2 comment, 6 keyword, ...

    int end() const { return start + length; }
    bool operator==(const QvColourRange& other) const {
        return start == other.start && length == other.length && kind == other.kind;
    }
};

// Lexes the editor's text with the engine's own lexer (includes are not expanded)
// and maps its blocks from byte positions of the encoded script to editor positions.
// Sorted by start; blocks never overlap.
std::vector<QvColourRange> QvLexColourRanges(const QString& text, QvSourceText::Encoding encoding);

// Whether the text is one plain identifier: not a keyword, nor a built-in function.
bool QvIsPlainIdentifier(const QString& text);

// Colours a document from the ranges of the last lexical pass, by giving each
// block's layout its formats (the text and its undo history stay untouched). Between
// an edit and the next pass, ranges after the edit move with the text and those it
// touched lose their colour.
class QvSyntaxColourer : public QObject {
public:
    explicit QvSyntaxColourer(QTextDocument* document);

    // Colours the whole document; one relayout follows.
    void setRanges(std::vector<QvColourRange> ranges);
    const std::vector<QvColourRange>& ranges() const { return ranges_; }
    // Follows an edit (`removed` characters at `position` replaced by `added`) and
    // recolours the edited blocks; called before the document lays them out again.
    void followEdit(int position, int removed, int added);
    // The format a kind of block is drawn in; kinds without colour give an empty format.
    static QTextCharFormat formatFor(int kind);

private:
    static constexpr int kKindCount = 10;

    void colourBlock(const QTextBlock& block, std::vector<QvColourRange>::const_iterator& next);

    QTextDocument* document_;
    std::vector<QvColourRange> ranges_;
    std::array<QTextCharFormat, kKindCount> formats_;
};
