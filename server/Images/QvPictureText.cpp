#include "Images/QvPictureText.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstdlib>
#include <mutex>
#include <type_traits>
#include <vector>

#include "Errors/QvErrors.h"

namespace {

constexpr const char* kFontPath = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
constexpr int kPixelSize = 14;
constexpr int kMargin = 20;

// One face for the process, loaded on first use; QUARVEL_TEXT_FONT names another file.
// FreeType faces are not thread-safe, so drawing holds the lock throughout.
class TextFont {
public:
    static TextFont& shared() {
        static TextFont font;
        return font;
    }
    std::mutex& lock() { return lock_; }

    FT_Face face() {
        const char* chosen = std::getenv("QUARVEL_TEXT_FONT");
        std::string path = chosen && *chosen ? chosen : kFontPath;
        if (face_ && path == path_) return face_;
        release();
        if (!library_ && FT_Init_FreeType(&library_) != 0) library_ = nullptr;
        if (!library_ || FT_New_Face(library_, path.c_str(), 0, &face_) != 0 ||
            FT_Set_Pixel_Sizes(face_, 0, kPixelSize) != 0) {
            release();
            QvError("Could not load the font for drawing text.");
        }
        path_ = path;
        return face_;
    }

private:
    ~TextFont() {
        release();
        if (library_) FT_Done_FreeType(library_);
    }
    void release() {
        if (face_) FT_Done_Face(face_);
        face_ = nullptr;
    }

    std::mutex lock_;
    FT_Library library_ = nullptr;
    FT_Face face_ = nullptr;
    std::string path_;
};

// The code points of UTF-8 text; invalid bytes stand for themselves.
std::vector<uint32_t> codePoints(const std::string& text, size_t begin, size_t end) {
    std::vector<uint32_t> points;
    for (size_t i = begin; i < end;) {
        unsigned char lead = static_cast<unsigned char>(text[i]);
        int extra = lead >= 0xF0 && lead < 0xF8 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : 0;
        uint32_t point = extra ? lead & (0x3F >> extra) : lead;
        size_t j = 1;
        for (; j <= size_t(extra) && i + j < end && (static_cast<unsigned char>(text[i + j]) & 0xC0) == 0x80; ++j)
            point = point << 6 | (static_cast<unsigned char>(text[i + j]) & 0x3F);
        if (j != size_t(extra) + 1) {
            point = lead;
            j = 1;
        }
        points.push_back(point);
        i += j;
    }
    return points;
}

struct Box {
    int left, top, right, bottom;  // right and bottom exclusive
};

// Moves the pixel toward white by the coverage (0-255), keeping alpha.
template <class P>
void blend(P& p, int coverage) {
    float weight = float(coverage) / 255.0f;
    auto lighter = [&](float v) { return v + (1.0f - v) * weight; };
    if constexpr (std::is_same_v<P, bgPix>) {
        p.grey = uint8_t(p.grey + ((255 - p.grey) * coverage + 127) / 255);
    } else if constexpr (std::is_same_v<P, bcPix>) {
        for (uint8_t* c : {&p.red, &p.green, &p.blue})
            *c = uint8_t(*c + ((255 - *c) * coverage + 127) / 255);
    } else if constexpr (std::is_same_v<P, fgPix>) {
        p.grey = lighter(p.grey);
    } else {
        p.red = lighter(p.red);
        p.green = lighter(p.green);
        p.blue = lighter(p.blue);
    }
}

class TextLayout {
public:
    TextLayout(QvPixelStorage& picture, FT_Face face)
        : picture_(picture),
          face_(face),
          box_{kMargin, kMargin, picture.width() - kMargin, picture.height() - kMargin},
          lineHeight_(int(face->size->metrics.height >> 6)),
          x_(box_.left),
          baseline_(box_.top + int(face->size->metrics.ascender >> 6)) {}

    void drawLine(const std::string& text, size_t begin, size_t end) {
        for (size_t wordStart = begin; wordStart <= end;) {
            size_t wordEnd = text.find(' ', wordStart);
            if (wordEnd == std::string::npos || wordEnd > end) wordEnd = end;
            std::vector<uint32_t> word = codePoints(text, wordStart, wordEnd);
            int width = advance(word);
            if (x_ > box_.left && x_ + width > box_.right) newLine();
            for (uint32_t point : word)
                drawGlyph(point);
            if (wordEnd < end) x_ += advance({' '});
            wordStart = wordEnd + 1;
        }
    }

    void newLine() {
        x_ = box_.left;
        baseline_ += lineHeight_;
    }

private:
    int advance(const std::vector<uint32_t>& points) {
        int width = 0;
        for (uint32_t point : points)
            if (FT_Load_Char(face_, point, FT_LOAD_DEFAULT) == 0) width += int(face_->glyph->advance.x >> 6);
        return width;
    }

    void drawGlyph(uint32_t point) {
        if (FT_Load_Char(face_, point, FT_LOAD_RENDER) != 0) return;
        const FT_GlyphSlot glyph = face_->glyph;
        const FT_Bitmap& bitmap = glyph->bitmap;
        int left = x_ + glyph->bitmap_left, top = baseline_ - glyph->bitmap_top;
        QvWithPixel(picture_.pixelClass(), [&](auto sample) {
            using P = decltype(sample);
            for (unsigned row = 0; row < bitmap.rows; ++row) {
                int y = top + int(row);
                if (y < box_.top || y >= box_.bottom) continue;
                const unsigned char* coverage = bitmap.buffer + ptrdiff_t(row) * bitmap.pitch;
                for (unsigned column = 0; column < bitmap.width; ++column) {
                    int x = left + int(column);
                    if (x >= box_.left && x < box_.right && coverage[column])
                        blend(picture_.row<P>(y)[x], coverage[column]);
                }
            }
        });
        x_ += int(glyph->advance.x >> 6);
    }

    QvPixelStorage& picture_;
    FT_Face face_;
    Box box_;
    int lineHeight_;
    int x_;
    int baseline_;
};

}  // namespace

void QvDrawTextIntoPicture(QvPixelStorage& picture, const std::string& text) {
    TextFont& font = TextFont::shared();
    std::lock_guard<std::mutex> guard(font.lock());
    TextLayout layout(picture, font.face());
    for (size_t begin = 0;;) {
        size_t end = text.find_first_of("\r\n", begin);
        layout.drawLine(text, begin, end == std::string::npos ? text.size() : end);
        if (end == std::string::npos) break;
        begin = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
        layout.newLine();
    }
}
