// The shell: window class and window, the start-up chain, the main loop and the window
// procedure that keeps the frame variables up to date.
#include <cstring>

#include "app/app.h"
#include "draw/draw.h"
#include "platform/sequencer.h"
#include "sound/sound.h"
#include "system/system.h"

int gameWindowWidth = 160;
int gameWindowHeight = 180;
const char* gameWindowCaption = "Plonder";

namespace
{

// A 16-bit coordinate from a message; values past 32768 are negative positions.
int SignedCoordinate(std::uint32_t value)
{
    return value > 32768 ? static_cast<int>(value) - 65536 : static_cast<int>(value);
}

void UpdateCursorOverWindow()
{
    if (fullScreen != 0 || messageBoxOpen != 0)
    {
        return;
    }
    int x = 0;
    int y = 0;
    platform::GetCursorPos(x, y);
    bool over = x >= clientLeft && x < clientLeft + gameWindowWidth && y >= clientTop &&
                y < clientTop + gameWindowHeight;
    if (over && cursorVisible != 0)
    {
        platform::ShowCursor(false);
        cursorVisible = 0;
    }
    else if (!over && cursorVisible == 0)
    {
        platform::ShowCursor(true);
        cursorVisible = 1;
    }
}

void RunFrame()
{
    std::uint32_t now = platform::NowMs();
    frameSeconds = static_cast<float>(static_cast<double>(now - lastFrameTime) / 1000.0);
    lastFrameTime = platform::NowMs();

    mouseDX = mouseX - prevMouseX;
    mouseDY = mouseY - prevMouseY;

    if (prevProgramMode == 0 && programMode != 0)
    {
        modeChanged = 1;
        prevProgramMode = programMode;
    }

    if (transitionDirection == 1)
    {
        voDraw::Present();
        if (transitionDirection == 0)
        {
            programMode = nextProgramMode;
        }
    }
    else if (programMode == 1)
    {
        RunGameFrame();
    }

    if (programMode != prevProgramMode)
    {
        modeChanged = 1;
        if (wipeState > 0)
        {
            CancelWipe();
        }
    }
    else
    {
        modeChanged = 0;
    }
    prevProgramMode = programMode;

    if (platform::NowMs() >= blinkNextTime)
    {
        blinkOn = blinkOn ? 0 : 1;
        blinkNextTime = platform::NowMs() + (blinkOn ? 1000 : 200);
    }

    prevMouseX = mouseX;
    prevMouseY = mouseY;
    leftClick = 0;
    rightClick = 0;

    UpdateCursorOverWindow();
}

} // namespace

int WinMain(platform::InstanceHandle instance, platform::InstanceHandle,
            const char* commandLineText, int showCommand)
{
    platform::RegisterWindowClass(MainWindowProc, platform::LoadIcon(instance, "MAIN"));

    fullScreen = 0;
    desktopWindowMode = 0;
    cursorClipMode = 0;
    clientWidth = gameWindowWidth;
    clientHeight = gameWindowHeight;

    using platform::Metric;
    int height = gameWindowHeight + platform::GetSystemMetric(Metric::CaptionHeight) +
                 platform::GetSystemMetric(Metric::EdgeHeight) +
                 platform::GetSystemMetric(Metric::BorderHeight) +
                 platform::GetSystemMetric(Metric::FixedFrameHeight);
    int width = gameWindowWidth + platform::GetSystemMetric(Metric::BorderWidth) +
                platform::GetSystemMetric(Metric::EdgeWidth) +
                platform::GetSystemMetric(Metric::FixedFrameWidth);
    int x = (platform::GetSystemMetric(Metric::ScreenWidth) - width) / 2;
    int y = (platform::GetSystemMetric(Metric::ScreenHeight) - height) / 2;

    mainWindow = platform::CreateMainWindow(gameWindowCaption, x, y, width, height);
    if (mainWindow == 0)
    {
        return 0;
    }
    platform::ShowMainWindow(mainWindow, showCommand);

    instanceHandle = instance;
    CopyText(commandLine, commandLineText != nullptr ? commandLineText : "", sizeof commandLine);
    SeedRandom(CalendarSeed());
    EnableIME(0);

    InitProgram();
    ResetFrameTimer();

    for (;;)
    {
        platform::Message message;
        if (platform::PeekMessage(message))
        {
            if (message.id == platform::kWmQuit)
            {
                return 0;
            }
            platform::TranslateMessage(message);
            platform::DispatchMessage(message);
            continue;
        }
        RunFrame();
    }
}

void InitProgram()
{
    voDraw::Screen(640, 480, 1);
    GameScene = 1;
    programMode = 1;
    prevProgramMode = 0;
}

void RunGameFrame()
{
    voDraw::Clear();
    GameFrame();
    voDraw::Present();
}

void HandleKeyDown(int virtualKey)
{
    if (overlayShown == 0)
    {
        lastKey = virtualKey;
        lastKeyLatched = virtualKey;
    }
    else
    {
        overlayKey = virtualKey;
    }
    if (virtualKey == platform::kVkEscape)
    {
        QuitProgram();
    }
    else if (virtualKey == platform::kVkF1)
    {
        GameScene = 0;
    }
}

std::intptr_t MainWindowProc(platform::WindowHandle window, std::uint32_t message,
                             std::uintptr_t wParam, std::intptr_t lParam)
{
    std::uint32_t low = static_cast<std::uint32_t>(lParam) & 0xFFFF;
    std::uint32_t high = (static_cast<std::uint32_t>(lParam) >> 16) & 0xFFFF;
    int key = static_cast<int>(wParam);
    switch (message)
    {
    case platform::kWmDestroy:
        platform::PostQuitMessage(0);
        return 0;
    case platform::kWmMove:
        clientLeft = SignedCoordinate(low);
        clientTop = SignedCoordinate(high);
        windowRect[0] = clientLeft;
        windowRect[1] = clientTop;
        windowRect[2] = clientLeft + screenWidth;
        windowRect[3] = clientTop + screenHeight;
        break;
    case platform::kWmClose:
        if (quitState == 0)
        {
            quitState = 1;
        }
        if (quitState < 2)
        {
            QuitProgram();
        }
        platform::DestroyMainWindow(window);
        return 0;
    case platform::kWmActivateApp:
        if (wParam == 0)
        {
            if (cursorVisible == 0)
            {
                platform::ShowCursor(true);
                cursorVisible = 1;
            }
        }
        else
        {
            ResetFrameTimer();
        }
        return 0;
    case platform::kWmSetCursor:
        if (fullScreen == 1 && messageBoxOpen == 0)
        {
            platform::RemoveCursor();
            return 1;
        }
        break;
    case platform::kWmKeyDown:
        if (rawKeyMode == 0)
        {
            HandleKeyDown(key);
        }
        else
        {
            rawKey = key;
        }
        break;
    case platform::kWmKeyUp:
        if (key == lastKey)
        {
            lastKey = 0;
        }
        if (key == overlayKey)
        {
            overlayKey = 0;
        }
        if (key == rawKey)
        {
            rawKey = 0;
        }
        if (key == platform::kVkShift)
        {
            shiftToggle = shiftToggle ? 0 : 1;
        }
        if (key == countedKey)
        {
            countedKeyReleases += 1;
        }
        break;
    case platform::kWmSysKeyDown:
        if (systemKeysPass == 0)
        {
            return 0;
        }
        break;
    case platform::kWmMouseMove:
        mouseX = static_cast<int>(low);
        mouseY = static_cast<int>(high);
        break;
    case platform::kWmLButtonDown:
        if (rawKeyMode == 0)
        {
            leftButtonHeld = 1;
            leftClick = 1;
            leftButtonPressed = 1;
            dragButton = 1;
            lastButton = 1;
        }
        else
        {
            rawLeftButton = 1;
        }
        break;
    case platform::kWmLButtonUp:
        leftButtonHeld = 0;
        if (dragButton == 1)
        {
            dragButton = 0;
        }
        rawLeftButton = 0;
        break;
    case platform::kWmRButtonDown:
        if (rawKeyMode == 0)
        {
            rightButtonHeld = 1;
            rightClick = 1;
            rightButtonPressed = 1;
            dragButton = 2;
            lastButton = 2;
        }
        break;
    case platform::kWmRButtonUp:
        rightButtonHeld = 0;
        if (dragButton == 2)
        {
            dragButton = 0;
        }
        break;
    case platform::kWmRButtonDblClk:
        return 0;
    case platform::kMmMciNotify:
        // Only a play that ran to its end, with the device stopped, ends the piece: notices
        // of plays that were superseded or aborted are passed over.
        if (wParam == platform::kMciNotifySuccessful && midiPieceOpen != 0)
        {
            char mode[32] = {};
            platform::SendSequencerCommand("status midi mode", mode, sizeof mode, 0);
            if (mode[0] == 's' && mode[1] == 't')
            {
                voSound::OnMidiEnd();
            }
        }
        break;
    default:
        break;
    }
    return platform::DefWindowProc(window, message, wParam, lParam);
}
