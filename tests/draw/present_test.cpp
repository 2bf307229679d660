// The present step: the picture the window shows, the vertical-blank wait, every
// transition kind at its first and last steps, the scene transition and the help overlay.
#include "platform/headless/capture.h"
#include "tests/draw/draw_support.h"

using draw_testing::BackPixel;
using draw_testing::Bmp24;
using draw_testing::PaintSurface;
using draw_testing::PassTime;
using draw_testing::StartScreen;
using platform::headless::CapturedFrames;
using testing_support::TempDir;

namespace
{

constexpr std::uint16_t kNew = 0x1234;

// The old picture: a value that tells x (mod 256) and y (mod 128) apart.
std::uint16_t Old(int x, int y)
{
    return static_cast<std::uint16_t>(0x8000 | ((y & 0x7F) << 8) | (x & 0xFF));
}

} // namespace

TEST(Present, ShowsTheTopLeftOfTheBackBufferInTheWindowAfterTheBlank)
{
    TempDir folder;
    ASSERT_EQ(StartScreen({}, 100, 90), 1);
    PaintSurface(BackBuffer(), Old);
    std::uint32_t before = platform::NowMs();
    voDraw::Present();
    ASSERT_EQ(CapturedFrames().size(), 1u);
    const auto& frame = CapturedFrames().back();
    EXPECT_EQ(frame.width, 160);
    EXPECT_EQ(frame.height, 180);
    EXPECT_FALSE(frame.rgb555);
    EXPECT_EQ(frame.pixels[0], Old(0, 0));
    EXPECT_EQ(frame.pixels[89 * 160 + 99], Old(99, 89));
    // A screen smaller than the window leaves the rest of the window as it was.
    EXPECT_EQ(frame.pixels[89 * 160 + 100], 0u);
    EXPECT_EQ(frame.pixels[90 * 160 + 5], 0u);
    // One 60 Hz refresh passed in the wait.
    EXPECT_GE(frame.clockMs - before, 16u);
    EXPECT_LE(frame.clockMs - before, 17u);
}

TEST(Present, FullScreenShowsTheWholeDisplayModeLargerThanTheWindow)
{
    TempDir folder;
    draw_testing::StartWindow();
    fullScreen = 1;
    ASSERT_EQ(voDraw::Screen(640, 480, 1), 1);
    PaintSurface(BackBuffer(), Old);
    voDraw::Present();
    ASSERT_EQ(CapturedFrames().size(), 1u);
    const auto& frame = CapturedFrames().back();
    ASSERT_TRUE(frame.width == 640 && frame.height == 480);
    for (int y = 0; y < 480; ++y)
    {
        for (int x = 0; x < 640; ++x)
        {
            ASSERT_EQ(frame.pixels[y * 640 + x], Old(x, y)) << x << "," << y;
        }
    }
    // Back in a window, the window's client area is shown again.
    fullScreen = 0;
    ASSERT_EQ(voDraw::Screen(640, 480, 1), 1);
    PaintSurface(BackBuffer(), Old);
    voDraw::Present();
    ASSERT_EQ(CapturedFrames().size(), 2u);
    EXPECT_TRUE(CapturedFrames().back().width == 160 && CapturedFrames().back().height == 180);
    EXPECT_EQ(CapturedFrames().back().pixels[179 * 160 + 159], Old(159, 179));
}

TEST(Present, AFailedVerticalBlankLeavesTheLastFrameShown)
{
    TempDir folder;
    platform::headless::HeadlessConfig config;
    config.vblankFails = true;
    ASSERT_EQ(StartScreen(config), 1);
    voDraw::SetWaitVSync(0);
    voDraw::FillColor(0, 0, 640, 480, 0x0101);
    voDraw::Present();
    ASSERT_EQ(CapturedFrames().size(), 1u);
    voDraw::SetWaitVSync(1);
    voDraw::FillColor(0, 0, 640, 480, 0x0202);
    voDraw::Present();
    voDraw::Present();
    ASSERT_EQ(CapturedFrames().size(), 1u);
    EXPECT_EQ(CapturedFrames().back().pixels[0], 0x0101u);
}

namespace
{

using Point = std::pair<int, int>;
// The old picture's position shown at (x, y), or x = -1 for the new picture.
using Expected = Point (*)(int x, int y);

Point NewOnly(int, int)
{
    return {-1, 0};
}

class Transitions : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        ASSERT_EQ(StartScreen(), 1);
        PaintSurface(objectTable[1].surface, Old);
        NewPicture();
    }
    void NewPicture()
    {
        PaintSurface(BackBuffer(), [](int, int) { return kNew; });
    }
    // Runs kind with 10 steps and stops before the present of step `until`, with the new
    // picture in the back buffer.
    void RunTo(int kind, int until)
    {
        transitionKind = kind;
        transitionSteps = 10;
        voDraw::StartTransitionIn();
        while (transitionStep != until)
        {
            voDraw::Present();
        }
        NewPicture();
    }
    // Checks every 7th pixel of every 3rd row.
    void ExpectPicture(Expected expected)
    {
        draw_testing::Picture back = draw_testing::ReadBackBuffer();
        for (int y = 0; y < 480; y += 3)
        {
            for (int x = 0; x < 640; x += 7)
            {
                auto [ox, oy] = expected(x, y);
                ASSERT_EQ(back.At(x, y), ox < 0 ? kNew : Old(ox, oy)) << x << "," << y;
            }
        }
    }

    TempDir folder;
};

} // namespace

TEST_F(Transitions, EveryKindAtItsFirstAndLastSteps)
{
    // Ten steps at 640 x 480: step 10 is the first present, step 1 the last.
    struct Case
    {
        int kind, step;
        Expected expected;
    };
    // clang-format off
    const Case cases[] = {
        {1, 10, [](int x, int y) { return y % 10 != 0 ? Point{x, y} : Point{-1, 0}; }},
        {1, 1, NewOnly},
        {2, 10, [](int x, int y) { return Point{x, y}; }},
        {2, 1, [](int x, int y) { return y % 10 < 2 ? Point{x, y} : Point{-1, 0}; }},
        {5, 10, [](int x, int y) { return y < 432 ? Point{x, y + 48} : Point{-1, 0}; }},
        {6, 10, [](int x, int y) { return y >= 48 ? Point{x, y - 48} : Point{-1, 0}; }},
        {7, 10, [](int x, int y) { return x < 576 ? Point{x + 64, y} : Point{-1, 0}; }},
        {8, 10, [](int x, int y) { return x >= 64 ? Point{x - 64, y} : Point{-1, 0}; }},
        {9, 10, [](int x, int y) { return y < 216 ? Point{x, y + 24}
                                        : y >= 264 ? Point{x, y - 24} : Point{-1, 0}; }},
        {10, 10, [](int x, int y) { return x < 288 ? Point{x + 32, y}
                                         : x >= 352 ? Point{x - 32, y} : Point{-1, 0}; }},
        {11, 10, [](int x, int y) { return Point{x, y}; }},
        {11, 1, [](int x, int y) { return x < 64 ? Point{x, y} : Point{-1, 0}; }},
        {12, 10, [](int x, int y) { return x >= 64 ? Point{x, y} : Point{-1, 0}; }},
        {13, 10, NewOnly}, // kind 13 only waits out its steps
        {13, 1, NewOnly},
    };
    // clang-format on
    for (const Case& c : cases)
    {
        SCOPED_TRACE(::testing::Message() << "kind " << c.kind << " step " << c.step);
        RunTo(c.kind, c.step);
        voDraw::Present();
        ExpectPicture(c.expected);
    }
    for (int kind : {5, 6, 7, 8, 9, 10, 12})
    {
        SCOPED_TRACE(::testing::Message() << "kind " << kind << " step 1");
        RunTo(kind, 1);
        voDraw::Present();
        ExpectPicture(NewOnly);
    }
    EXPECT_EQ(transitionStep, 0);
    EXPECT_EQ(transitionDirection, 0);
}

TEST_F(Transitions, Kinds3And4ShiftRowsAndBandsByRandomAmounts)
{
    // At the first step of kind 3 a row moves by -1 or 0; both happen.
    SeedRandom(7);
    RunTo(3, 10);
    voDraw::Present();
    int moved = 0;
    for (int y = 1; y < 480; ++y)
    {
        std::uint32_t pixel = BackPixel(50, y);
        ASSERT_TRUE(y % 10 == 0 ? pixel == kNew : pixel == Old(50, y) || pixel == Old(51, y)) << y;
        moved += pixel == Old(51, y) ? 1 : 0;
    }
    EXPECT_GT(moved, 50);
    EXPECT_LT(moved, 432 - 50);
    // At the last step of kind 4 a band moves by -10 to 9 and spans 2 rows.
    RunTo(4, 1);
    voDraw::Present();
    for (int y = 0; y < 480; y += 10)
    {
        int dx = -10;
        while (dx <= 9 && BackPixel(100, y) != Old(100 - dx, y))
        {
            ++dx;
        }
        ASSERT_LE(dx, 9) << y;
        ASSERT_EQ(BackPixel(100, y + 1), Old(100 - dx, y + 1));
        ASSERT_EQ(BackPixel(100, y + 2), kNew);
    }
}

TEST_F(Transitions, Kind0PlaysThePatternFramesForwardOutAndBackwardIn)
{
    ObjectId pattern = voDraw::CreateObject(640, 47, 2); // ten 64 x 48 frames
    // Frame f: 0x4000 + f * 0x100 + row; the left column of every frame is black (the key).
    PaintSurface(
        objectTable[pattern].surface, [](int x, int y)
        { return x % 64 == 0 ? 0 : static_cast<std::uint16_t>(0x4000 + x / 64 * 0x100 + y); });
    transitionKind = 0;
    transitionPattern = pattern;
    voDraw::StartTransitionOut();
    EXPECT_TRUE(DrawingHoldsInput());
    voDraw::Present();
    EXPECT_EQ(BackPixel(64 * 3 + 5, 48 * 2 + 7), 0x4000u + 7);
    EXPECT_EQ(BackPixel(64 * 9 + 63, 48 * 9 + 47), 0x4000u + 47);
    EXPECT_EQ(BackPixel(64 * 3, 48 * 2), kNew);
    while (transitionStep != 0)
    {
        voDraw::Present();
    }
    EXPECT_EQ(BackPixel(64 * 3 + 5, 48 * 2 + 7), 0x4900u + 7);
    voDraw::StartTransitionIn();
    NewPicture();
    voDraw::Present();
    EXPECT_EQ(BackPixel(5, 7), 0x4900u + 7);
}

TEST_F(Transitions, SceneTransitionOpensTheLastPictureOverSixtySteps)
{
    PaintSurface(BackBuffer(), Old);
    programMode = 3;
    prevProgramMode = 3;
    voDraw::StartSceneTransition(2);
    EXPECT_EQ(transitionKind, 9);
    EXPECT_EQ(programMode, 1);
    EXPECT_EQ(prevProgramMode, 0);
    NewPicture();
    voDraw::Present();
    // t = 60: the halves are 4 rows away from home.
    ExpectPicture(
        [](int x, int y) {
            return y < 236 ? Point{x, y + 4} : y >= 244 ? Point{x, y - 4} : Point{-1, 0};
        });
    int presents = 1;
    for (; transitionStep != 1; ++presents)
    {
        voDraw::Present();
    }
    NewPicture();
    voDraw::Present();
    EXPECT_EQ(presents + 1, 60);
    ExpectPicture(NewOnly);
    EXPECT_EQ(transitionStep, 0);
    voDraw::StartSceneTransition(1);
    EXPECT_EQ(transitionKind, 10);
}

namespace
{

// A page whose pixels tell their row: red from the row / 2, green from the column.
platform::ColorRef PageColor(int x, int y)
{
    return platform::MakeRgb((y / 2) % 256, x, 0x40);
}

class Overlay : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        folder.Write("page.bmp", Bmp24(160, 400, PageColor));
        folder.Write(
            "tile.bmp",
            Bmp24(64, 48, [](int x, int y) { return platform::MakeRgb(0xF8, x * 4, y * 4); }));
        ASSERT_EQ(StartScreen({}, -1), 1);
    }
    std::uint32_t PageRow(int row)
    {
        return platform::NativeFromColor(PageColor(0, row), platform::PixelLayout::Rgb565);
    }

    TempDir folder;
};

} // namespace

TEST_F(Overlay, ShowsThePageOverTheTilesAndScrollsWithTheKey)
{
    voDraw::LoadOverlay("page.bmp", "tile.bmp", 400);
    voDraw::ToggleOverlay();
    ASSERT_EQ(overlayShown, 1);
    EXPECT_TRUE(DrawingHoldsInput());
    voDraw::Present();
    EXPECT_EQ(BackPixel(0, 0), PageRow(0));
    EXPECT_EQ(BackPixel(0, 179), PageRow(179));
    // Holding the right arrow for half a second scrolls 150 pixels.
    overlayKey = platform::kVkRight;
    PassTime(500);
    voDraw::Present();
    EXPECT_FLOAT_EQ(overlayScroll, 150.0f);
    voDraw::Present();
    EXPECT_EQ(BackPixel(0, 0), PageRow(150));
    // Never past page height minus the clip height, never above the top.
    overlayKey = platform::kVkDown;
    PassTime(5000);
    voDraw::Present();
    EXPECT_FLOAT_EQ(overlayScroll, 220.0f);
    overlayKey = platform::kVkUp;
    voDraw::Present();
    EXPECT_FLOAT_EQ(overlayScroll, 0.0f);
    overlayKey = 0;
    voDraw::ToggleOverlay();
    EXPECT_EQ(overlayShown, 0);
    EXPECT_FALSE(DrawingHoldsInput());
}

TEST_F(Overlay, AFailedSwapDropsTheSlotAndAMissingTileIsNeverSwappedIntoBuffer)
{
    voDraw::LoadOverlay("page.bmp", "tile.bmp", 400);
    ObjectId tile = overlayTile;
    voDraw::LoadOverlay("page.bmp", "missing.bmp", 400);
    EXPECT_EQ(objectTable[tile].surface, nullptr);
    EXPECT_EQ(overlayTile, 0);
    // Another object takes the freed slot; the next overlay load leaves it alone.
    folder.Write("other.bmp", Bmp24(8, 8, PageColor));
    ASSERT_EQ(voDraw::LoadObject("other.bmp", 2), tile);
    voDraw::LoadOverlay("page.bmp", "tile.bmp", 400);
    EXPECT_NE(overlayTile, tile);
    EXPECT_EQ(objectTable[tile].width, 8);
    EXPECT_STREQ(objectTable[tile].name, "other.bmp");
    voDraw::LoadOverlay("page.bmp", "missing.bmp", 400);
    voDraw::LoadOverlay("page.bmp", "missing.bmp", 400);
    EXPECT_EQ(overlayTile, 0);
    EXPECT_EQ(objectTable[0].width, 160);
    EXPECT_STREQ(objectTable[0].name, "");
}

TEST_F(Overlay, APageShorterThanTheScreenStaysAtItsTop)
{
    folder.Write("short.bmp", Bmp24(160, 100, PageColor));
    voDraw::LoadOverlay("short.bmp", "tile.bmp", 100);
    voDraw::ToggleOverlay();
    overlayKey = platform::kVkDown;
    PassTime(1000);
    voDraw::Present();
    EXPECT_FLOAT_EQ(overlayScroll, 0.0f);
}
