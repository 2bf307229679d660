// BMP decoding: every depth, both row orders, the header forms, and the refusal of
// truncated, lying and unsupported files without reading past them.
#include <random>

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
        {30, 1, 4},          // run-length coded
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
