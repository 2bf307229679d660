// The probe game the shell's tests link in place of the puzzle.
#include "tests/app/probe_game.h"

#include "app/app.h"
#include "platform/platform.h"
#include "system/system.h"

int GameScene = 0;
std::vector<FrameSeen> framesSeen;
std::function<void(int frame)> probeAction;

void GameFrame()
{
    framesSeen.push_back(FrameSeen{platform::NowMs(), frameSeconds, blinkOn, blinkNextTime,
                                   modeChanged, leftClick, leftButtonPressed, leftButtonHeld,
                                   rightClick, rightButtonHeld, mouseX, mouseY, mouseDX, mouseDY,
                                   lastKey});
    if (probeAction)
    {
        probeAction(static_cast<int>(framesSeen.size()));
    }
}
