// voDraw::PutGlow against a reference written from its rings: each direction bit, the clip
// rectangle's edges, the dithering table and its index across calls, the clamped shifts.
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "draw/blit/blit_internal.h"
#include "tests/draw/blit/blit_support.h"

using blit_testing::Channels;
using blit_testing::ClipByHand;
using blit_testing::ClippedRect;
using blit_testing::ExpectSamePicture;
using blit_testing::ReferenceBlit;
using draw_testing::Picture;

namespace
{

struct GlowArgs
{
    int shiftRed, shiftGreen, shiftBlue; // 0..31 here
    int directions;
    int drawSource;
};

// The glow drawn one source pixel at a time onto a copy of the back buffer; index is the
// position in randomTable3, advanced as the member advances it.
Picture GlowReference(const blit_testing::Layout& layout, const Picture& back,
                      const Picture& source, int x, int y, const Rect& r, const Rect& clip,
                      const GlowArgs& g, std::uint32_t& index)
{
    ClippedRect c =
        ClipByHand(x, y, r.left, r.top, r.right, r.bottom, source.width, source.height, clip);
    Picture out = back;
    auto add = [&](int px, int py, const Channels& in)
    {
        Channels p = layout.Five(out.At(px, py));
        out.pixels[static_cast<std::size_t>(py * out.width + px)] =
            layout.Join5(std::min(p.red + in.red, 31), std::min(p.green + in.green, 31),
                         std::min(p.blue + in.blue, 31));
    };
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
            if (g.drawSource != 0)
            {
                out.pixels[static_cast<std::size_t>(py * out.width + px)] = s;
            }
            Channels five = layout.Five(s);
            Channels in{five.red >> g.shiftRed, five.green >> g.shiftGreen,
                        five.blue >> g.shiftBlue};
            int rnd = randomTable3[index];
            index = index + 1 == 10000 ? 0 : index + 1;
            in = Channels{std::max(in.red - rnd, 0), std::max(in.green - rnd, 0),
                          std::max(in.blue - rnd, 0)};
            for (int k = 0; k < 31; ++k)
            {
                in = Channels{std::max(in.red - 1, 0), std::max(in.green - 1, 0),
                              std::max(in.blue - 1, 0)};
                if (in.red == 0 && in.green == 0 && in.blue == 0)
                {
                    break;
                }
                int d = g.directions;
                if (py - (k + 1) >= clip.top)
                {
                    int yu = py - (k + 1);
                    if (d & 0x40)
                    {
                        add(px, yu, in);
                    }
                    if ((d & 0x20) && px - k >= clip.left)
                    {
                        add(px - k, yu, in);
                    }
                    if ((d & 0x80) && px + k < clip.right)
                    {
                        add(px + k, yu, in);
                    }
                }
                if (py + k + 1 < clip.bottom)
                {
                    int yd = py + k + 1;
                    if (d & 0x02)
                    {
                        add(px, yd, in);
                    }
                    if ((d & 0x01) && px - k >= clip.left)
                    {
                        add(px - k, yd, in);
                    }
                    if ((d & 0x04) && px + k < clip.right)
                    {
                        add(px + k, yd, in);
                    }
                }
                if ((d & 0x08) && px - k >= clip.left)
                {
                    add(px - k, py, in);
                }
                if ((d & 0x10) && px + k < clip.right)
                {
                    add(px + k, py, in);
                }
            }
        }
    }
    return out;
}

class Glow : public blit_testing::BlitTest
{
  protected:
    int Put(int x, int y, const GlowArgs& g, ObjectId id, const Rect& r)
    {
        return voDraw::PutGlow(x, y, g.shiftRed, g.shiftGreen, g.shiftBlue, g.directions,
                               g.drawSource, id, r.left, r.top, r.right, r.bottom);
    }
};

BLIT_TEST_LAYOUTS(Glow);

} // namespace

TEST_P(Glow, RingsFollowEachDirectionBitWithinTheClipRectangle)
{
    ObjectId id = RandomObject(9, 6, 70);
    Picture source = Object(id);
    const Rect clip{40, 30, 200, 150};
    struct Place
    {
        int x, y;
    };
    // Inside, and over each edge of the clip rectangle, where rings are cut.
    const Place places[] = {{100, 80}, {36, 27}, {195, 146}, {120, 32}, {42, 140}};
    const int directionSets[] = {0x01, 0x02, 0x04, 0x08, 0x10, 0x20,
                                 0x40, 0x80, 0xFF, 0x5A, 0xA5, 0x1FF42};
    int round = 0;
    for (int directions : directionSets)
    {
        for (const Place& p : places)
        {
            GlowArgs g{round % 3, (round + 1) % 2, round % 4 == 3 ? 3 : 0, directions, round % 2};
            ++round;
            clipRect = clip;
            RandomBack();
            Picture before = Back();
            std::uint32_t index = glowTableIndex;
            EXPECT_EQ(Put(p.x, p.y, g, id, Rect{0, 0, 9, 6}), 1);
            Picture expected =
                GlowReference(layout, before, source, p.x, p.y, Rect{0, 0, 9, 6}, clip, g, index);
            std::string what = "directions " + std::to_string(directions) + " at " +
                               std::to_string(p.x) + ", " + std::to_string(p.y);
            ExpectSamePicture(Back(), expected, what);
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
    EXPECT_EQ(glowTableIndex, 1u);
}

TEST_P(Glow, TheTableIndexPersistsAcrossCallsAndWrapsAtTenThousand)
{
    // Five opaque pixels, each advancing the index by one.
    ObjectId id = MakeObject(5, 2, [&](int, int y) { return y == 0 ? NonZero() : 0; });
    glowTableIndex = 9998;
    EXPECT_EQ(voDraw::PutGlow(10, 10, 0, 0, 0, 0xFF, 1, id, 0, 0, 5, 2), 1);
    EXPECT_EQ(glowTableIndex, 3u);
    EXPECT_EQ(voDraw::PutGlow(10, 10, 0, 0, 0, 0, 0, id, 0, 0, 5, 2), 1);
    EXPECT_EQ(glowTableIndex, 8u);
    // Reaching 10000 on the last pixel leaves 0.
    glowTableIndex = 9995;
    EXPECT_EQ(voDraw::PutGlow(10, 10, 0, 0, 0, 0, 1, id, 0, 0, 5, 2), 1);
    EXPECT_EQ(glowTableIndex, 0u);
    // An index a caller set past the table starts again at 0 instead of reading outside it.
    glowTableIndex = 123456;
    EXPECT_EQ(voDraw::PutGlow(10, 10, 0, 0, 0, 0xFF, 0, id, 0, 0, 5, 2), 1);
    EXPECT_EQ(glowTableIndex, 5u);
}

TEST_P(Glow, ShiftsOutsideTheRangeAreTakenAsTheNearestEnd)
{
    ObjectId id = RandomObject(6, 6, 50);
    Picture source = Object(id);
    struct Case
    {
        GlowArgs passed, as;
    };
    const Case cases[] = {
        {{-1, -100, INT_MIN, 0xFF, 1}, {0, 0, 0, 0xFF, 1}},
        {{32, INT_MAX, 1, 0xFF, 0}, {31, 31, 1, 0xFF, 0}},
    };
    for (const Case& c : cases)
    {
        RandomBack();
        Picture before = Back();
        std::uint32_t index = glowTableIndex;
        EXPECT_EQ(Put(300, 200, c.passed, id, Rect{0, 0, 6, 6}), 1);
        ExpectSamePicture(Back(), GlowReference(layout, before, source, 300, 200, Rect{0, 0, 6, 6},
                                                Rect{0, 0, 640, 480}, c.as, index));
    }
}

TEST_P(Glow, WithoutDirectionsItIsAKeyedCopyOrNothing)
{
    ObjectId id = RandomObject(20, 15, 30);
    RandomBack();
    Picture before = Back();
    EXPECT_EQ(voDraw::PutGlow(50, 60, 0, 0, 0, 0, 1, id, 0, 0, 20, 15), 1);
    ExpectSamePicture(
        Back(), ReferenceBlit(before, Object(id), 50, 60, Rect{0, 0, 20, 15}, Rect{0, 0, 640, 480},
                              [](std::uint16_t s, std::uint16_t, int, int) { return s; }));
    // Bits above the low 16 are not directions.
    before = Back();
    EXPECT_EQ(voDraw::PutGlow(50, 60, 0, 0, 0, 0x7FFF0000, 0, id, 0, 0, 20, 15), 1);
    ExpectSamePicture(Back(), before);
}
