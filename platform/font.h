// Fonts made from a description block, as CreateFontIndirectA() made them: faces found
// through fontconfig (the two Japanese system faces are the IPA fonts), glyphs drawn with
// FreeType in one colour, without blur. Text drawing itself is in platform/dc.h.
#pragma once

#include <cstdint>
#include <string>

#include "platform/dc.h"

namespace platform
{

// The description block, field for field the 60 bytes of a LOGFONTA. Only the fields named
// in the comments change what is drawn.
struct LogFont
{
    std::int32_t height; // > 0: cell height in pixels; < 0: character (em) height; 0: 16
    std::int32_t width;
    std::int32_t escapement; // angle of the text line in tenths of a degree, anticlockwise
    std::int32_t orientation;
    std::int32_t weight;    // 0 the face's own, 400 normal, 600 and more bold
    std::uint8_t italic;    // nonzero: slanted
    std::uint8_t underline; // nonzero: underlined
    std::uint8_t strikeOut;
    std::uint8_t charSet; // 128 (Shift-JIS): an unknown face falls back to a Japanese one
    std::uint8_t outPrecision;
    std::uint8_t clipPrecision;
    std::uint8_t quality;
    std::uint8_t pitchAndFamily;
    char faceName[32]; // CP932, zero-terminated; empty: the default face of the set
};
static_assert(sizeof(LogFont) == 60, "games read and copy the 60-byte description block whole");

constexpr std::uint8_t kAnsiCharSet = 0;
constexpr std::uint8_t kShiftJisCharSet = 128;
constexpr std::int32_t kWeightNormal = 400;
constexpr std::int32_t kWeightBold = 700;

// Stands in for CreateFontIndirectA(). A face that cannot be found or loaded is replaced by
// a substitute (the IPA Gothic for Japanese text), so a font is always made.
Font* CreateFont(const LogFont& description);

// Stands in for DeleteObject() on a font. Null is ignored. A font must not be deleted while
// a context has it selected.
void DeleteFont(Font* font);

// The file the font draws from; empty when no face at all could be loaded.
std::string FontFile(const Font* font);

} // namespace platform
