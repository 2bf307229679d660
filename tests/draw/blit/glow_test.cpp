// voDraw::PutGlow against a reference written from its rings: each direction bit, the clip
// rectangle's edges, the dithering table and its index across calls, the clamped shifts,
// transparency (the reference skips 0) and the keyed copy without directions.
#include <algorithm>
#include <array>
#include <climits>
#include <cstdint>
#include <string>
#include <vector>

#include "tests/draw/blit/blit_support.h"

using blit_testing::Channels;
using blit_testing::ClipByHand;
using blit_testing::ClippedRect;
using blit_testing::ExpectSamePicture;
using draw_testing::Picture;

namespace
{

// The direction bits: the ring k lies k + 1 rows above or below and k columns to the side.
const struct
{
    int bit, dx, dy;
} kDirections[] = {{0x20, -1, -1}, {0x40, 0, -1}, {0x80, 1, -1}, {0x08, -1, 0},
                   {0x10, 1, 0},   {0x01, -1, 1}, {0x02, 0, 1},  {0x04, 1, 1}};

// The glow drawn one source pixel at a time, in row order, onto a copy of the back buffer:
// the source pixel (when drawSource), then rings of its 5-bit channels shifted right, less a
// dither from randomTable3[index] and 1 more per ring, added (held at 31) inside clip until
// all are 0. index is advanced as the member advances it.
Picture GlowReference(const blit_testing::Layout& layout, const Picture& back,
                      const Picture& source, int x, int y, const Rect& r, const Rect& clip,
                      const std::array<int, 3>& shift, int directions, bool drawSource,
                      std::uint32_t& index)
{
    ClippedRect c =
        ClipByHand(x, y, r.left, r.top, r.right, r.bottom, source.width, source.height, clip);
    Picture out = back;
    auto at = [&](int px, int py) -> std::uint16_t&
    { return out.pixels[static_cast<std::size_t>(py * out.width + px)]; };
    for (int j = 0; j < c.height; ++j)
    {
        for (int i = 0; i < c.width; ++i)
        {
            std::uint16_t s = source.At(c.srcLeft + i, c.srcTop + j);
            if (s == 0)
            {
                continue;
            }
            int px = c.x + i, py = c.y + j;
            at(px, py) = drawSource ? s : at(px, py);
            Channels five = layout.Five(s);
            int dither = randomTable3[index];
            index = (index + 1) % 10000;
            int in[3] = {(five.red >> shift[0]) - dither, (five.green >> shift[1]) - dither,
                         (five.blue >> shift[2]) - dither};
            for (int k = 0; k < 31; ++k)
            {
                for (int& v : in)
                {
                    v = std::max(v - 1, 0);
                }
                if (in[0] == 0 && in[1] == 0 && in[2] == 0)
                {
                    break;
                }
                for (const auto& d : kDirections)
                {
                    int ax = px + d.dx * k, ay = py + d.dy * (k + 1);
                    if ((directions & d.bit) && ax >= clip.left && ax < clip.right &&
                        ay >= clip.top && ay < clip.bottom)
                    {
                        Channels p = layout.Five(at(ax, ay));
                        at(ax, ay) =
                            layout.Join5(std::min(p.red + in[0], 31), std::min(p.green + in[1], 31),
                                         std::min(p.blue + in[2], 31));
                    }
                }
            }
        }
    }
    return out;
}

class Glow : public blit_testing::BlitTest
{
};

BLIT_TEST_LAYOUTS(Glow);

} // namespace

TEST_P(Glow, RingsFollowEachDirectionBitWithinTheClipRectangle)
{
    ObjectId id = RandomObject(9, 6, 70);
    Picture source = Object(id);
    const Rect clip{40, 30, 200, 150};
    // Inside, and over each edge of the clip rectangle, where rings are cut.
    const std::pair<int, int> places[] = {{100, 80}, {36, 27}, {195, 146}, {120, 32}, {42, 140}};
    // Without directions a keyed copy or nothing; bits above the low 16 are no directions.
    const int directionSets[] = {0x01, 0x02, 0x04, 0x08, 0x10,    0x20, 0x40,
                                 0x80, 0xFF, 0x5A, 0xA5, 0x1FF42, 0,    0x7FFF0000};
    // Shifts outside 0..31 are taken as the nearest end.
    const std::array<int, 3> shifts[][2] = {{{0, 1, 0}, {0, 1, 0}},
                                            {{1, 0, 3}, {1, 0, 3}},
                                            {{-1, 32, 2}, {0, 31, 2}},
                                            {{2, INT_MAX, INT_MIN}, {2, 31, 0}}};
    int round = 0;
    for (int directions : directionSets)
    {
        for (auto [x, y] : places)
        {
            const auto& [passed, as] = shifts[round % 4];
            bool drawSource = ++round % 2 == 0;
            clipRect = clip;
            RandomBack();
            Picture before = Back();
            // The index goes on from where the last call left it.
            std::uint32_t index = glowTableIndex;
            EXPECT_EQ(voDraw::PutGlow(x, y, passed[0], passed[1], passed[2], directions, drawSource,
                                      id, 0, 0, 9, 6),
                      1);
            std::string what = "directions " + std::to_string(directions) + " at " +
                               std::to_string(x) + ", " + std::to_string(y);
            ExpectSamePicture(Back(),
                              GlowReference(layout, before, source, x, y, Rect{0, 0, 9, 6}, clip,
                                            as, directions, drawSource, index),
                              what);
            EXPECT_EQ(glowTableIndex, index) << what;
        }
    }
}

TEST_P(Glow, FullRedGlowsUpwardsByThirtyDownToOne)
{
    randomTable3[0] = 0;
    ObjectId id = MakeObject(1, 1, [&](int, int) { return layout.Join5(31, 0, 0); });
    FillBack(0);
    EXPECT_EQ(voDraw::PutGlow(100, 100, 0, 0, 0, 0x40, 0, id, 0, 0, 1, 1), 1);
    Picture back = Back();
    for (int m = 1; m <= 30; ++m)
    {
        EXPECT_EQ(back.At(100, 100 - m), layout.Join5(31 - m, 0, 0)) << m;
    }
    // Nothing else: not the source's own place, not the ring for intensity 0.
    EXPECT_EQ(back.CountIn(0, 0, 0, 640, 480), 640 * 480 - 30);
}

TEST_P(Glow, TheTableIndexWrapsAtTenThousand)
{
    // Five opaque pixels, each advancing the index by one.
    ObjectId id = MakeObject(5, 2, [&](int, int y) { return y == 0 ? NonZero() : 0; });
    // From 9998 it wraps after two; reaching 10000 on the last pixel leaves 0; an index a
    // caller set past the table starts again at 0 instead of reading outside it.
    for (auto [from, to] : {std::pair{9998u, 3u}, {9995u, 0u}, {123456u, 5u}})
    {
        glowTableIndex = from;
        EXPECT_EQ(voDraw::PutGlow(10, 10, 0, 0, 0, 0xFF, 1, id, 0, 0, 5, 2), 1);
        EXPECT_EQ(glowTableIndex, to) << from;
    }
}
