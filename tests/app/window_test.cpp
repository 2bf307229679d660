// The window, quitting, system keys, window moves, the cursor over the window and the
// command line, driven through the real loop or the window procedure; the SDL backend's
// window and pointer messages.
#include <cstdlib>
#include <cstring>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "app/app.h"
#include "draw/draw.h"
#include "platform/backend.h"
#include "platform/sdl/sdl_internal.h"
#include "system/system.h"
#include "tests/app/probe_game.h"
#include "tests/support/headless.h"

using platform::headless::Window;
using testing_support::RunProgram;

TEST(Window, IsCentredWithTheCaptionAndClientSize)
{
    platform::headless::HeadlessConfig config;
    config.screenWidth = 1001;
    config.screenHeight = 700;
    ASSERT_EQ(RunProgram(1, "", config), 0);
    EXPECT_EQ(Window().caption, "Plonder");
    // The probe game carries no resources, so no icon: the desktop shows its default.
    EXPECT_EQ(Window().iconWidth, 0);
    EXPECT_EQ(Window().width, 160);
    EXPECT_EQ(Window().height, 180);
    EXPECT_EQ(Window().x, (1001 - 160) / 2);
    EXPECT_EQ(Window().y, (700 - 180) / 2);
    EXPECT_FALSE(Window().open);
    EXPECT_EQ(clientWidth, 160);
    EXPECT_EQ(clientHeight, 180);
    EXPECT_EQ(fullScreen, 0);
}

TEST(Quit, EscapeEndsTheRunBeforeTheNextFrameWithCodeZero)
{
    ASSERT_EQ(RunProgram(10, "3 key Escape down\n"), 0);
    EXPECT_EQ(framesSeen.size(), 2u);
    EXPECT_EQ(quitState, 2);
    EXPECT_FALSE(Window().open);
}

TEST(Quit, CloseButtonReleasesOnceAndEnds)
{
    ASSERT_EQ(RunProgram(10, "4 close\n"), 0);
    EXPECT_EQ(framesSeen.size(), 3u);
    EXPECT_EQ(quitState, 2);
    EXPECT_FALSE(Window().open);
}

TEST(Quit, RepeatedEscapeBeforeTheCloseIsHandledOnce)
{
    ASSERT_EQ(RunProgram(10, "2 key Escape down\n2 key Escape up\n2 key Escape down\n"), 0);
    EXPECT_EQ(framesSeen.size(), 1u);
    EXPECT_EQ(quitState, 2);
}

TEST(Quit, QuitProgramPostsCloseOnlyWhenRunning)
{
    testing_support::StartHeadless();
    quitState = 1;
    EXPECT_EQ(QuitProgram(), 1);
    EXPECT_EQ(quitState, 2);
    platform::Message message;
    while (platform::PeekMessage(message))
    {
        EXPECT_NE(message.id, platform::kWmClose);
    }
}

TEST(SystemKeys, AltF4AndF10DoNothing)
{
    ASSERT_EQ(RunProgram(6, "2 syskey Alt down\n2 syskey F4 down\n3 syskey F4 up\n"
                            "3 syskey Alt up\n4 syskey F10 down\n"),
              0);
    EXPECT_EQ(framesSeen.size(), 6u);
}

TEST(SystemKeys, PassToTheDefaultHandlingWhenAllowed)
{
    probeAction = [](int frame) {
        if (frame == 1)
        {
            SetSystemKeysPass(1);
        }
    };
    ASSERT_EQ(RunProgram(6, "2 syskey Alt down\n2 syskey F4 down\n"), 0);
    EXPECT_EQ(framesSeen.size(), 1u);
}

TEST(Keys, LastKeyFollowsPressAndReleaseAndF1RestartsTheGame)
{
    ASSERT_EQ(RunProgram(5, "2 key A down\n3 key A up\n4 key F1 down\n4 key Shift down\n"
                            "4 key Shift up\n"),
              0);
    EXPECT_EQ(framesSeen[1].lastKey, 'A');
    EXPECT_EQ(framesSeen[2].lastKey, 0);
    EXPECT_EQ(lastKeyLatched, platform::kVkShift);
    EXPECT_EQ(shiftToggle, 1);
    EXPECT_EQ(GameScene, 0);
}

TEST(Keys, RawKeyModeStoresOnlyTheRawKey)
{
    testing_support::StartHeadless();
    GameScene = 2;
    EnterRawKeyMode();
    MainWindowProc(1, platform::kWmKeyDown, platform::kVkF1, 0);
    MainWindowProc(1, platform::kWmLButtonDown, 0, 0);
    EXPECT_EQ(rawKey, platform::kVkF1);
    EXPECT_EQ(rawLeftButton, 1);
    EXPECT_EQ(lastKey, 0);
    EXPECT_EQ(leftButtonHeld, 0);
    EXPECT_EQ(GameScene, 2); // F1 did not reach HandleKeyDown
    MainWindowProc(1, platform::kWmKeyUp, platform::kVkF1, 0);
    MainWindowProc(1, platform::kWmLButtonUp, 0, 0);
    EXPECT_EQ(rawKey, 0);
    EXPECT_EQ(rawLeftButton, 0);
}

TEST(Keys, CountedKeyReleases)
{
    testing_support::StartHeadless();
    EXPECT_EQ(CountKeyReleases('Z'), 'Z');
    for (int i = 0; i < 3; ++i)
    {
        MainWindowProc(1, platform::kWmKeyDown, 'Z', 0);
        MainWindowProc(1, platform::kWmKeyUp, 'Z', 0);
    }
    MainWindowProc(1, platform::kWmKeyUp, 'Y', 0);
    EXPECT_EQ(GetKeyReleaseCount(), 3);
}

TEST(WindowMove, NegativePositionsFollowTheWindow)
{
    ASSERT_EQ(RunProgram(3, "2 move -20 -5\n"), 0);
    EXPECT_EQ(clientLeft, -20);
    EXPECT_EQ(clientTop, -5);
    EXPECT_EQ(windowRect[0], -20);
    EXPECT_EQ(windowRect[1], -5);
    EXPECT_EQ(windowRect[2], -20 + screenWidth);
    EXPECT_EQ(windowRect[3], -5 + screenHeight);
}

TEST(WindowMove, SixteenBitPositionsAboveHalfAreNegative)
{
    testing_support::StartHeadless();
    MainWindowProc(1, platform::kWmMove, 0, (32768 << 16) | 32769);
    EXPECT_EQ(clientLeft, 32769 - 65536);
    EXPECT_EQ(clientTop, 32768);
}

TEST(Cursor, IsHiddenOnlyInsideTheClientArea)
{
    // A frame sees what the end of the frame before made of the cursor. The right and bottom
    // edges are outside: x 592 = 432 + 160, y 474 = 294 + 180.
    probeAction = [](int frame) {
        bool hidden = frame == 2 || frame == 3 || frame == 4 || frame == 6;
        EXPECT_EQ(Window().cursorShown, !hidden) << "frame " << frame;
        EXPECT_EQ(cursorVisible, hidden ? 0 : 1) << "frame " << frame;
    };
    ASSERT_EQ(RunProgram(7, "1 cursor 432 294\n3 cursor 591 473\n4 cursor 592 300\n"
                            "5 cursor 500 300\n6 cursor 500 474\n"),
              0);
}

TEST(Cursor, ShowsWhenTheProgramLosesActivation)
{
    probeAction = [](int frame) {
        if (frame == 4)
        {
            EXPECT_TRUE(Window().cursorShown);
            EXPECT_EQ(cursorVisible, 1);
        }
    };
    // Deactivation shows it; the next frame's end hides it again, so look at the frame itself.
    ASSERT_EQ(RunProgram(5, "1 cursor 500 300\n4 activate 0\n"), 0);
}

TEST(CommandLine, IsCopiedAndCutTo255Bytes)
{
    testing_support::StartHeadless();
    std::string longLine(300, 'x');
    platform::headless::QueueAnswer(platform::kIdOk);
    platform::PostMessage(1, platform::kWmClose, 0, 0);
    EXPECT_EQ(WinMain(platform::GetInstance(), 0, longLine.c_str(), 1), 0);
    EXPECT_EQ(std::strlen(GetCommandLineText()), 255u);
    EXPECT_EQ(std::string(GetCommandLineText()), longLine.substr(0, 255));
}

TEST(SdlBackend, OpensThePlonderWindowAndQuitsOnEscape)
{
    // SDL's dummy video driver needs no display, so this runs anywhere.
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    platform::Options options;
    options.backend = "sdl";
    options.scale = 2;
    std::string error;
    ASSERT_TRUE(platform::Start(options, error)) << error;
    InitFrameClock();
    std::string title;
    int width = 0;
    int height = 0;
    probeAction = [&](int frame) {
        if (frame == 1)
        {
            EXPECT_TRUE(platform::sdl::WindowInfo(title, width, height));
            platform::PostMessage(1, platform::kWmKeyDown, platform::kVkEscape, 1);
        }
    };
    EXPECT_EQ(WinMain(platform::GetInstance(), 0, "", 1), 0);
    platform::Shutdown();
    EXPECT_EQ(title, "Plonder");
    EXPECT_EQ(width, 320);
    EXPECT_EQ(height, 360);
    EXPECT_EQ(quitState, 2);
    EXPECT_EQ(framesSeen.size(), 1u);
}

TEST(SdlBackend, PointerMovesOverTheClientAreaAskForTheCursorFirst)
{
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    platform::Options options;
    options.backend = "sdl";
    options.scale = 2;
    std::string error;
    ASSERT_TRUE(platform::Start(options, error)) << error;
    platform::RegisterWindowClass(MainWindowProc);
    ASSERT_NE(platform::CreateMainWindow("Plonder", 0, 0, 160, 180), 0u);
    platform::Message message;
    while (platform::PeekMessage(message))
    {
    }
    // Inside the 320 x 360 window, then past its right edge: positions come divided by 2.
    platform::sdl::PushPointerMotion(10, 30);
    platform::sdl::PushPointerMotion(330, 30);
    std::vector<std::tuple<std::uint32_t, std::uintptr_t, std::intptr_t>> seen;
    while (platform::PeekMessage(message))
    {
        seen.emplace_back(message.id, message.wParam, message.lParam);
    }
    platform::Shutdown();
    using Seen = decltype(seen)::value_type;
    EXPECT_EQ(seen, (std::vector<Seen>{
                        {platform::kWmSetCursor, 1, 1 | (platform::kWmMouseMove << 16)},
                        {platform::kWmMouseMove, 0, (15 << 16) | 5},
                        {platform::kWmMouseMove, 0, (15 << 16) | 165},
                    }));
}
