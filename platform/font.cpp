// Fonts: the face a description names, found through fontconfig, and its glyphs rendered
// with FreeType in monochrome and cached. Drawing them is in platform/dc_text.cpp.
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <memory>
#include <numbers>
#include <span>
#include <tuple>
#include <unordered_map>

#include "platform/cp932.h"
#include "platform/font_internal.h"

namespace platform
{
namespace
{

struct LibraryDeleter
{
    void operator()(FT_Library library) const
    {
        FT_Done_FreeType(library);
    }
};

struct FaceDeleter
{
    void operator()(FT_Face face) const
    {
        FT_Done_Face(face);
    }
};

struct PatternDeleter
{
    void operator()(FcPattern* pattern) const
    {
        FcPatternDestroy(pattern);
    }
};

using LibraryPtr = std::unique_ptr<FT_LibraryRec_, LibraryDeleter>;
using FacePtr = std::unique_ptr<FT_FaceRec_, FaceDeleter>;
using PatternPtr = std::unique_ptr<FcPattern, PatternDeleter>;

// Where the two Japanese system faces live when fontconfig cannot say.
constexpr const char* kGothicFiles[] = {
    "/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf",
    "/usr/share/fonts/truetype/fonts-japanese-gothic.ttf",
};
constexpr const char* kMinchoFiles[] = {
    "/usr/share/fonts/opentype/ipafont-mincho/ipam.ttf",
    "/usr/share/fonts/truetype/fonts-japanese-mincho.ttf",
};

// The system's face names, as CP932 bytes.
constexpr const char* kMinchoName = "\x95\x57\x8f\x80\x96\xbe\x92\xa9"; // 標準明朝
constexpr const char* kGothicName =
    "\x95\x57\x8f\x80\x83\x53\x83\x56\x83\x62\x83\x4e"; // 標準ゴシック

// Heights past this are drawn at it: a glyph bigger than any screen draws nothing more.
constexpr int kMaxHeight = 1000;
constexpr int kDefaultHeight = 16;

struct FaceFile
{
    std::string path;
    int index = 0;
    FT_Face face = nullptr; // owned by the state's face table
};

// A face at one size and style: the metrics and every glyph drawn so far.
struct Instance
{
    FT_Face face = nullptr;
    FT_Face fallback = nullptr; // asked for characters the face lacks
    FT_F26Dot6 em = 0;          // em size, 26.6 pixels
    bool embolden = false;
    bool oblique = false;
    int escapement = 0; // tenths of a degree, 0..3599
    fonts::Layout layout;
    std::unordered_map<char32_t, fonts::Glyph> glyphs;
};

using InstanceKey = std::tuple<FT_Face, FT_F26Dot6, bool, bool, int>;
using ResolveKey = std::tuple<std::string, int, int, bool>;

} // namespace

struct Font
{
    std::shared_ptr<Instance> instance; // null when no face could be loaded at all
    fonts::Layout layout;
    std::string file;
};

namespace
{

// Gives fontconfig's configuration back at exit, once it has been used.
struct FontconfigSession
{
    bool used = false;
    ~FontconfigSession()
    {
        if (used)
        {
            FcFini();
        }
    }
};

struct FontState
{
    FontconfigSession fontconfig;
    LibraryPtr library; // declared before the faces: destroyed after every one
    bool libraryTried = false;
    std::map<std::pair<std::string, int>, FacePtr> faces;
    std::map<ResolveKey, FaceFile> resolved;
    std::map<InstanceKey, std::shared_ptr<Instance>> instances;
    std::unique_ptr<Font> defaultFont;
};

FontState fontState;

FT_Library Library()
{
    if (!fontState.libraryTried)
    {
        fontState.libraryTried = true;
        FT_Library library = nullptr;
        if (FT_Init_FreeType(&library) == 0)
        {
            fontState.library.reset(library);
        }
    }
    return fontState.library.get();
}

// The face in a file, loaded once; null when the file is not a face FreeType can read.
FT_Face LoadFace(const std::string& path, int index)
{
    auto key = std::make_pair(path, index);
    auto found = fontState.faces.find(key);
    if (found != fontState.faces.end())
    {
        return found->second.get();
    }
    FT_Face face = nullptr;
    if (Library() == nullptr || FT_New_Face(Library(), path.c_str(), index, &face) != 0)
    {
        face = nullptr;
    }
    // A failure is remembered too, so a broken file is tried once.
    fontState.faces[key].reset(face);
    return face;
}

bool SameName(const char* a, const char* b)
{
    return FcStrCmpIgnoreCase(reinterpret_cast<const FcChar8*>(a),
                              reinterpret_cast<const FcChar8*>(b)) == 0;
}

// Asks fontconfig for the best face for a family; with exact, only a face of that very
// family will do.
FaceFile MatchFace(const std::string& family, int weight, bool italic, bool japanese, bool exact)
{
    FaceFile result;
    fontState.fontconfig.used = true;
    PatternPtr pattern(FcPatternCreate());
    if (!pattern)
    {
        return result;
    }
    FcPatternAddString(pattern.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    if (weight > 0)
    {
        FcPatternAddInteger(pattern.get(), FC_WEIGHT,
                            FcWeightFromOpenType(std::clamp(weight, 1, 1000)));
    }
    FcPatternAddInteger(pattern.get(), FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(pattern.get(), FC_OUTLINE, FcTrue);
    if (japanese)
    {
        FcPatternAddString(pattern.get(), FC_LANG, reinterpret_cast<const FcChar8*>("ja"));
    }
    if (!FcConfigSubstitute(nullptr, pattern.get(), FcMatchPattern))
    {
        return result;
    }
    FcDefaultSubstitute(pattern.get());
    FcResult matchResult = FcResultNoMatch;
    PatternPtr match(FcFontMatch(nullptr, pattern.get(), &matchResult));
    if (!match)
    {
        return result;
    }
    if (exact)
    {
        bool same = false;
        FcChar8* name = nullptr;
        for (int i = 0; FcPatternGetString(match.get(), FC_FAMILY, i, &name) == FcResultMatch; ++i)
        {
            same = same || SameName(reinterpret_cast<const char*>(name), family.c_str());
        }
        if (!same)
        {
            return result;
        }
    }
    FcChar8* file = nullptr;
    int index = 0;
    if (FcPatternGetString(match.get(), FC_FILE, 0, &file) != FcResultMatch)
    {
        return result;
    }
    FcPatternGetInteger(match.get(), FC_INDEX, 0, &index);
    result.path = reinterpret_cast<const char*>(file);
    result.index = index;
    result.face = LoadFace(result.path, result.index);
    return result;
}

FaceFile KnownFace(bool mincho)
{
    FaceFile result;
    for (const char* path : mincho ? std::span(kMinchoFiles) : std::span(kGothicFiles))
    {
        result.path = path;
        result.face = LoadFace(result.path, 0);
        if (result.face != nullptr)
        {
            return result;
        }
    }
    return FaceFile{};
}

// One of the IPA faces: by fontconfig, else from where the packages put them.
FaceFile SystemFace(bool mincho)
{
    FaceFile face = MatchFace(mincho ? "IPAMincho" : "IPAGothic", 0, false, true, true);
    if (face.face == nullptr)
    {
        face = KnownFace(mincho);
    }
    return face;
}

// The face a description names, or the nearest substitute that loads.
FaceFile ResolveFace(const LogFont& description)
{
    char raw[sizeof description.faceName + 1] = {};
    std::memcpy(raw, description.faceName, sizeof description.faceName);
    std::string name = raw;
    bool japanese = description.charSet == kShiftJisCharSet;
    bool italic = description.italic != 0;
    ResolveKey key{name, description.weight, japanese ? 1 : 0, italic};
    auto found = fontState.resolved.find(key);
    if (found != fontState.resolved.end())
    {
        return found->second;
    }

    FaceFile face;
    if (name == kMinchoName)
    {
        face = SystemFace(true);
    }
    else if (name == kGothicName || (name.empty() && japanese))
    {
        face = SystemFace(false);
    }
    else
    {
        std::string family = name.empty() ? "sans-serif" : Cp932ToUtf8(name);
        face = MatchFace(family, description.weight, italic, japanese, false);
    }
    if (face.face == nullptr)
    {
        face = SystemFace(false);
    }
    if (face.face == nullptr)
    {
        face = MatchFace("sans-serif", 0, false, false, false);
    }
    fontState.resolved[key] = face;
    return face;
}

struct VerticalMetrics
{
    double ascent = 0.0;
    double descent = 0.0;
};

// The face's cell as Windows measures it: the OS/2 table's Windows ascent and descent.
VerticalMetrics FaceCell(FT_Face face)
{
    VerticalMetrics cell;
    auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    if (os2 != nullptr && os2->usWinAscent + os2->usWinDescent > 0)
    {
        cell.ascent = os2->usWinAscent;
        cell.descent = os2->usWinDescent;
    }
    else
    {
        cell.ascent = face->ascender;
        cell.descent = -face->descender;
    }
    if (cell.ascent + cell.descent <= 0.0)
    {
        cell.ascent = face->units_per_EM > 0 ? face->units_per_EM * 0.88 : 880.0;
        cell.descent = face->units_per_EM > 0 ? face->units_per_EM * 0.12 : 120.0;
    }
    return cell;
}

std::shared_ptr<Instance> MakeInstance(const LogFont& description, FT_Face face)
{
    int height = std::clamp(description.height, -kMaxHeight, kMaxHeight);
    if (height == 0)
    {
        height = kDefaultHeight;
    }
    double unitsPerEm = face->units_per_EM > 0 ? face->units_per_EM : 2048.0;
    VerticalMetrics cell = FaceCell(face);
    double cellUnits = cell.ascent + cell.descent;
    // A positive height is the whole cell, a negative one the em, as GDI reads them.
    double em = height > 0 ? height * unitsPerEm / cellUnits : -height;
    FT_F26Dot6 em26 = std::max<FT_F26Dot6>(64, std::lround(em * 64.0));
    bool embolden = description.weight >= 600 && (face->style_flags & FT_STYLE_FLAG_BOLD) == 0;
    bool oblique = description.italic != 0 && (face->style_flags & FT_STYLE_FLAG_ITALIC) == 0;
    int escapement = description.escapement % 3600;
    escapement = escapement < 0 ? escapement + 3600 : escapement;

    InstanceKey key{face, em26, embolden, oblique, escapement};
    auto found = fontState.instances.find(key);
    if (found != fontState.instances.end())
    {
        return found->second;
    }
    // Instances no font uses any more are dropped before the table grows large.
    if (fontState.instances.size() >= 64)
    {
        std::erase_if(fontState.instances,
                      [](const auto& entry) { return entry.second.use_count() == 1; });
    }

    auto instance = std::make_shared<Instance>();
    instance->face = face;
    FaceFile gothic = SystemFace(false);
    instance->fallback = gothic.face != face ? gothic.face : nullptr;
    instance->em = em26;
    instance->embolden = embolden;
    instance->oblique = oblique;
    instance->escapement = escapement;

    fonts::Layout& layout = instance->layout;
    double scale = em26 / 64.0 / unitsPerEm;
    if (height > 0)
    {
        layout.metrics.height = height;
        layout.metrics.ascent = static_cast<int>(std::lround(height * cell.ascent / cellUnits));
        layout.metrics.descent = height - layout.metrics.ascent;
    }
    else
    {
        layout.metrics.ascent = static_cast<int>(std::lround(cell.ascent * scale));
        layout.metrics.descent = static_cast<int>(std::lround(cell.descent * scale));
        layout.metrics.height = layout.metrics.ascent + layout.metrics.descent;
    }
    int thickness = std::max(1, static_cast<int>(std::lround(face->underline_thickness * scale)));
    int top = static_cast<int>(std::lround(-face->underline_position * scale - thickness / 2.0));
    // The underline stays inside the cell, at least one row under the baseline.
    top = std::clamp(top, 1, std::max(1, layout.metrics.descent - thickness));
    layout.underlineTop = top;
    layout.underlineThickness = thickness;
    double radians = escapement / 10.0 * std::numbers::pi / 180.0;
    layout.rotated = escapement != 0;
    layout.cosine = layout.rotated ? std::cos(radians) : 1.0;
    layout.sine = layout.rotated ? std::sin(radians) : 0.0;
    // Quarter turns are exact, so rotated text keeps to the pixel grid.
    if (escapement % 900 == 0)
    {
        layout.cosine = std::round(layout.cosine);
        layout.sine = std::round(layout.sine);
    }

    fontState.instances[key] = instance;
    return instance;
}

void Unpack(const FT_Bitmap& bitmap, fonts::Glyph& glyph)
{
    glyph.width = static_cast<int>(bitmap.width);
    glyph.rows = static_cast<int>(bitmap.rows);
    glyph.coverage.assign(static_cast<std::size_t>(glyph.width) * glyph.rows, 0);
    for (int y = 0; y < glyph.rows; ++y)
    {
        const unsigned char* row = bitmap.buffer + static_cast<std::ptrdiff_t>(y) * bitmap.pitch;
        for (int x = 0; x < glyph.width; ++x)
        {
            bool on = false;
            if (bitmap.pixel_mode == FT_PIXEL_MODE_MONO)
            {
                on = (row[x >> 3] & (0x80 >> (x & 7))) != 0;
            }
            else if (bitmap.pixel_mode == FT_PIXEL_MODE_GRAY)
            {
                on = row[x] >= 128;
            }
            glyph.coverage[static_cast<std::size_t>(y) * glyph.width + x] = on ? 1 : 0;
        }
    }
}

// Renders one glyph of a face at the instance's size and style; false when the face has
// no such character or FreeType fails.
bool RenderGlyph(const Instance& instance, FT_Face face, char32_t character, fonts::Glyph& glyph)
{
    FT_UInt index = FT_Get_Char_Index(face, character);
    if (index == 0)
    {
        return false;
    }
    if (FT_Set_Char_Size(face, 0, instance.em, 72, 72) != 0)
    {
        return false;
    }
    bool reshaped = instance.embolden || instance.oblique || instance.escapement != 0;
    FT_Int32 flags = FT_LOAD_TARGET_MONO | (reshaped ? FT_LOAD_NO_BITMAP : 0);
    if (FT_Load_Glyph(face, index, flags) != 0)
    {
        return false;
    }
    FT_GlyphSlot slot = face->glyph;
    int advance = static_cast<int>((slot->advance.x + 32) >> 6);
    if (slot->format == FT_GLYPH_FORMAT_OUTLINE)
    {
        if (instance.embolden)
        {
            // Simulated bold is one pixel wider, as GDI's is.
            FT_Outline_EmboldenXY(&slot->outline, 64, 0);
            advance += 1;
        }
        if (instance.oblique)
        {
            FT_Matrix shear{0x10000, 0x0366A, 0, 0x10000};
            FT_Outline_Transform(&slot->outline, &shear);
        }
        if (instance.escapement != 0)
        {
            const fonts::Layout& layout = instance.layout;
            auto fixed = [](double v) { return static_cast<FT_Fixed>(std::lround(v * 65536.0)); };
            FT_Matrix turn{fixed(layout.cosine), fixed(-layout.sine), fixed(layout.sine),
                           fixed(layout.cosine)};
            FT_Outline_Transform(&slot->outline, &turn);
        }
    }
    if (slot->format != FT_GLYPH_FORMAT_BITMAP && FT_Render_Glyph(slot, FT_RENDER_MODE_MONO) != 0)
    {
        return false;
    }
    Unpack(slot->bitmap, glyph);
    glyph.left = slot->bitmap_left;
    glyph.top = -slot->bitmap_top;
    glyph.advance = advance;
    return true;
}

const fonts::Glyph& GlyphOf(Instance& instance, char32_t character)
{
    auto found = instance.glyphs.find(character);
    if (found != instance.glyphs.end())
    {
        return found->second;
    }
    fonts::Glyph glyph;
    bool made = RenderGlyph(instance, instance.face, character, glyph) ||
                (instance.fallback != nullptr &&
                 RenderGlyph(instance, instance.fallback, character, glyph));
    if (!made)
    {
        // A character no face has, or a byte that was not CP932, shows as the replacement
        // character, or the geta mark Japanese text has always used for it, or '?'.
        for (char32_t mark : {U'\uFFFD', U'\u3013', U'?'})
        {
            if (character != mark && (RenderGlyph(instance, instance.face, mark, glyph) ||
                                      (instance.fallback != nullptr &&
                                       RenderGlyph(instance, instance.fallback, mark, glyph))))
            {
                break;
            }
        }
    }
    return instance.glyphs.emplace(character, std::move(glyph)).first->second;
}

Font* DefaultFont()
{
    if (!fontState.defaultFont)
    {
        LogFont description{};
        description.height = kDefaultHeight;
        description.weight = kWeightNormal;
        description.charSet = kShiftJisCharSet;
        fontState.defaultFont.reset(CreateFont(description));
    }
    return fontState.defaultFont.get();
}

} // namespace

Font* CreateFont(const LogFont& description)
{
    auto font = std::make_unique<Font>();
    FaceFile face = ResolveFace(description);
    if (face.face != nullptr)
    {
        font->instance = MakeInstance(description, face.face);
        font->layout = font->instance->layout;
        font->file = face.path;
    }
    else
    {
        // No face at all: text takes its place and draws nothing.
        int height = std::clamp(std::abs(std::clamp(description.height, -kMaxHeight, kMaxHeight)),
                                1, kMaxHeight);
        font->layout.metrics = {height, 0, height};
    }
    font->layout.underline = description.underline != 0;
    return font.release();
}

void DeleteFont(Font* font)
{
    delete font;
}

std::string FontFile(const Font* font)
{
    return font != nullptr ? font->file : std::string();
}

namespace fonts
{

const Layout& FontLayout(Font* font)
{
    return (font != nullptr ? font : DefaultFont())->layout;
}

const Glyph& FontGlyph(Font* font, char32_t character)
{
    Font* used = font != nullptr ? font : DefaultFont();
    if (!used->instance)
    {
        static Glyph empty;
        empty.advance = used->layout.metrics.height / 2;
        return empty;
    }
    return GlyphOf(*used->instance, character);
}

} // namespace fonts

} // namespace platform
