// BMP decoding: every depth, both row orders, the header forms, run-length streams, and the
// refusal of truncated, lying and unsupported files without reading past them.
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/bitmap.h"
#include "tests/draw/draw_support.h"

using draw_testing::BmpSpec;
using draw_testing::BuildBmp;
using platform::Bitmap;
using platform::ColorRef;
using platform::MakeRgb;

namespace
{

bool Decode(const std::string& bytes, Bitmap& bitmap)
{
    return platform::DecodeBmp(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(),
                               bitmap);
}

ColorRef At(const Bitmap& bitmap, int x, int y)
{
    return bitmap.pixels[static_cast<std::size_t>(y) * bitmap.width + x];
}

// The 16 colours of the run-length files' palette; index 0 is not black, so a skipped pixel
// is told from an index past the palette.
ColorRef RlePaletteColor(int index)
{
    return MakeRgb(10 + index, 200 - index * 5, index * 16);
}

} // namespace

TEST(BmpDecode, EveryPaletteAndTrueColourDepthInBothRowOrders)
{
    // 11 pixels a row: 1-bit rows cross a byte, and every depth's rows need padding.
    for (int bits : {1, 4, 8, 24, 32})
    {
        for (bool topDown : {false, true})
        {
            SCOPED_TRACE(::testing::Message() << bits << " bits, top down " << topDown);
            BmpSpec spec;
            spec.width = 11;
            spec.height = 3;
            spec.bits = bits;
            spec.topDown = topDown;
            for (int i = 0; i < (bits <= 8 ? 1 << bits : 0); ++i)
            {
                spec.palette.push_back(MakeRgb(i, 255 - i, i * 7));
            }
            // A palette index, or a colour (stored as 0xRRGGBB in 32 bits), from (x, y).
            auto index = [&](int x, int y) { return (x * 5 + y * 3) % (1 << std::min(bits, 8)); };
            auto color = [&](int x, int y) {
                return bits <= 8 ? spec.palette[index(x, y)]
                                 : MakeRgb(x * 20 + y, 200 - x * 3, y * 60 + 7);
            };
            std::string bytes = BuildBmp(
                spec,
                [&](int x, int y) -> std::uint32_t
                {
                    if (bits <= 8)
                    {
                        return index(x, y);
                    }
                    // 32 bits: the top byte is unused.
                    return bits == 24 ? color(x, y) : 0xFF000000 | draw_testing::Bgr(color(x, y));
                });
            Bitmap bitmap;
            ASSERT_TRUE(Decode(bytes, bitmap));
            ASSERT_EQ(bitmap.width, 11);
            ASSERT_EQ(bitmap.height, 3);
            for (int y = 0; y < 3; ++y)
            {
                for (int x = 0; x < 11; ++x)
                {
                    ASSERT_EQ(At(bitmap, x, y), color(x, y)) << x << "," << y;
                }
            }
        }
    }
}

TEST(BmpDecode, ShortPalettesAndResourcesWithoutAFileHeader)
{
    // Indexes past the end of a short palette read as black.
    BmpSpec eight;
    eight.width = 2;
    eight.bits = 8;
    eight.palette = {MakeRgb(1, 2, 3)};
    Bitmap bitmap;
    ASSERT_TRUE(Decode(BuildBmp(eight, [](int x, int) { return x == 1 ? 200u : 0u; }), bitmap));
    EXPECT_EQ(At(bitmap, 0, 0), MakeRgb(1, 2, 3));
    EXPECT_EQ(At(bitmap, 1, 0), 0u);
    BmpSpec bare;
    bare.fileHeader = false;
    bare.width = 2;
    bare.height = 2;
    bare.bits = 4;
    bare.palette = {MakeRgb(5, 5, 5), MakeRgb(6, 6, 6)};
    ASSERT_TRUE(Decode(BuildBmp(bare, [](int x, int y) { return (x + y) % 2u; }), bitmap));
    EXPECT_EQ(At(bitmap, 1, 1), MakeRgb(5, 5, 5));
    EXPECT_EQ(At(bitmap, 0, 1), MakeRgb(6, 6, 6));
}

TEST(BmpDecode, SixteenAndThirtyTwoBitsWithAndWithoutBitFields)
{
    // (bits, header bytes, masks or none, stored values, decoded colours)
    struct Case
    {
        int bits, headerBytes;
        std::uint32_t masks[3];
        std::uint32_t values[4];
        ColorRef colors[4];
    } cases[] = {
        // 555 without fields; 16 of 31 widens with its low bits repeating.
        {16,
         40,
         {0, 0, 0},
         {0x7C00, 0x03E0, 0x001F, 0x4210},
         {MakeRgb(255, 0, 0), MakeRgb(0, 255, 0), MakeRgb(0, 0, 255), MakeRgb(132, 132, 132)}},
        {16,
         40,
         {0xF800, 0x07E0, 0x001F},
         {0xF800, 0x07E0, 0x0020, 0xFFFF},
         {MakeRgb(255, 0, 0), MakeRgb(0, 255, 0), MakeRgb(0, 4, 0), MakeRgb(255, 255, 255)}},
        // Red in the low byte and a 10-bit green inside the longer header: the top 8 bits of
        // each field count.
        {32,
         108,
         {0x000000FF, 0x0003FF00, 0xFF000000},
         {0x7F03FF11, 0, 0xFF000000, 0x00000100},
         {MakeRgb(0x11, 0xFF, 0x7F), 0, MakeRgb(0, 0, 0xFF), MakeRgb(0, 0, 0)}},
    };
    for (const Case& c : cases)
    {
        BmpSpec spec;
        spec.width = 4;
        spec.bits = c.bits;
        spec.headerBytes = c.headerBytes;
        spec.compression = c.masks[0] != 0 ? 3 : 0;
        std::copy(c.masks, c.masks + 3, spec.masks);
        Bitmap bitmap;
        ASSERT_TRUE(Decode(BuildBmp(spec, [&c](int x, int) { return c.values[x]; }), bitmap));
        for (int x = 0; x < 4; ++x)
        {
            EXPECT_EQ(At(bitmap, x, 0), c.colors[x]) << c.bits << " bits, pixel " << x;
        }
    }
}

TEST(BmpDecode, EveryTruncationIsRefused)
{
    for (int bits : {1, 4, 8, 16, 24, 32})
    {
        BmpSpec spec;
        spec.width = 5;
        spec.height = 4;
        spec.bits = bits;
        spec.palette.assign(bits <= 8 ? (1u << bits) : 0, MakeRgb(1, 1, 1));
        std::string whole =
            BuildBmp(spec, [](int x, int y) { return static_cast<std::uint32_t>(x + y); });
        Bitmap bitmap;
        ASSERT_TRUE(Decode(whole, bitmap)) << bits;
        for (std::size_t length = 0; length < whole.size(); ++length)
        {
            // Each prefix gets memory of its own exact size, so a read past it is caught.
            std::vector<std::uint8_t> cut(whole.begin(), whole.begin() + length);
            ASSERT_FALSE(platform::DecodeBmp(cut.data(), cut.size(), bitmap))
                << bits << " " << length;
            ASSERT_TRUE(bitmap.pixels.empty());
        }
    }
}

TEST(BmpDecode, LyingAndUnsupportedHeadersAreRefused)
{
    BmpSpec spec;
    spec.width = 4;
    spec.height = 4;
    std::string good = BuildBmp(spec, [](int, int) { return 0x123456u; });
    Bitmap bitmap;
    ASSERT_TRUE(Decode(good, bitmap));
    // (offset, value, bytes written)
    const std::uint32_t lies[][3] = {
        {10, 0xFFFFFFF0, 4}, // pixels past the end
        {10, 20, 4},         // pixels inside the header
        {14, 39, 4},         // unknown header size
        {14, 5000, 4},       // header past the end
        {18, 0, 4},          // no width
        {18, 0x80000000, 4}, // negative width
        {22, 0, 4},          // no height
        {22, 0x80000000, 4}, // the most negative height
        {18, 20000, 4},      // wider than any screen
        {18, 1000, 4},       // wider than the file holds
        {26, 2, 2},          // two planes
        {28, 7, 2},          // no such depth
        {30, 1, 4},          // run-length coded 24 bits
        {30, 2, 4},          // 4-bit run-length coded 24 bits
        {30, 3, 4},          // bit fields on 24 bits
        {30, 4, 4},          // an embedded JPEG
    };
    for (const auto& lie : lies)
    {
        std::string bad = good;
        draw_testing::PutLe(bad, lie[0], lie[1], static_cast<int>(lie[2]));
        EXPECT_FALSE(Decode(bad, bitmap)) << lie[0] << " = " << lie[1];
    }
    EXPECT_FALSE(platform::DecodeBmp(nullptr, 100, bitmap));
    EXPECT_FALSE(Decode("BM", bitmap));
}

namespace
{

// A bottom-up run-length BMP of width x height: a 16-entry palette, then the stream.
// imageBytes 0 writes the stream's own size.
std::string RleBmp(int bits, int width, int height, const std::vector<int>& stream,
                   std::uint32_t imageBytes = 0)
{
    std::string out(14 + 40 + 16 * 4, '\0');
    using draw_testing::PutLe;
    PutLe(out, 0, 'B' | ('M' << 8), 2);
    PutLe(out, 10, static_cast<std::uint32_t>(out.size()), 4);
    PutLe(out, 14, 40, 4);
    PutLe(out, 18, static_cast<std::uint32_t>(width), 4);
    PutLe(out, 22, static_cast<std::uint32_t>(height), 4);
    PutLe(out, 26, 1, 2);
    PutLe(out, 28, static_cast<std::uint32_t>(bits), 2);
    PutLe(out, 30, bits == 8 ? 1 : 2, 4);
    PutLe(out, 34, imageBytes != 0 ? imageBytes : static_cast<std::uint32_t>(stream.size()), 4);
    PutLe(out, 46, 16, 4);
    for (int i = 0; i < 16; ++i)
    {
        PutLe(out, 54 + 4 * i, draw_testing::Bgr(RlePaletteColor(i)), 3);
    }
    for (int byte : stream)
    {
        out += static_cast<char>(byte);
    }
    PutLe(out, 2, static_cast<std::uint32_t>(out.size()), 4);
    return out;
}

} // namespace

TEST(BmpDecode, RunLengthStreamsDecodeInsideThePictureOrAreRefused)
{
    // Pictures are 5 x 3; rows are given from the top; an empty list is a refusal.
    using Rows = std::vector<std::vector<int>>;
    const Rows zeros = {{0, 0, 0, 0, 0}, {0, 0, 0, 0, 0}, {0, 0, 0, 0, 0}};
    auto bottom = [&](std::vector<int> row)
    {
        Rows rows = zeros;
        rows[2] = row;
        return rows;
    };
    const Rows refused = {};
    const struct
    {
        const char* name;
        int bits;
        std::vector<int> stream;
        Rows rows;
    } cases[] = {
        // 8 bits.
        {"a run a row",
         8,
         {5, 1, 0, 0, 5, 2, 0, 0, 5, 3, 0, 1},
         {{3, 3, 3, 3, 3}, {2, 2, 2, 2, 2}, {1, 1, 1, 1, 1}}},
        {"odd absolute run and its pad",
         8,
         {0, 3, 7, 8, 9, 0, 2, 4, 0, 1},
         bottom({7, 8, 9, 4, 4})},
        {"even absolute run", 8, {0, 4, 1, 2, 3, 4, 1, 5, 0, 1}, bottom({1, 2, 3, 4, 5})},
        {"runs end at the row's end", 8, {3, 1, 2, 6, 0, 1}, bottom({1, 1, 1, 6, 6})},
        {"skipped pixels are index 0",
         8,
         {1, 9, 0, 2, 2, 1, 1, 10, 0, 2, 0, 1, 1, 11, 0, 1},
         {{0, 0, 0, 0, 11}, {0, 0, 0, 10, 0}, {9, 0, 0, 0, 0}}},
        {"delta to the row's end",
         8,
         {0, 2, 5, 0, 0, 0, 1, 4, 0, 1},
         {{0, 0, 0, 0, 0}, {4, 0, 0, 0, 0}, {0, 0, 0, 0, 0}}},
        {"end of line after the last row",
         8,
         {0, 0, 0, 0, 5, 7, 0, 0, 0, 1},
         {{7, 7, 7, 7, 7}, {0, 0, 0, 0, 0}, {0, 0, 0, 0, 0}}},
        {"bytes after the end are not read", 8, {1, 4, 0, 1, 9, 9, 9}, bottom({4, 0, 0, 0, 0})},
        {"run past the row", 8, {6, 1, 0, 1}, refused},
        {"second run past the row", 8, {3, 1, 3, 1, 0, 1}, refused},
        {"absolute run past the row", 8, {2, 0, 0, 4, 1, 2, 3, 4, 0, 1}, refused},
        {"delta past the row", 8, {1, 1, 0, 2, 5, 0, 0, 1}, refused},
        {"delta past the top", 8, {0, 2, 0, 3, 0, 1}, refused},
        {"run above the last row", 8, {0, 0, 0, 0, 0, 0, 1, 1, 0, 1}, refused},
        {"end of line above the last row", 8, {0, 0, 0, 0, 0, 0, 0, 0, 0, 1}, refused},
        {"no end of bitmap", 8, {5, 1, 0, 0}, refused},
        {"half a code", 8, {5, 1, 0}, refused},
        {"absolute run without its pad", 8, {0, 3, 1, 2, 3}, refused},
        {"absolute run past the stream", 8, {0, 4, 1, 2}, refused},
        {"delta without its move", 8, {0, 2, 1}, refused},
        // 4 bits: runs alternate their two nibbles, high first, from the run's own start.
        {"nibble run", 4, {5, 0x12, 0, 1}, bottom({1, 2, 1, 2, 1})},
        {"run from an odd pixel", 4, {1, 0x70, 4, 0x12, 0, 1}, bottom({7, 1, 2, 1, 2})},
        {"five nibbles padded to four bytes",
         4,
         {0, 5, 0x12, 0x34, 0x50, 0, 0, 1},
         bottom({1, 2, 3, 4, 5})},
        {"three nibbles in two bytes", 4, {0, 3, 0xAB, 0xC0, 0, 1}, bottom({10, 11, 12, 0, 0})},
        {"four nibbles in two bytes",
         4,
         {0, 4, 0x12, 0x34, 1, 0xF0, 0, 1},
         bottom({1, 2, 3, 4, 15})},
        {"nibble run past the row", 4, {6, 0x11, 0, 1}, refused},
        {"nibble absolute run past the row", 4, {2, 0, 0, 4, 0x12, 0x34, 0, 1}, refused},
        {"nibble absolute run without its pad", 4, {0, 5, 0x12, 0x34, 0x50}, refused},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        std::string file = RleBmp(c.bits, 5, 3, c.stream);
        Bitmap bitmap;
        ASSERT_EQ(Decode(file, bitmap), !c.rows.empty());
        if (c.rows.empty())
        {
            EXPECT_TRUE(bitmap.pixels.empty());
            continue;
        }
        ASSERT_EQ(bitmap.width, 5);
        ASSERT_EQ(bitmap.height, 3);
        for (int y = 0; y < 3; ++y)
        {
            for (int x = 0; x < 5; ++x)
            {
                EXPECT_EQ(At(bitmap, x, y), RlePaletteColor(c.rows[y][x])) << x << "," << y;
            }
        }
    }
}

TEST(BmpDecode, RunLengthHeadersAndTruncationsAreRefused)
{
    Bitmap bitmap;
    for (int bits : {4, 8})
    {
        std::vector<int> stream = {0, 3, 0x12, 0x30, 2, 2, 0, 0, 5, 4, 0, 1};
        if (bits == 8)
        {
            stream = {0, 3, 1, 2, 3, 0, 2, 2, 0, 0, 5, 4, 0, 1};
        }
        std::string whole = RleBmp(bits, 5, 3, stream);
        ASSERT_TRUE(Decode(whole, bitmap)) << bits;
        for (std::size_t length = 0; length < whole.size(); ++length)
        {
            std::vector<std::uint8_t> cut(whole.begin(), whole.begin() + length);
            ASSERT_FALSE(platform::DecodeBmp(cut.data(), cut.size(), bitmap))
                << bits << " " << length;
        }
        // (offset, value, bytes written)
        const std::uint32_t lies[][3] = {
            {22, static_cast<std::uint32_t>(-3), 4}, // top-down
            {28, bits == 8 ? 4u : 8u, 2},            // the other depth
            {28, 1, 2},                              // one bit
            {34, 8, 4},                              // coded size short of the end code
            {34, 1000, 4},                           // coded size past the file
        };
        for (const auto& lie : lies)
        {
            std::string bad = whole;
            draw_testing::PutLe(bad, lie[0], lie[1], static_cast<int>(lie[2]));
            EXPECT_FALSE(Decode(bad, bitmap)) << bits << ": " << lie[0] << " = " << lie[1];
        }
        // Without a coded size, the stream runs to the end of the file.
        std::string unsized = whole;
        draw_testing::PutLe(unsized, 34, 0, 4);
        EXPECT_TRUE(Decode(unsized, bitmap)) << bits;
    }
}

TEST(BmpDecode, RandomRunLengthStreamsStayInsideThePicture)
{
    // Streams of random codes, weighted towards the escapes: whatever is decoded comes from
    // the palette, and nothing is read or written outside the buffers (sanitizer build).
    std::mt19937 random(12345);
    int decoded = 0;
    for (int i = 0; i < 3000; ++i)
    {
        std::vector<int> stream;
        int length = static_cast<int>(random() % 24);
        for (int k = 0; k < length; ++k)
        {
            int pick = static_cast<int>(random() % 8);
            stream.push_back(pick < 3   ? 0
                             : pick < 6 ? static_cast<int>(random() % 4)
                                        : static_cast<int>(random() % 256));
        }
        stream.push_back(0);
        stream.push_back(1);
        int bits = i % 2 == 0 ? 4 : 8;
        int width = 1 + static_cast<int>(random() % 7);
        int height = 1 + static_cast<int>(random() % 4);
        std::string file = RleBmp(bits, width, height, stream);
        std::vector<std::uint8_t> bytes(file.begin(), file.end());
        Bitmap bitmap;
        if (!platform::DecodeBmp(bytes.data(), bytes.size(), bitmap))
        {
            ASSERT_TRUE(bitmap.pixels.empty());
            continue;
        }
        ++decoded;
        ASSERT_EQ(bitmap.pixels.size(), static_cast<std::size_t>(width * height));
        for (ColorRef color : bitmap.pixels)
        {
            bool inPalette = color == 0;
            for (int k = 0; k < 16; ++k)
            {
                inPalette = inPalette || color == RlePaletteColor(k);
            }
            ASSERT_TRUE(inPalette) << i;
        }
    }
    EXPECT_GT(decoded, 100);
}
