// Draws the game's two bitmaps, tiles.bmp and letter.bmp, with FreeType and the IPA Gothic
// font, and its icon, icon.png (libpng). Build and run it with assets/draw-bitmaps; it is not
// part of the program's build.
//
// Black (0, 0, 0) is the colour key of both bitmaps: the game's puts leave those pixels out.
// On the 16-bit screen a colour with red and blue below 8 and green below 4 also turns into
// the key, so every pixel meant to show is kept at or above (8, 8, 8).
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace
{

constexpr const char* kDefaultFont = "/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf";

struct Colour
{
    int r, g, b;
};

constexpr Colour kKey = {0, 0, 0};

Colour Mix(Colour a, Colour b, double t)
{
    auto channel = [t](int x, int y) {
        return static_cast<int>(std::lround(x + (y - x) * t));
    };
    return Colour{channel(a.r, b.r), channel(a.g, b.g), channel(a.b, b.b)};
}

// Lifts a colour that the 16-bit screen would read as the key.
Colour Visible(Colour c)
{
    if (c.r < 8 && c.g < 4 && c.b < 8)
    {
        return Colour{8, 8, 8};
    }
    return c;
}

struct Image
{
    int width = 0, height = 0;
    std::vector<Colour> pixels;

    Image(int w, int h) : width(w), height(h), pixels(static_cast<size_t>(w) * h, kKey)
    {
    }
    Colour& At(int x, int y)
    {
        return pixels[static_cast<size_t>(y) * width + x];
    }
    void Fill(int left, int top, int right, int bottom, Colour c)
    {
        for (int y = std::max(top, 0); y < std::min(bottom, height); ++y)
        {
            for (int x = std::max(left, 0); x < std::min(right, width); ++x)
            {
                At(x, y) = c;
            }
        }
    }
    // Blends c over the pixel with coverage 0..255.
    void Blend(int x, int y, Colour c, int coverage)
    {
        if (x < 0 || y < 0 || x >= width || y >= height || coverage <= 0)
        {
            return;
        }
        At(x, y) = Mix(At(x, y), c, std::min(coverage, 255) / 255.0);
    }
};

// Coverage of a run of text, 0..255 per pixel, with its ink box.
struct Mask
{
    int width = 0, height = 0;
    std::vector<int> cover;

    int At(int x, int y) const
    {
        if (x < 0 || y < 0 || x >= width || y >= height)
        {
            return 0;
        }
        return cover[static_cast<size_t>(y) * width + x];
    }
};

// Decodes UTF-8 into code points.
std::vector<char32_t> CodePoints(const std::string& text)
{
    std::vector<char32_t> out;
    for (size_t i = 0; i < text.size();)
    {
        unsigned char c = static_cast<unsigned char>(text[i]);
        int extra = c < 0x80 ? 0 : c < 0xE0 ? 1 : c < 0xF0 ? 2 : 3;
        char32_t cp = extra == 0 ? c : c & (0x3F >> extra);
        for (int k = 1; k <= extra && i + k < text.size(); ++k)
        {
            cp = (cp << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
        }
        out.push_back(cp);
        i += static_cast<size_t>(extra) + 1;
    }
    return out;
}

class Font
{
public:
    explicit Font(const char* path)
    {
        if (FT_Init_FreeType(&library) != 0 || FT_New_Face(library, path, 0, &face) != 0)
        {
            std::fprintf(stderr, "draw_bitmaps: cannot open the font %s\n", path);
            std::exit(1);
        }
    }
    ~Font()
    {
        FT_Done_Face(face);
        FT_Done_FreeType(library);
    }
    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;

    // Renders text at pixelSize, thickened by bold pixels, trimmed to its ink. Glyphs are
    // placed on whole pixels so digits stay crisp; spacing adds to each advance.
    Mask Render(const std::string& text, int pixelSize, double bold, double spacing = 0.0)
    {
        FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(pixelSize));
        int ascent = static_cast<int>(face->size->metrics.ascender >> 6);
        int canvasW = pixelSize * static_cast<int>(text.size() + 2) + 8;
        int canvasH = pixelSize * 2 + 8;
        Mask canvas{canvasW, canvasH, std::vector<int>(static_cast<size_t>(canvasW) * canvasH)};
        double penX = 4.0;
        int baseline = 4 + ascent;
        for (char32_t cp : CodePoints(text))
        {
            if (FT_Load_Char(face, cp, FT_LOAD_NO_BITMAP | FT_LOAD_TARGET_LIGHT) != 0)
            {
                continue;
            }
            FT_GlyphSlot slot = face->glyph;
            if (bold > 0.0 && slot->format == FT_GLYPH_FORMAT_OUTLINE)
            {
                FT_Pos strength = static_cast<FT_Pos>(bold * 64.0);
                FT_Outline_Embolden(&slot->outline, strength);
                FT_Outline_Translate(&slot->outline, -strength / 2, -strength / 2);
            }
            FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL);
            const FT_Bitmap& bitmap = slot->bitmap;
            int left = static_cast<int>(std::lround(penX)) + slot->bitmap_left;
            int top = baseline - slot->bitmap_top;
            for (unsigned y = 0; y < bitmap.rows; ++y)
            {
                for (unsigned x = 0; x < bitmap.width; ++x)
                {
                    int cx = left + static_cast<int>(x);
                    int cy = top + static_cast<int>(y);
                    if (cx < 0 || cy < 0 || cx >= canvasW || cy >= canvasH)
                    {
                        continue;
                    }
                    int& cell = canvas.cover[static_cast<size_t>(cy) * canvasW + cx];
                    cell = std::min(255, cell + bitmap.buffer[y * bitmap.pitch + x]);
                }
            }
            penX += slot->advance.x / 64.0 + bold + spacing;
        }
        return Trim(canvas);
    }

private:
    static Mask Trim(const Mask& canvas)
    {
        int minX = canvas.width, minY = canvas.height, maxX = -1, maxY = -1;
        for (int y = 0; y < canvas.height; ++y)
        {
            for (int x = 0; x < canvas.width; ++x)
            {
                if (canvas.At(x, y) > 0)
                {
                    minX = std::min(minX, x);
                    maxX = std::max(maxX, x);
                    minY = std::min(minY, y);
                    maxY = std::max(maxY, y);
                }
            }
        }
        if (maxX < 0)
        {
            return Mask{};
        }
        Mask out{maxX - minX + 1, maxY - minY + 1, {}};
        out.cover.resize(static_cast<size_t>(out.width) * out.height);
        for (int y = 0; y < out.height; ++y)
        {
            for (int x = 0; x < out.width; ++x)
            {
                out.cover[static_cast<size_t>(y) * out.width + x] = canvas.At(minX + x, minY + y);
            }
        }
        return out;
    }

    FT_Library library = nullptr;
    FT_Face face = nullptr;
};

// The mask grown by radius pixels, for an outline around text.
Mask Grow(const Mask& mask, int radius)
{
    Mask out{mask.width + 2 * radius, mask.height + 2 * radius, {}};
    out.cover.resize(static_cast<size_t>(out.width) * out.height);
    for (int y = 0; y < out.height; ++y)
    {
        for (int x = 0; x < out.width; ++x)
        {
            int best = 0;
            for (int dy = -radius; dy <= radius; ++dy)
            {
                for (int dx = -radius; dx <= radius; ++dx)
                {
                    if (dx * dx + dy * dy <= radius * radius + radius)
                    {
                        best = std::max(best, mask.At(x - radius + dx, y - radius + dy));
                    }
                }
            }
            out.cover[static_cast<size_t>(y) * out.width + x] = best;
        }
    }
    return out;
}

void Stamp(Image& image, const Mask& mask, int left, int top, Colour colour)
{
    for (int y = 0; y < mask.height; ++y)
    {
        for (int x = 0; x < mask.width; ++x)
        {
            image.Blend(left + x, top + y, colour, mask.At(x, y));
        }
    }
}

// Text centred in the box, optionally with an outline of outlineRadius pixels; dy nudges it.
void Text(Image& image, const Mask& text, int left, int top, int right, int bottom,
          Colour colour, int outlineRadius = 0, Colour outline = kKey, int dy = 0)
{
    int x = left + (right - left - text.width) / 2;
    int y = top + (bottom - top - text.height) / 2 + dy;
    if (outlineRadius > 0)
    {
        Stamp(image, Grow(text, outlineRadius), x - outlineRadius, y - outlineRadius, outline);
    }
    Stamp(image, text, x, y, colour);
}

bool WriteBmp(const std::string& path, const Image& image)
{
    int rowBytes = (image.width * 3 + 3) & ~3;
    std::uint32_t dataBytes = static_cast<std::uint32_t>(rowBytes) * image.height;
    std::vector<std::uint8_t> out(54 + dataBytes, 0);
    auto put16 = [&](size_t at, std::uint32_t v) {
        out[at] = v & 0xFF;
        out[at + 1] = (v >> 8) & 0xFF;
    };
    auto put32 = [&](size_t at, std::uint32_t v) {
        put16(at, v & 0xFFFF);
        put16(at + 2, v >> 16);
    };
    out[0] = 'B';
    out[1] = 'M';
    put32(2, 54 + dataBytes);
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<std::uint32_t>(image.width));
    put32(22, static_cast<std::uint32_t>(image.height));
    put16(26, 1);
    put16(28, 24);
    put32(34, dataBytes);
    put32(38, 2835);
    put32(42, 2835);
    for (int y = 0; y < image.height; ++y)
    {
        // Rows are stored bottom-up, pixels as blue, green, red.
        std::uint8_t* row = &out[54 + static_cast<size_t>(image.height - 1 - y) * rowBytes];
        for (int x = 0; x < image.width; ++x)
        {
            const Colour& c = image.pixels[static_cast<size_t>(y) * image.width + x];
            row[x * 3] = static_cast<std::uint8_t>(std::clamp(c.b, 0, 255));
            row[x * 3 + 1] = static_cast<std::uint8_t>(std::clamp(c.g, 0, 255));
            row[x * 3 + 2] = static_cast<std::uint8_t>(std::clamp(c.r, 0, 255));
        }
    }
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr)
    {
        return false;
    }
    bool ok = std::fwrite(out.data(), 1, out.size(), file) == out.size();
    return std::fclose(file) == 0 && ok;
}

// The image as RGBA; the key colour is transparent.
bool WritePng(const std::string& path, const Image& image)
{
    std::vector<std::uint8_t> rgba;
    rgba.reserve(image.pixels.size() * 4);
    for (const Colour& c : image.pixels)
    {
        bool clear = c.r == kKey.r && c.g == kKey.g && c.b == kKey.b;
        for (int channel : {c.r, c.g, c.b, clear ? 0 : 255})
        {
            rgba.push_back(static_cast<std::uint8_t>(std::clamp(channel, 0, 255)));
        }
    }
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    png.width = static_cast<png_uint_32>(image.width);
    png.height = static_cast<png_uint_32>(image.height);
    png.format = PNG_FORMAT_RGBA;
    return png_image_write_to_file(&png, path.c_str(), 0, rgba.data(), 0, nullptr) != 0;
}

// ---- tiles.bmp: tiles 1 to 24 and the empty cell at 25, 32 x 32 each, five to a row ------

// One hue per row of the solved board, so that a tile's home row reads at a glance.
constexpr Colour kRowColours[5] = {
    {238, 140, 118}, // coral
    {242, 196, 104}, // amber
    {160, 206, 122}, // green
    {120, 180, 228}, // blue
    {190, 156, 222}, // violet
};
constexpr Colour kTileEdge = {36, 34, 44};
constexpr Colour kTileInk = {30, 28, 40};

void DrawTile(Image& image, Font& font, int value)
{
    int left = 32 * ((value - 1) % 5);
    int top = 32 * ((value - 1) / 5);
    if (value == 25)
    {
        // The empty cell: a dark hole, shaded at its top and left, with the edge tiles have.
        Colour hole = {44, 46, 58};
        image.Fill(left, top, left + 32, top + 32, kTileEdge);
        image.Fill(left + 1, top + 1, left + 31, top + 31, hole);
        image.Fill(left + 1, top + 1, left + 31, top + 4, Mix(hole, kTileEdge, 0.6));
        image.Fill(left + 1, top + 1, left + 4, top + 31, Mix(hole, kTileEdge, 0.6));
        image.Fill(left + 1, top + 1, left + 31, top + 2, Mix(hole, kTileEdge, 0.9));
        image.Fill(left + 1, top + 1, left + 2, top + 31, Mix(hole, kTileEdge, 0.9));
        return;
    }
    Colour face = kRowColours[(value - 1) / 5];
    Colour light = Mix(face, Colour{255, 255, 255}, 0.55);
    Colour shade = Mix(face, Colour{0, 0, 0}, 0.35);
    image.Fill(left, top, left + 32, top + 32, kTileEdge);
    image.Fill(left + 1, top + 1, left + 31, top + 31, shade);
    image.Fill(left + 1, top + 1, left + 30, top + 30, light);
    image.Fill(left + 2, top + 2, left + 30, top + 30, face);
    // A soft sheen on the upper half keeps the face from looking flat.
    for (int y = 2; y < 16; ++y)
    {
        Colour band = Mix(face, Colour{255, 255, 255}, 0.18 * (16 - y) / 14.0);
        image.Fill(left + 2, top + y, left + 30, top + y + 1, band);
    }
    Mask number = font.Render(std::to_string(value), 20, 1.1, 0.0);
    Text(image, number, left + 1, top + 1, left + 31, top + 31, kTileInk);
}

Image DrawTiles(Font& font)
{
    Image image(160, 160);
    for (int value = 1; value <= 25; ++value)
    {
        DrawTile(image, font, value);
    }
    for (Colour& c : image.pixels)
    {
        c = Visible(c);
    }
    return image;
}

// ---- letter.bmp: banners, digit rows, the status label and the title prompt -------------

// Regions: left, top, right, bottom.
constexpr int kBanner[4] = {0, 0, 160, 21};
constexpr int kSecondLine[4] = {0, 21, 66, 36};
constexpr int kMoveDigitsTop = 36;
constexpr int kBestDigitsTop = 52;
constexpr int kLabel[4] = {110, 52, 133, 68};
constexpr int kPrompt[4] = {0, 68, 160, 84};

constexpr Colour kWhite = {246, 246, 240};
constexpr Colour kGold = {255, 214, 92};
constexpr Colour kNavy = {24, 30, 62};

// A plate with a one-pixel border and a gentle top-to-bottom gradient.
void Plate(Image& image, const int* r, Colour top, Colour bottom, Colour border)
{
    int height = r[3] - r[1];
    for (int y = r[1]; y < r[3]; ++y)
    {
        double t = height > 1 ? static_cast<double>(y - r[1]) / (height - 1) : 0.0;
        image.Fill(r[0], y, r[2], y + 1, Mix(top, bottom, t));
    }
    image.Fill(r[0], r[1], r[2], r[1] + 1, border);
    image.Fill(r[0], r[3] - 1, r[2], r[3], border);
    image.Fill(r[0], r[1], r[0] + 1, r[3], border);
    image.Fill(r[2] - 1, r[1], r[2], r[3], border);
}

void DrawDigits(Image& image, Font& font, int top, Colour colour)
{
    for (int d = 0; d < 10; ++d)
    {
        Mask digit = font.Render(std::to_string(d), 17, 0.9);
        Text(image, digit, 11 * d, top, 11 * d + 11, top + 16, colour);
    }
}

Image DrawLetters(Font& font)
{
    Image image(160, 84);

    // "クリア！" on a red ribbon with gold edges.
    Plate(image, kBanner, Colour{214, 52, 60}, Colour{150, 24, 40}, Colour{255, 206, 84});
    image.Fill(1, 1, 159, 2, Colour{240, 120, 110});
    Text(image, font.Render("クリア！", 17, 1.0, 1.0), kBanner[0], kBanner[1], kBanner[2],
         kBanner[3], kWhite, 1, Colour{96, 12, 28});

    // "おめでとう" on a small navy plate.
    Plate(image, kSecondLine, Colour{44, 54, 110}, Colour{24, 30, 62}, Colour{255, 206, 84});
    Text(image, font.Render("おめでとう", 12, 0.3), kSecondLine[0], kSecondLine[1],
         kSecondLine[2], kSecondLine[3], kWhite);

    // Move count in white, best score in gold, on the black of the status strip.
    DrawDigits(image, font, kMoveDigitsTop, kWhite);
    DrawDigits(image, font, kBestDigitsTop, kGold);

    // The best-score label, a crown-coloured "BEST" that leads into the gold digits.
    Text(image, font.Render("BEST", 10, 0.6, 0.0), kLabel[0], kLabel[1], kLabel[2], kLabel[3],
         kGold, 0, kKey, 1);

    // "スペースキーでスタート" on a navy band.
    Plate(image, kPrompt, Colour{40, 50, 104}, kNavy, Colour{140, 160, 230});
    Text(image, font.Render("スペースキーでスタート", 13, 0.4), kPrompt[0], kPrompt[1],
         kPrompt[2], kPrompt[3], kGold, 0, kKey, 0);

    for (Colour& c : image.pixels)
    {
        // Pixels left black stay transparent; everything drawn stays visible.
        if (c.r != 0 || c.g != 0 || c.b != 0)
        {
            c = Visible(c);
        }
    }
    return image;
}

// ---- icon.png: the board in play, 64 x 64 ---------------------------------------------------

constexpr int kIconSize = 64;
constexpr int kIconCell = 12;   // a tile, edge included
constexpr int kIconMargin = 2;  // board edge around the tiles
constexpr int kIconCorner = 6;  // radius of the board's rounded corners

// One tile as DrawTile draws it, without its number (too small to read at this size).
void IconTile(Image& image, int left, int top, Colour face)
{
    int right = left + kIconCell;
    int bottom = top + kIconCell;
    image.Fill(left + 1, top + 1, right - 1, bottom - 1, Mix(face, Colour{0, 0, 0}, 0.35));
    image.Fill(left + 1, top + 1, right - 2, bottom - 2, Mix(face, Colour{255, 255, 255}, 0.55));
    image.Fill(left + 2, top + 2, right - 2, bottom - 2, face);
    image.Fill(left + 2, top + 2, right - 2, top + 5,
               Mix(face, Colour{255, 255, 255}, 0.15));
}

Image DrawIcon()
{
    Image image(kIconSize, kIconSize);
    image.Fill(0, 0, kIconSize, kIconSize, kTileEdge);
    // The gap one cell left of its home, the last tile slid into the corner.
    for (int cell = 0; cell < 25; ++cell)
    {
        int left = kIconMargin + kIconCell * (cell % 5);
        int top = kIconMargin + kIconCell * (cell / 5);
        if (cell == 23)
        {
            Colour hole = {44, 46, 58};
            image.Fill(left + 1, top + 1, left + kIconCell - 1, top + kIconCell - 1, hole);
            image.Fill(left + 1, top + 1, left + kIconCell - 1, top + 3,
                       Mix(hole, kTileEdge, 0.6));
            continue;
        }
        IconTile(image, left, top, kRowColours[cell / 5]);
    }
    // Rounded corners: the pixels outside them are left clear.
    for (int y = 0; y < kIconSize; ++y)
    {
        for (int x = 0; x < kIconSize; ++x)
        {
            int dx = std::max({kIconCorner - x, x - (kIconSize - 1 - kIconCorner), 0});
            int dy = std::max({kIconCorner - y, y - (kIconSize - 1 - kIconCorner), 0});
            if (dx * dx + dy * dy > kIconCorner * kIconCorner)
            {
                image.At(x, y) = kKey;
            }
            else
            {
                image.At(x, y) = Visible(image.At(x, y));
            }
        }
    }
    return image;
}

} // namespace

int main(int argc, char** argv)
{
    std::string folder = argc > 1 ? argv[1] : ".";
    const char* fontPath = argc > 2 ? argv[2] : kDefaultFont;
    Font font(fontPath);
    bool ok = WriteBmp(folder + "/tiles.bmp", DrawTiles(font)) &&
              WriteBmp(folder + "/letter.bmp", DrawLetters(font)) &&
              WritePng(folder + "/icon.png", DrawIcon());
    if (!ok)
    {
        std::fprintf(stderr, "draw_bitmaps: cannot write the pictures into %s\n", folder.c_str());
        return 1;
    }
    return 0;
}
