// The shell's frame variables, the clock taken at start and the one shut-down path.
#include "draw/draw.h"
#include "sound/sound.h"
#include "system/system.h"

platform::WindowHandle mainWindow = 0;
platform::InstanceHandle instanceHandle = 0;
char commandLine[256] = {};
int fullScreen = 1;
int clientWidth = 0, clientHeight = 0;
int desktopWindowMode = 0;
int cursorClipMode = 0;
int clientLeft = 0, clientTop = 0;
int windowRect[4] = {};
int cursorVisible = 1;
int messageBoxOpen = 0;
int quitState = 0;
float frameSeconds = 0.0f;
std::uint32_t lastFrameTime = 0;
int mouseX = 0, mouseY = 0;
int prevMouseX = 0, prevMouseY = 0;
int mouseDX = 0, mouseDY = 0;
int leftButtonHeld = 0, rightButtonHeld = 0;
int leftButtonPressed = 0, rightButtonPressed = 0;
int leftClick = 0, rightClick = 0;
int dragButton = 0;
int lastButton = 0;
int lastKey = 0;
int lastKeyLatched = 0;
int shiftToggle = 0;
int rawKeyMode = 0;
int rawKey = 0;
int rawLeftButton = 0;
int countedKey = 0, countedKeyReleases = 0;
int programMode = 0;
int prevProgramMode = 0;
int nextProgramMode = 0;
int modeChanged = 0;
int blinkOn = 1;
std::uint32_t blinkNextTime = 0;
int systemKeysPass = 0;
std::uint32_t fpsSampleTime = 0;

void InitFrameClock()
{
    std::uint32_t now = platform::NowMs();
    lastFrameTime = now;
    blinkNextTime = now + 1000;
    fpsSampleTime = now;
}

int QuitProgram()
{
    // A second Escape queued before the window closes must not release a second time.
    if (quitState == 2)
    {
        return 1;
    }
    UnclipCursor();
    voDraw::Release();
    voSound::Release();
    voDraw::ReleaseText();
    if (quitState == 0)
    {
        platform::PostMessage(mainWindow, platform::kWmClose, 0, 0);
    }
    quitState = 2;
    return 1;
}
