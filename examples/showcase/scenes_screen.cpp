// The screen effects, each running over the backdrop. Rise and blur build up from frame to
// frame: the scene keeps its picture in the canvas object and puts it back before each call.
#include <cmath>

#include "draw/blit/blit.h"
#include "showcase.h"

namespace
{

constexpr int kEffectHeight = kBarTop; // effects leave the name bar alone

// Puts back what the effect built up (a fresh backdrop every 240 frames), runs it, keeps it.
template <class Effect>
void BuildUp(int t, Effect&& effect)
{
    if (t % 240 == 0)
    {
        DrawBackdrop(t);
    }
    else
    {
        voDraw::PutOpaque(0, 0, assets.canvas, 0, 0, kShowWidth, kShowHeight);
    }
    effect();
    voDraw::GrabRect(assets.canvas, 0, 0, kShowWidth, kShowHeight);
}

// A sprite crossing the lower part of the screen, feeding the smoke and trails.
void Feed(int t, int which)
{
    int x = 40 + (t * 5) % 520;
    PutSprite(which, x, 300 + static_cast<int>(40 * std::sin(t * 0.1)));
}

void Rise(int t)
{
    BuildUp(t,
            [&]
            {
                Feed(t, 1);
                voDraw::ScreenRise(0, 0, kShowWidth, kEffectHeight);
            });
}

void RiseFade(int t)
{
    BuildUp(t,
            [&]
            {
                Feed(t, 0);
                voDraw::ScreenRiseFade(0, 1, 1, 0, 0, kShowWidth, kEffectHeight);
            });
}

void Blur(int t)
{
    BuildUp(t,
            [&]
            {
                Feed(t, 1);
                voDraw::ScreenBlur(0, 0, kShowWidth, kEffectHeight);
            });
}

void BlurFade(int t)
{
    BuildUp(t,
            [&]
            {
                Feed(t, 0);
                voDraw::ScreenBlurFade(1, 0, 1, 0, 0, kShowWidth, kEffectHeight);
            });
}

// A magnifier wandering over the backdrop; the dotted form every other second.
void Zoom2(int t)
{
    DrawBackdrop(t);
    int x = 300 + static_cast<int>(100 * std::cos(t * 0.03));
    int y = 150 + static_cast<int>(40 * std::sin(t * 0.05));
    voDraw::ScreenZoom2(x, y, 160, 120, (t / 60) % 2);
}

void Zoom4(int t)
{
    DrawBackdrop(t);
    int x = 380 + static_cast<int>(60 * std::cos(t * 0.04));
    int y = 110 + static_cast<int>(30 * std::sin(t * 0.06));
    voDraw::ScreenZoom4(x, y, 80, 60, (t / 60) % 2);
}

void Mosaic(int t)
{
    DrawBackdrop(t);
    int cx = 320 + static_cast<int>(180 * std::cos(t * 0.02));
    int cy = 220 + static_cast<int>(100 * std::sin(t * 0.03));
    int block = 6 + (t / 10) % 12;
    voDraw::ScreenMosaic(cx, cy, 150, block);
}

void Noise(int t)
{
    DrawBackdrop(t);
    voDraw::ScreenNoise(3, 0, 0, kShowWidth, kEffectHeight);
}

void NoiseRgb(int t)
{
    DrawBackdrop(t);
    voDraw::ScreenNoiseRGB(1, 0, 1, 2, 0, 0, kShowWidth, kEffectHeight);
}

} // namespace

std::vector<Scene> ScreenEffectScenes()
{
    return {
        {"Rising smoke: the picture drifts up a row a frame, randomly smoothed",
         "voDraw::ScreenRise(0, 0, 640, 444)", Rise},
        {"Rising smoke that fades green and blue as it rises",
         "voDraw::ScreenRiseFade(0, 1, 1, 0, 0, 640, 444)", RiseFade},
        {"Four-neighbour blur, built up frame after frame",
         "voDraw::ScreenBlur(0, 0, 640, 444)", Blur},
        {"Blur that also fades red and blue", "voDraw::ScreenBlurFade(1, 0, 1, 0, 0, 640, 444)",
         BlurFade},
        {"Two-times enlargement through Buffer (dotted every other second)",
         "voDraw::ScreenZoom2(x, y, 160, 120, dotted)", Zoom2},
        {"Four-times enlargement through Buffer (dotted every other second)",
         "voDraw::ScreenZoom4(x, y, 80, 60, dotted)", Zoom4},
        {"Mosaic inside a wandering disc, cells of 6 to 17 pixels",
         "voDraw::ScreenMosaic(centreX, centreY, 150, block)", Mosaic},
        {"Brightening grain on every channel", "voDraw::ScreenNoise(3, 0, 0, 640, 444)", Noise},
        {"Grain on red and blue only", "voDraw::ScreenNoiseRGB(1, 0, 1, 2, 0, 0, 640, 444)",
         NoiseRgb},
    };
}
