// The showcase: a game on the Plonder framework that walks through what the framework draws
// and plays, one scene at a time. The scene lists live in the scenes_*.cpp files.
#pragma once

#include <cstdint>
#include <vector>

#include "draw/draw.h"
#include "sound/sound.h"

// One scene: what it shows, the call that draws it, and its frame. frame(t) runs every frame
// with t the frames since the scene was entered (0 on the first); the back buffer has just
// been cleared and the name bar is drawn over it afterwards.
struct Scene
{
    const char* title;
    const char* call;
    void (*frame)(int t);
};

// What the scenes share, loaded once at the start.
struct ShowcaseAssets
{
    ObjectId landscape; // 640 x 480 picture
    ObjectId sphere;    // 96 x 96 sprite, keyed outside the disc and in a square window
    ObjectId star;      // 64 x 64 sprite, keyed outside
    ObjectId bricks;    // 128 x 128 tiling texture
    ObjectId bumps;     // 128 x 128 height map in the red channel
    ObjectId canvas;    // 640 x 480 scratch for effects that build up over frames
    SoundId chime;      // 0.6 s chime with four mixing copies
};
extern ShowcaseAssets assets;

constexpr int kShowWidth = 640;
constexpr int kShowHeight = 480;
constexpr int kBarTop = 444; // the name bar at the bottom: two lines of 12-pixel text

// The picture most scenes start from: the landscape and a few sprites moving with t.
void DrawBackdrop(int t);
// A sprite at (x, y): the sphere (0) or the star (1).
void PutSprite(int which, int x, int y);

// The scene lists, in the order they are shown.
std::vector<Scene> ScreenEffectScenes();
std::vector<Scene> FrameworkScenes();
// The blend, colour-effect, rotation and mirror scenes; built with SHOWCASE_BLITTER_SCENES.
std::vector<Scene> BlitterScenes();
