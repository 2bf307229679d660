// Test support for the software blitters: a screen in 565 or 555, objects and back buffers of
// random pixels, the channel layouts written out independently of the framework's tables, and
// a plain per-pixel reference of the blit frame to compare whole back buffers against.
#pragma once

#include <cstdint>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "draw/blit/blit.h"
#include "draw/blit/blit_internal.h"
#include "tests/draw/draw_support.h"

namespace blit_testing
{

using draw_testing::Picture;

// A pixel's channels on one scale.
struct Channels
{
    int red, green, blue;
};

// The layouts, written out here rather than read from PixelFormatInfo or the tables.
struct Layout
{
    bool rgb555 = false;

    int RedShift() const
    {
        return rgb555 ? 10 : 11;
    }
    int GreenMax() const
    {
        return rgb555 ? 31 : 63;
    }
    // Native channel values: 0..31, and 0..63 for the 565 green.
    Channels Native(std::uint16_t p) const
    {
        return Channels{(p >> RedShift()) & 31, (p >> 5) & GreenMax(), p & 31};
    }
    // Native values joined with their shifts, unmasked: a value past its field spills.
    std::uint16_t JoinNative(int red, int green, int blue) const
    {
        return static_cast<std::uint16_t>((red << RedShift()) | (green << 5) | blue);
    }
    // 5-bit channel values: the 565 green loses its lowest bit.
    Channels Five(std::uint16_t p) const
    {
        Channels c = Native(p);
        if (!rgb555)
        {
            c.green >>= 1;
        }
        return c;
    }
    // 5-bit values placed at the top of each field.
    std::uint16_t Join5(int red, int green, int blue) const
    {
        return static_cast<std::uint16_t>((red << RedShift()) | (green << (rgb555 ? 5 : 6)) | blue);
    }
    std::uint16_t RedMask() const
    {
        return rgb555 ? 0x7C00 : 0xF800;
    }
    std::uint16_t GreenMask() const
    {
        return rgb555 ? 0x03E0 : 0x07E0;
    }
    std::uint16_t BlueMask() const
    {
        return 0x001F;
    }
    // A random valid pixel of this layout (555 keeps bit 15 clear).
    std::uint16_t Random(std::mt19937& random) const
    {
        return static_cast<std::uint16_t>(random() & (rgb555 ? 0x7FFF : 0xFFFF));
    }
};

// The per-pixel step of a reference: the new back-buffer pixel from the source pixel s (never
// 0 unless the member is unkeyed), the back-buffer pixel d and the position (i, j) inside the
// clipped rectangle.
using PixelStep = std::function<std::uint16_t(std::uint16_t s, std::uint16_t d, int i, int j)>;

// A source rectangle cut and clipped the plain way, one pixel at a time: every destination
// pixel of the rectangle placed at (x, y) that lies inside clip and whose source pixel lies
// inside the object. Calls visit(source x, source y, destination x, destination y) in row
// order; i and j count from the clipped rectangle's top-left.
struct ClippedRect
{
    int srcLeft = 0, srcTop = 0, x = 0, y = 0, width = 0, height = 0;
    bool drawn = false;
};

inline ClippedRect ClipByHand(int x, int y, int srcLeft, int srcTop, int srcRight, int srcBottom,
                              int objectWidth, int objectHeight, const Rect& clip)
{
    // The visible destination columns are those whose source column is inside both the
    // rectangle and the object and whose own column is inside clip; wide, so far positions
    // cannot overflow.
    using Wide = std::int64_t;
    ClippedRect out;
    Wide firstX = std::max({Wide{x}, Wide{clip.left}, Wide{x} - srcLeft});
    Wide firstY = std::max({Wide{y}, Wide{clip.top}, Wide{y} - srcTop});
    Wide lastX =
        std::min({Wide{x} + srcRight - srcLeft, Wide{clip.right}, Wide{x} + objectWidth - srcLeft});
    Wide lastY = std::min(
        {Wide{y} + srcBottom - srcTop, Wide{clip.bottom}, Wide{y} + objectHeight - srcTop});
    out.drawn = lastX >= firstX && lastY >= firstY;
    if (out.drawn)
    {
        out.x = static_cast<int>(firstX);
        out.y = static_cast<int>(firstY);
        out.srcLeft = static_cast<int>(srcLeft + (firstX - x));
        out.srcTop = static_cast<int>(srcTop + (firstY - y));
        out.width = static_cast<int>(lastX - firstX);
        out.height = static_cast<int>(lastY - firstY);
    }
    return out;
}

// The back buffer after a keyed blit of source's rectangle at (x, y) with step, computed
// one pixel at a time from the pictures before the call.
inline Picture ReferenceBlit(const Picture& back, const Picture& source, int x, int y,
                             const Rect& sourceRect, const Rect& clip, const PixelStep& step,
                             bool keyed = true)
{
    Picture out = back;
    ClippedRect c = ClipByHand(x, y, sourceRect.left, sourceRect.top, sourceRect.right,
                               sourceRect.bottom, source.width, source.height, clip);
    for (int j = 0; j < c.height; ++j)
    {
        for (int i = 0; i < c.width; ++i)
        {
            std::uint16_t s = source.At(c.srcLeft + i, c.srcTop + j);
            if (keyed && s == 0)
            {
                continue;
            }
            std::size_t at = static_cast<std::size_t>((c.y + j) * out.width + c.x + i);
            out.pixels[at] = step(s, back.At(c.x + i, c.y + j), i, j);
        }
    }
    return out;
}

// Expects two pictures equal, naming the first pixels that differ.
inline void ExpectSamePicture(const Picture& actual, const Picture& expected,
                              const std::string& what = "")
{
    ASSERT_EQ(actual.width, expected.width) << what;
    ASSERT_EQ(actual.height, expected.height) << what;
    int shown = 0;
    int differing = 0;
    for (int y = 0; y < actual.height; ++y)
    {
        for (int x = 0; x < actual.width; ++x)
        {
            if (actual.At(x, y) != expected.At(x, y))
            {
                ++differing;
                if (shown < 5)
                {
                    ++shown;
                    ADD_FAILURE() << what << " pixel (" << x << ", " << y << "): 0x" << std::hex
                                  << actual.At(x, y) << " instead of 0x" << expected.At(x, y);
                }
            }
        }
    }
    EXPECT_EQ(differing, 0) << what;
}

// Runs check(path name) on the baseline path and, where the processor has it, on AVX2.
inline void OnEachPath(const std::function<void(const std::string&)>& check)
{
    ASSERT_TRUE(SetBlitPath(BlitPath::Baseline));
    check("baseline");
    if (SetBlitPath(BlitPath::Avx2))
    {
        check("avx2");
    }
}

// A screen in 565 (parameter false) or 555 (true), with helpers for random objects and back
// buffers. Every test of a fixture derived from this runs in both layouts.
class BlitTest : public ::testing::TestWithParam<bool>
{
  protected:
    void SetUp() override
    {
        layout.rgb555 = GetParam();
        draw_testing::HeadlessConfig config;
        config.rgb555 = layout.rgb555;
        ASSERT_EQ(draw_testing::StartScreen(config), 1);
    }

    // A blank object of width x height (its surface has one row more) painted by f.
    ObjectId MakeObject(int width, int height, const std::function<std::uint16_t(int, int)>& f)
    {
        ObjectId id = voDraw::CreateObject(width, height, 2);
        EXPECT_NE(id, 0);
        draw_testing::PaintSurface(objectTable[id].surface, f);
        return id;
    }
    // An object of random pixels of which about zeroPercent are 0 (transparent).
    ObjectId RandomObject(int width, int height, int zeroPercent = 10)
    {
        return MakeObject(width, height,
                          [&](int, int)
                          {
                              bool zero = static_cast<int>(random() % 100) < zeroPercent;
                              return zero ? std::uint16_t{0} : NonZero();
                          });
    }
    void RandomBack()
    {
        draw_testing::PaintSurface(BackBuffer(), [&](int, int) { return layout.Random(random); });
    }
    void FillBack(std::uint16_t value)
    {
        draw_testing::PaintSurface(BackBuffer(), [&](int, int) { return value; });
    }
    std::uint16_t NonZero()
    {
        std::uint16_t p = 0;
        while (p == 0)
        {
            p = layout.Random(random);
        }
        return p;
    }
    Picture Back() const
    {
        return draw_testing::ReadBackBuffer();
    }
    Picture Object(ObjectId id) const
    {
        return draw_testing::ReadSurface(objectTable[id].surface);
    }

    Layout layout;
    std::mt19937 random{12345};
    testing_support::TempDir folder;
};

// Names the layout in test names: .../Rgb565 and .../Rgb555.
inline std::string LayoutName(const ::testing::TestParamInfo<bool>& info)
{
    return info.param ? "Rgb555" : "Rgb565";
}

} // namespace blit_testing

// Runs every test of fixture in both layouts.
#define BLIT_TEST_LAYOUTS(fixture)                                                                 \
    INSTANTIATE_TEST_SUITE_P(Layouts, fixture, ::testing::Bool(), blit_testing::LayoutName)
