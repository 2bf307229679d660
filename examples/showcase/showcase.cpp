// The showcase's frame: loads its pictures and sounds, steps through the scenes with the arrow
// keys (Right or Down: next, Left or Up: previous; Escape quits in the shell) and names each
// scene and its call in a bar at the bottom.
#include <cmath>
#include <cstdio>

#include "app/app.h"
#include "draw/draw.h"
#include "platform/platform.h"
#include "showcase.h"
#include "sound/sound.h"
#include "system/system.h"

int GameScene = 0; // 1.. the scene shown (1 is the first); 0 goes back to the first

ShowcaseAssets assets;

namespace
{

struct ShowcaseState
{
    bool loaded = false;
    std::vector<Scene> scenes;
    int shown = -1;      // index of the scene whose frames run
    int frameInScene = 0;
    int previousKey = 0; // lastKey at the previous frame, so a held key steps once
};
ShowcaseState show;

void Load()
{
    assets.landscape = voDraw::LoadObject("landscape.bmp", 2);
    assets.sphere = voDraw::LoadObject("sphere.bmp", 2);
    assets.star = voDraw::LoadObject("star.bmp", 2);
    assets.bricks = voDraw::LoadObject("bricks.bmp", 2);
    assets.bumps = voDraw::LoadObject("bumps.bmp", 2);
    assets.canvas = voDraw::CreateObject(kShowWidth, kShowHeight, 2);
    voDraw::LoadTransitionPattern("pattern.bmp");
    assets.chime = voSound::LoadObject("chime.wav", 4);

    show.scenes = ScreenEffectScenes();
    std::vector<Scene> more = FrameworkScenes();
    show.scenes.insert(show.scenes.end(), more.begin(), more.end());
#ifdef SHOWCASE_BLITTER_SCENES
    more = BlitterScenes();
    show.scenes.insert(show.scenes.begin(), more.begin(), more.end());
#endif
    show.loaded = true;
    // Scripts that tour the showcase read how many scenes there are.
    std::printf("showcase: %d scenes\n", static_cast<int>(show.scenes.size()));
    std::fflush(stdout);
}

// Leaves what a scene may have left running: a wipe's clip rectangle, a transition, music,
// sounds.
void LeaveScene()
{
    if (wipeState != 0)
    {
        CancelWipe();
    }
    transitionStep = 0;
    transitionDirection = 0;
    transitionSteps = 0; // kinds 1 to 12 run their ten steps again
    if (midiPieceOpen != 0)
    {
        voSound::StopMidi();
    }
    voSound::Stop(assets.chime, voSound::COPY_ALL);
}

void TakeKeys()
{
    int key = lastKey;
    int count = static_cast<int>(show.scenes.size());
    if (key != show.previousKey)
    {
        if (key == platform::kVkRight || key == platform::kVkDown)
        {
            GameScene = GameScene % count + 1;
        }
        else if (key == platform::kVkLeft || key == platform::kVkUp)
        {
            GameScene = (GameScene + count - 2) % count + 1;
        }
    }
    show.previousKey = key;
    if (GameScene < 1 || GameScene > count)
    {
        GameScene = 1;
    }
}

void DrawBar(const Scene& scene)
{
    voDraw::FillColor(0, kBarTop, kShowWidth, kShowHeight, 0);
    voDraw::PrintTextFormat(4, kBarTop + 4, "%d/%d  %s", GameScene,
                            static_cast<int>(show.scenes.size()), scene.title);
    voDraw::PrintTextFormat(4, kBarTop + 20, "%s", scene.call);
}

} // namespace

void DrawBackdrop(int t)
{
    voDraw::PutOpaque(0, 0, assets.landscape, 0, 0, kShowWidth, kShowHeight);
    for (int i = 0; i < 4; ++i)
    {
        double a = (t * 2 + i * 90) * 3.14159265358979 / 180.0;
        int x = 272 + static_cast<int>(200 * std::cos(a));
        int y = 180 + static_cast<int>(110 * std::sin(a));
        PutSprite(i % 2, x, y);
    }
}

void PutSprite(int which, int x, int y)
{
    if (which == 0)
    {
        voDraw::Put(x, y, assets.sphere, 0, 0, 96, 96);
    }
    else
    {
        voDraw::Put(x, y, assets.star, 0, 0, 64, 64);
    }
}

void GameFrame()
{
    if (!show.loaded)
    {
        Load();
    }
    TakeKeys();
    int index = GameScene - 1;
    if (index != show.shown)
    {
        LeaveScene();
        show.shown = index;
        show.frameInScene = 0;
    }
    const Scene& scene = show.scenes[static_cast<std::size_t>(index)];
    scene.frame(show.frameInScene);
    DrawBar(scene);
    ++show.frameInScene;
}

int main(int argc, char** argv)
{
    gameWindowWidth = kShowWidth;
    gameWindowHeight = kShowHeight;
    gameWindowCaption = "Plonder showcase";
    return RunProgram(argc, argv);
}
