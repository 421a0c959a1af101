#pragma once
#include <QByteArray>
#include <QString>
#include <vector>

// How a script's bytes become editor text and back. The engine gets a script with
// "\r\n" line ends; files are read as UTF-8 when they are valid UTF-8, else as
// Latin-1, and written back in the encoding they were read in.
class QvSourceText {
public:
    enum class Encoding { Utf8, Latin1 };

    // "\r\n", a lone "\r" and a lone "\n" each become "\r\n"; every other byte below
    // 32 except the tab is dropped.
    static QByteArray normaliseLineEnds(const QByteArray& bytes);
    static Encoding detectEncoding(const QByteArray& bytes);
    // The editor's text for a file's bytes: line ends normalised, then decoded; the
    // encoding found is stored in `encoding`.
    static QString decodeFile(const QByteArray& bytes, Encoding* encoding);
    // The script for the editor's text: encoded, with normalised line ends. When
    // `charOfByte` is given it receives, for every byte, the index of the editor
    // character the byte came from.
    static QByteArray encode(const QString& text, Encoding encoding, std::vector<int>* charOfByte = nullptr);
    // Text the script produced (console text, window titles and texts), read in the
    // script's encoding.
    static QString decode(const QByteArray& bytes, Encoding encoding);
    // Whether every character of the text can be written in the encoding.
    static bool canEncode(const QString& text, Encoding encoding);
};
