// Screen set-up: the pixel-format record, the lookup tables, every failure message, the
// screen size, full-screen depths, the release and the colour-depth check.
#include <array>
#include <cmath>
#include <numbers>

#include "tests/draw/draw_support.h"

using draw_testing::BoxTexts;
using draw_testing::StartScreen;
using draw_testing::StartWindow;
using platform::DisplayFault;
using platform::headless::HeadlessConfig;
using platform::headless::MessageBoxes;
using testing_support::TempDir;

namespace
{

using PixelLayouts = ::testing::TestWithParam<bool>;

bool SameRgb5(const Rgb5& c, int red, int green, int blue)
{
    return c.red == red && c.green == green && c.blue == blue;
}

} // namespace

TEST_P(PixelLayouts, FormatRecordAndPixelToRgb5FollowTheBackBuffer)
{
    bool rgb555 = GetParam();
    HeadlessConfig config;
    config.rgb555 = rgb555;
    ASSERT_EQ(StartScreen(config), 1);
    const PixelFormat& f = PixelFormatInfo;
    // Masks, maxima, shifts and 5-bit shifts of red, green and blue; the half masks; white.
    std::array<std::uint32_t, 15> actual = {f.redMask,   f.greenMask, f.blueMask,    f.redMax,
                                            f.greenMax,  f.blueMax,   f.redShift,    f.greenShift,
                                            f.blueShift, f.redShift5, f.greenShift5, f.blueShift5,
                                            f.halfMask,  f.halfMask2, f.whiteColor};
    std::array<std::uint32_t, 15> expected565 = {
        0xF800, 0x07E0, 0x001F, 31, 63, 31, 11, 5, 0, 11, 6, 0, 0x7BEF, 0x7BEF7BEF, 0xFFFF};
    std::array<std::uint32_t, 15> expected555 = {
        0x7C00, 0x03E0, 0x001F, 31, 31, 31, 10, 5, 0, 10, 5, 0, 0x3DEF, 0x3DEF3DEF, 0x7FFF};
    EXPECT_EQ(actual, rgb555 ? expected555 : expected565);

    ASSERT_EQ(pixelToRgb5.size(), 65536u);
    EXPECT_TRUE(SameRgb5(pixelToRgb5[rgb555 ? 0x7FFF : 0xFFFF], 31, 31, 31));
    EXPECT_TRUE(SameRgb5(pixelToRgb5[0x0020], 0, rgb555 ? 1 : 0, 0)); // 565 drops green's low bit
    for (int p = 0; p < 65536; ++p)
    {
        bool same = rgb555 ? SameRgb5(pixelToRgb5[p], p < 0x8000 ? (p >> 10) & 31 : 0,
                                      p < 0x8000 ? (p >> 5) & 31 : 0, p < 0x8000 ? p & 31 : 0)
                           : SameRgb5(pixelToRgb5[p], p >> 11, ((p >> 5) & 63) >> 1, p & 31);
        ASSERT_TRUE(same) << p;
    }
}

INSTANTIATE_TEST_SUITE_P(Rgb565And555, PixelLayouts, ::testing::Bool());

TEST(LookupTables, MixTablesHoldPlacedChannelResults)
{
    TempDir folder;
    ASSERT_EQ(StartScreen(), 1);
    ASSERT_EQ(fadeMixTable.size(), 3u * 32768u);
    ASSERT_EQ(addMixTable.size(), 3u * 32768u);
    ASSERT_EQ(subMixTable.size(), 3u * 1024u);
    // Hand-worked corners: red at level 0 keeps a, green is placed at bit 6 in 565.
    EXPECT_EQ(fadeMixTable[0 * 32768 + 31 * 1024 + 31 * 32 + 31], 31 << 11);
    EXPECT_EQ(fadeMixTable[1 * 32768 + 10 * 1024 + 5 * 32 + 30], 9 << 6);
    EXPECT_EQ(addMixTable[1 * 32768 + 4 * 1024 + 3 * 32 + 7], 7 << 6);
    EXPECT_EQ(subMixTable[1 * 1024 + 10 * 32 + 3], 7 << 6);
    const int shifts[3] = {11, 6, 0};
    for (int channel = 0; channel < 3; ++channel)
    {
        for (int a = 0; a < 32; ++a)
        {
            for (int b = 0; b < 32; ++b)
            {
                ASSERT_EQ(subMixTable[channel * 1024 + a * 32 + b], std::max(a - b, 0)
                                                                        << shifts[channel]);
                for (int level = 0; level < 32; ++level)
                {
                    int index = channel * 32768 + level * 1024 + a * 32 + b;
                    int fade = std::max(a - level, 0) + std::max(b - (31 - level), 0);
                    ASSERT_EQ(fadeMixTable[index], fade << shifts[channel]) << index;
                    int add = std::min(std::max(a - level, 0) + b, 31);
                    ASSERT_EQ(addMixTable[index], add << shifts[channel]) << index;
                }
            }
        }
    }
}

TEST(LookupTables, SineDivideBy3AndRandomTables)
{
    TempDir folder;
    // The random table draws from the shared generator in index order after its seeding.
    SeedRandom(12345);
    ASSERT_EQ(StartScreen(), 1);
    EXPECT_EQ(sineTable[90], 360);
    EXPECT_EQ(sineTable[270], -360);
    EXPECT_EQ(sineTable[449], 359); // sin(89 degrees) * 360 = 359.945...
    for (int i = 0; i < kSineTableSize; ++i)
    {
        double exact = std::sin(2.0 * std::numbers::pi * i / 360.0) * 360.0;
        // Truncated toward zero: never further from zero than the exact value, less than 1 off.
        EXPECT_LE(std::abs(sineTable[i]), std::abs(exact) + 1e-9) << i;
        EXPECT_LT(std::abs(exact - sineTable[i]), 1.0) << i;
    }
    ASSERT_EQ(divideBy3Table.size(), 94u);
    EXPECT_EQ(divideBy3Table[93], 31);
    for (int n = 0; n < 94; ++n)
    {
        EXPECT_EQ(divideBy3Table[n], n / 3);
    }
    ASSERT_EQ(randomTable3.size(), 10000u);
    SeedRandom(12345);
    for (std::size_t i = 0; i < randomTable3.size(); ++i)
    {
        ASSERT_EQ(randomTable3[i], Random() % 3) << i;
    }
}

TEST(LookupTables, ThirtyTwoBitDesktopLeavesTheSixteenBitTablesEmpty)
{
    TempDir folder;
    HeadlessConfig config;
    config.desktopBpp = 32;
    ASSERT_EQ(StartScreen(config), 1);
    EXPECT_TRUE(pixelToRgb5.empty());
    EXPECT_TRUE(fadeMixTable.empty());
    EXPECT_TRUE(addMixTable.empty());
    EXPECT_TRUE(subMixTable.empty());
    EXPECT_TRUE(divideBy3Table.empty());
    EXPECT_TRUE(randomTable3.empty());
    EXPECT_EQ(sineTable[90], 360);
}

namespace
{

struct FailureCase
{
    const char* name;
    DisplayFault fault;
    int surfaceLimit;
    bool fullScreen;
    const char* message;
};

using ScreenFailure = ::testing::TestWithParam<FailureCase>;

} // namespace

TEST_P(ScreenFailure, ReportsTheStepThatFailedAndReturnsZero)
{
    const FailureCase& c = GetParam();
    TempDir folder;
    HeadlessConfig config;
    config.displayFault = c.fault;
    config.surfaceLimit = c.surfaceLimit;
    StartWindow(config);
    fullScreen = c.fullScreen ? 1 : 0;
    EXPECT_EQ(voDraw::Screen(640, 480, 1), 0);
    ASSERT_EQ(BoxTexts().size(), 1u);
    EXPECT_EQ(BoxTexts()[0], std::string("voDraw::Screen : ") + c.message);
    EXPECT_EQ(platform::Cp932ToUtf8(MessageBoxes()[0].caption), "エラー発生");
    // What exists stays usable: nothing drawn on a missing surface crashes.
    voDraw::Clear();
    voDraw::Put(0, 0, 0, 0, 0, 32, 32);
    voDraw::Present();
}

INSTANTIATE_TEST_SUITE_P(
    EveryStep, ScreenFailure,
    ::testing::Values(
        FailureCase{"NoDevice", DisplayFault::NoDevice, -1, false, "DirectDrawが使用できません"},
        FailureCase{"Cooperation", DisplayFault::CooperativeLevel, -1, false,
                    "フルスクリーン化できません"},
        FailureCase{"Mode", DisplayFault::DisplayMode, -1, true, "解像度が変更できません"},
        FailureCase{"Primary", DisplayFault::None, 0, false, "表画面が生成できません"},
        FailureCase{"BackBuffer", DisplayFault::None, 1, false, "裏画面が生成できません"},
        FailureCase{"Clipper", DisplayFault::Clipper, -1, false, "クリップが生成できません"},
        FailureCase{"ClipperWindow", DisplayFault::ClipperWindow, -1, false,
                    "クリップにウィンドウハンドルを設定できません"},
        FailureCase{"ClipperOnPrimary", DisplayFault::ClipperOnPrimary, -1, false,
                    "表画面をクリップできません"},
        FailureCase{"Buffer", DisplayFault::None, 2, false, "Bufferスプライトが生成できません"},
        FailureCase{"ScreenObject", DisplayFault::None, 3, false,
                    "Screenスプライトが生成できません"},
        FailureCase{"PixelFormat", DisplayFault::PixelFormat, -1, false,
                    "ピクセル情報が取得できません"}),
    [](const ::testing::TestParamInfo<FailureCase>& info) { return std::string(info.param.name); });

TEST(ScreenSetUp, MakesBufferAndScreenKeyedOnBlackAndEmptiesTheTable)
{
    TempDir folder;
    ASSERT_EQ(StartScreen(), 1);
    EXPECT_TRUE(MessageBoxes().empty());
    EXPECT_EQ(clipRect.right, 640);
    EXPECT_EQ(clipRect.bottom, 480);
    for (ObjectId id : {0, 1})
    {
        EXPECT_EQ(objectTable[id].width, 640);
        EXPECT_EQ(objectTable[id].height, 480);
        std::uint32_t key = 1;
        EXPECT_EQ(platform::GetSurfaceColorKey(objectTable[id].surface, key),
                  platform::SurfaceResult::Ok);
        EXPECT_EQ(key, 0u);
    }
    for (ObjectId id = 2; id < kObjectCount; ++id)
    {
        ASSERT_EQ(objectTable[id].surface, nullptr);
    }
    // A second set-up replaces the first.
    ASSERT_NE(voDraw::CreateObject(4, 4, 2), 0);
    ASSERT_EQ(voDraw::Screen(320, 240, 1), 1);
    EXPECT_EQ(objectTable[2].surface, nullptr);
    EXPECT_EQ(objectTable[0].width, 320);
}

TEST(ScreenRelease, FreesEveryObjectAndLeavesLaterCallsHarmless)
{
    TempDir folder;
    ASSERT_EQ(StartScreen(), 1);
    ObjectId blank = voDraw::CreateObject(8, 8, 2);
    ASSERT_NE(blank, 0);
    voDraw::Release();
    for (ObjectId id = 0; id < kObjectCount; ++id)
    {
        ASSERT_EQ(objectTable[id].surface, nullptr);
    }
    EXPECT_EQ(BackBuffer(), nullptr);
    EXPECT_FALSE(platform::headless::Window().minimized);
    // Frames between the release and the end of the loop still draw and present.
    EXPECT_NE(voDraw::Clear(), platform::SurfaceResult::Ok);
    voDraw::Put(0, 0, blank, 0, 0, 8, 8);
    voDraw::FillHalf(0, 0, 10, 10, 0);
    voDraw::Present();
    EXPECT_TRUE(platform::headless::CapturedFrames().empty());
    voDraw::Release();
}

TEST(FullScreen, ThirtyTwoBitRequestSettlesOn24BitsAndReleaseMinimises)
{
    TempDir folder;
    HeadlessConfig config;
    config.desktopBpp = 24;
    StartWindow(config);
    fullScreen = 1;
    voDraw::SetDepth32();
    EXPECT_EQ(voDraw::Screen(640, 480, 1), 1);
    EXPECT_EQ(fullScreenDepth, 24);
    EXPECT_TRUE(MessageBoxes().empty());
    voDraw::Release();
    EXPECT_TRUE(platform::headless::Window().minimized);
}

TEST(CheckColorDepth, ShallowWindowedDesktopWarnsThenStopsOrSwitches)
{
    TempDir folder;
    HeadlessConfig config;
    config.desktopBpp = 8;
    StartWindow(config);
    const std::string notice = "　ウィンドウ状態で実行しようとしていますが、画面が256色以下に設定"
                               "されています。\n正しく動作させるには、65536色以上に設定するか、"
                               "フルスクリーンで実行させて下さい。\r\n";
    // A named settings file asks, and yes saves full screen in it.
    platform::headless::QueueAnswer(platform::kIdOk);
    platform::headless::QueueAnswer(platform::kIdYes);
    EXPECT_EQ(voDraw::CheckColorDepth("mode.txt"), 1);
    EXPECT_EQ(BoxTexts(), (std::vector<std::string>{
                              notice, "フルスクリーンに設定し直しますか？\r\n"}));
    EXPECT_EQ(LoadNumber("mode.txt"), 1);
    EXPECT_EQ(fullScreen, 1);
    // An empty name asks nothing and stops the program.
    fullScreen = 0;
    EXPECT_EQ(voDraw::CheckColorDepth(""), 0);
    EXPECT_EQ(BoxTexts().size(), 3u);
    EXPECT_EQ(BoxTexts().back(), notice);
    EXPECT_EQ(quitState, 2);
}
