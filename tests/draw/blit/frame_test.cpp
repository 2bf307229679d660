// The blit frame every software blitter shares: cutting and clipping, what is read and written,
// the locks and their failures, the refusals, and the two instruction-set paths.
#include <cstdlib>

#include "draw/blit/blit_internal.h"
#include "tests/draw/blit/blit_support.h"

using blit_testing::ExpectSamePicture;
using blit_testing::ReferenceBlit;
using draw_testing::Picture;

namespace
{

class Frame : public blit_testing::BlitTest
{
  protected:
    // A keyed copy through the frame, the simplest member there can be.
    int Copy(int x, int y, ObjectId id, const Rect& r)
    {
        return BlitRows(x, y, id, r.left, r.top, r.right, r.bottom,
                        [](const std::uint16_t* s, std::uint16_t* d, int width)
                        {
                            for (int i = 0; i < width; ++i)
                            {
                                d[i] = s[i] != 0 ? s[i] : d[i];
                            }
                        });
    }
    bool CanLock(platform::Surface* surface)
    {
        platform::PixelBuffer view;
        if (platform::LockSurface(surface, view) != platform::SurfaceResult::Ok)
        {
            return false;
        }
        platform::UnlockSurface(surface);
        return true;
    }
};

BLIT_TEST_LAYOUTS(Frame);

} // namespace

TEST_P(Frame, CopiesWhatTheCutAndClippedRectangleShows)
{
    // Object 40 x 30 (its surface is 40 x 31); positions and rectangles around every edge of
    // a clip rectangle, and source rectangles reaching outside the object.
    ObjectId id = RandomObject(40, 30);
    Picture source = Object(id);
    struct Case
    {
        int x, y;
        Rect source;
        Rect clip;
    };
    const Rect full{0, 0, 640, 480};
    const Rect inner{100, 50, 300, 200};
    const Case cases[] = {
        {10, 10, {0, 0, 40, 30}, full},         // whole object
        {620, 470, {0, 0, 40, 30}, full},       // past the right and bottom of the screen
        {-7, -5, {0, 0, 40, 30}, full},         // past the left and top: source moves along
        {90, 45, {3, 2, 33, 22}, inner},        // over the clip's left and top edges
        {280, 190, {3, 2, 33, 22}, inner},      // over its right and bottom edges
        {100, 50, {5, 5, 5, 20}, inner},        // width exactly 0
        {100, 50, {5, 5, 20, 5}, inner},        // height exactly 0
        {300, 60, {0, 0, 40, 30}, inner},       // wholly right of the clip
        {120, 200, {0, 0, 40, 30}, inner},      // wholly below
        {50, 60, {0, 0, 40, 30}, inner},        // wholly left
        {120, 10, {0, 0, 40, 30}, inner},       // wholly above
        {150, 100, {-10, -4, 35, 25}, inner},   // source starts before the object
        {150, 100, {20, 20, 90, 70}, inner},    // source ends past the object
        {150, 100, {-50, -50, 500, 500}, full}, // both
        {150, 100, {45, 0, 60, 10}, full},      // source wholly right of the object
        {150, 100, {10, 8, 5, 20}, full},       // right before left
        {-2000000000, 2000000000, {0, 0, 40, 30}, full}, // far away, no overflow
        {2000000000, -2000000000, {-2000000000, 0, 2000000000, 30}, full},
        {0, 0, {0, 0, 40, 30}, Rect{-100, -100, 5000, 5000}}, // clip wider than the screen
    };
    for (const Case& c : cases)
    {
        clipRect = c.clip;
        RandomBack();
        Picture before = Back();
        EXPECT_EQ(Copy(c.x, c.y, id, c.source), 1);
        Rect visible{std::max(c.clip.left, 0), std::max(c.clip.top, 0),
                     std::min(c.clip.right, 640), std::min(c.clip.bottom, 480)};
        Picture expected =
            ReferenceBlit(before, source, c.x, c.y, c.source, visible,
                          [](std::uint16_t s, std::uint16_t, int, int) { return s; });
        ExpectSamePicture(Back(), expected,
                          "at " + std::to_string(c.x) + ", " + std::to_string(c.y));
    }
}

TEST_P(Frame, LocksOnlyWhenSomethingIsLeftAndGivesBothSurfacesBack)
{
    ObjectId id = RandomObject(16, 16);
    platform::Surface* back = BackBuffer();
    platform::Surface* source = objectTable[id].surface;
    platform::PixelBuffer view;

    // Wholly clipped: no lock is taken, so a held back buffer does not matter.
    ASSERT_EQ(platform::LockSurface(back, view), platform::SurfaceResult::Ok);
    EXPECT_EQ(Copy(700, 10, id, Rect{0, 0, 16, 16}), 1);
    EXPECT_EQ(Copy(10, 10, id, Rect{0, 0, -1, 16}), 1);
    // Something to draw: the back buffer's lock fails and the source is given back.
    EXPECT_EQ(Copy(10, 10, id, Rect{0, 0, 16, 16}), 0);
    EXPECT_TRUE(CanLock(source));
    platform::UnlockSurface(back);

    // The source's lock fails first: the back buffer is never taken.
    ASSERT_EQ(platform::LockSurface(source, view), platform::SurfaceResult::Ok);
    EXPECT_EQ(Copy(10, 10, id, Rect{0, 0, 16, 16}), 0);
    EXPECT_TRUE(CanLock(back));
    platform::UnlockSurface(source);

    // A width of 0 still locks both and gives both back.
    EXPECT_EQ(Copy(10, 10, id, Rect{4, 0, 4, 16}), 1);
    EXPECT_TRUE(CanLock(back));
    EXPECT_TRUE(CanLock(source));

    // Lost surfaces fail their locks; nothing is restored here.
    platform::LoseAllSurfaces();
    EXPECT_EQ(Copy(10, 10, id, Rect{0, 0, 16, 16}), 0);
    EXPECT_TRUE(platform::IsSurfaceLost(source));
}

TEST_P(Frame, RefusesObjectsWithoutSurfaceAndAMissingScreen)
{
    ObjectId id = RandomObject(8, 8);
    RandomBack();
    Picture before = Back();
    for (ObjectId bad : {-1, 1024, 70000, 500})
    {
        EXPECT_EQ(Copy(0, 0, bad, Rect{0, 0, 8, 8}), 0) << bad;
    }
    ExpectSamePicture(Back(), before);
    voDraw::Release();
    EXPECT_EQ(Copy(0, 0, id, Rect{0, 0, 8, 8}), 0);
}

TEST(FrameDesktop, RefusesOnADesktopThatIsNot16Bits)
{
    testing_support::TempDir folder;
    draw_testing::HeadlessConfig config;
    config.desktopBpp = 32;
    draw_testing::StartWindow(config);
    if (voDraw::Screen(640, 480, 1) != 1 || BackBuffer() == nullptr)
    {
        GTEST_SKIP() << "no screen on a 32-bit desktop";
    }
    ObjectId id = voDraw::CreateObject(8, 8, 2);
    ASSERT_NE(id, 0);
    int calls = 0;
    EXPECT_EQ(BlitRows(0, 0, id, 0, 0, 8, 8, [&](const std::uint16_t*, std::uint16_t*, int)
                       { ++calls; }),
              0);
    EXPECT_EQ(calls, 0);
}

TEST(BlitPaths, TheEnvironmentSwitchForcesTheBaseline)
{
    setenv("PLONDER_BLIT_BASELINE", "1", 1);
    EXPECT_EQ(ActiveBlitPath(), BlitPath::Baseline);
}

TEST(BlitPaths, BaselineCanAlwaysBeChosen)
{
    EXPECT_TRUE(SetBlitPath(BlitPath::Baseline));
    EXPECT_EQ(ActiveBlitPath(), BlitPath::Baseline);
    int ran = 0;
    RunVectorised([&] { ++ran; });
    if (SetBlitPath(BlitPath::Avx2))
    {
        EXPECT_EQ(ActiveBlitPath(), BlitPath::Avx2);
        RunVectorised([&] { ++ran; });
    }
    else
    {
        ++ran;
    }
    EXPECT_EQ(ran, 2);
}
