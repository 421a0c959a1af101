#include "QvSourceText.h"

#include <QStringDecoder>

namespace {
bool isDroppedControl(uint code) { return code < 32 && code != '\t' && code != '\r' && code != '\n'; }

// Writes one code point and returns the position after it.
char* putUtf8(char* out, char32_t code) {
    if (code < 0x80) {
        *out++ = char(code);
    } else if (code < 0x800) {
        *out++ = char(0xC0 | (code >> 6));
        *out++ = char(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        *out++ = char(0xE0 | (code >> 12));
        *out++ = char(0x80 | ((code >> 6) & 0x3F));
        *out++ = char(0x80 | (code & 0x3F));
    } else {
        *out++ = char(0xF0 | (code >> 18));
        *out++ = char(0x80 | ((code >> 12) & 0x3F));
        *out++ = char(0x80 | ((code >> 6) & 0x3F));
        *out++ = char(0x80 | (code & 0x3F));
    }
    return out;
}
}  // namespace

QByteArray QvSourceText::normaliseLineEnds(const QByteArray& bytes) {
    QByteArray out;
    out.reserve(bytes.size() + bytes.size() / 16);
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n; ++i) {
        const uchar c = uchar(bytes[i]);
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < n && bytes[i + 1] == '\n') ++i;
            out.append("\r\n", 2);
        } else if (!isDroppedControl(c)) {
            out.append(char(c));
        }
    }
    return out;
}

QvSourceText::Encoding QvSourceText::detectEncoding(const QByteArray& bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    QString decoded = utf8.decode(bytes);
    return utf8.hasError() ? Encoding::Latin1 : Encoding::Utf8;
}

QString QvSourceText::decodeFile(const QByteArray& bytes, Encoding* encoding) {
    QByteArray normalised = normaliseLineEnds(bytes);
    *encoding = detectEncoding(normalised);
    if (*encoding == Encoding::Latin1) return QString::fromLatin1(normalised);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    return utf8.decode(normalised);
}

// No character takes more than three bytes per UTF-16 unit, nor a line end more than two.
QByteArray QvSourceText::encode(const QString& text, Encoding encoding, std::vector<int>* charOfByte) {
    const qsizetype n = text.size();
    QByteArray out(n * 3, Qt::Uninitialized);
    char* const begin = out.data();
    char* end = begin;
    if (charOfByte) {
        charOfByte->clear();
        charOfByte->reserve(size_t(n + n / 4 + 16));
    }
    for (qsizetype i = 0; i < n; ++i) {
        const qsizetype first = i;
        char* const before = end;
        const char16_t unit = text[i].unicode();
        if (unit == '\r' || unit == '\n') {
            if (unit == '\r' && i + 1 < n && text[i + 1] == QLatin1Char('\n')) ++i;
            *end++ = '\r';
            *end++ = '\n';
        } else if (isDroppedControl(unit)) {
            continue;
        } else if (encoding == Encoding::Latin1) {
            *end++ = unit < 256 ? char(unit) : '?';
        } else if (QChar::isHighSurrogate(unit) && i + 1 < n && text[i + 1].isLowSurrogate()) {
            end = putUtf8(end, QChar::surrogateToUcs4(unit, text[i + 1].unicode()));
            ++i;
        } else {
            end = putUtf8(end, QChar::isSurrogate(unit) ? char32_t(0xFFFD) : char32_t(unit));
        }
        if (charOfByte) charOfByte->insert(charOfByte->end(), size_t(end - before), int(first));
    }
    out.truncate(end - begin);
    return out;
}

QString QvSourceText::decode(const QByteArray& bytes, Encoding encoding) {
    return encoding == Encoding::Utf8 ? QString::fromUtf8(bytes) : QString::fromLatin1(bytes);
}

bool QvSourceText::canEncode(const QString& text, Encoding encoding) {
    if (encoding == Encoding::Utf8) return true;
    for (QChar c : text)
        if (c.unicode() > 255) return false;
    return true;
}
