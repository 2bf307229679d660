// What the text drawing of the device context asks of a font: metrics and cached glyphs.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/font.h"

namespace platform::fonts
{

struct TextMetrics
{
    int ascent;  // pixels above the baseline
    int descent; // pixels below it
    int height;  // ascent + descent: the cell height and the line spacing
};

// A glyph as one-bit coverage, placed relative to the pen on the baseline (y down).
struct Glyph
{
    int left = 0; // first column, from the pen
    int top = 0;  // first row, from the pen (negative: above the baseline)
    int width = 0;
    int rows = 0;
    std::vector<std::uint8_t> coverage; // width * rows, 1 where the glyph is painted
    int advance = 0;                    // pixels along the line to the next pen position
};

struct Layout
{
    TextMetrics metrics;
    int underlineTop = 0; // first row of the underline below the baseline
    int underlineThickness = 1;
    bool underline = false;
    bool rotated = false;
    double cosine = 1.0; // direction of the line on screen: (cosine, -sine)
    double sine = 0.0;
};

// The layout of a font; null is the default font.
const Layout& FontLayout(Font* font);

// The glyph for a character; a character no face has comes out as a replacement mark.
const Glyph& FontGlyph(Font* font, char32_t character);

} // namespace platform::fonts
