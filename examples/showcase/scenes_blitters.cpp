// The software blitters that copy a source object: blends, colour effects, rotation and
// warps, mirrored and row-wise puts. Each panel draws the sphere (or the texture) with one
// member over the backdrop and names the call under it.
#include <cmath>

#include "draw/blit/blit.h"
#include "showcase.h"

namespace
{

constexpr int kColumns = 5;
constexpr int kPanelWidth = 128;
constexpr int kPanelHeight = 148;

// The top-left corner of panel n (five a row, two rows from y = 40).
int PanelX(int n)
{
    return (n % kColumns) * kPanelWidth + 16;
}
int PanelY(int n)
{
    return 40 + (n / kColumns) * (kPanelHeight + 40);
}
void Label(int n, const char* text)
{
    voDraw::PrintText(PanelX(n) - 12, PanelY(n) + 104, text);
}

// A level that swings from 0 to 1 and back over two seconds.
float Swing(int t)
{
    return static_cast<float>(0.5 + 0.5 * std::sin(t * 3.14159265358979 / 60.0));
}

void Blends(int t)
{
    DrawBackdrop(t);
    const ObjectId s = assets.sphere;
    float a = Swing(t);
    int level = static_cast<int>(a * 31);
    voDraw::PutHalf(PanelX(0), PanelY(0), s, 0, 0, 96, 96);
    Label(0, "PutHalf");
    voDraw::PutAlpha(PanelX(1), PanelY(1), a, s, 0, 0, 96, 96);
    Label(1, "PutAlpha(a)");
    voDraw::PutAlphaRGB(PanelX(2), PanelY(2), 1.0f, a, 0.3f, s, 0, 0, 96, 96);
    Label(2, "PutAlphaRGB(1,a,.3)");
    voDraw::PutFade(PanelX(3), PanelY(3), level, s, 0, 0, 96, 96);
    Label(3, "PutFade(level)");
    voDraw::PutFadeRGB(PanelX(4), PanelY(4), 31, level, 8, s, 0, 0, 96, 96);
    Label(4, "PutFadeRGB(31,l,8)");
    voDraw::PutAlphaRamp(PanelX(5), PanelY(5), 0.0f, 0.0f, 0.0f, 0, level, 3, s, 0, 0, 96, 96);
    Label(5, "PutAlphaRamp");
    voDraw::PutFadeRamp(PanelX(6), PanelY(6), 0, 0, 0, 1, level, 3, s, 0, 0, 96, 96);
    Label(6, "PutFadeRamp");
    voDraw::PutAdd(PanelX(7), PanelY(7), s, 0, 0, 96, 96);
    Label(7, "PutAdd");
    voDraw::PutAddLevel(PanelX(8), PanelY(8), a, s, 0, 0, 96, 96);
    Label(8, "PutAddLevel(a)");
    voDraw::PutSubtract(PanelX(9), PanelY(9), s, 0, 0, 96, 96);
    Label(9, "PutSubtract");
}

void ColourEffects(int t)
{
    DrawBackdrop(t);
    const ObjectId s = assets.sphere;
    float a = Swing(t);
    int level = static_cast<int>(a * 31);
    voDraw::PutSmoothEdges(PanelX(0), PanelY(0), s, 0, 0, 96, 96);
    Label(0, "PutSmoothEdges");
    voDraw::PutChannels(PanelX(1), PanelY(1), 1, 0, 1, s, 0, 0, 96, 96);
    Label(1, "PutChannels(1,0,1)");
    voDraw::PutBrightness(PanelX(2), PanelY(2), a, s, 0, 0, 96, 96);
    Label(2, "PutBrightness(a)");
    voDraw::PutBrightnessRGB(PanelX(3), PanelY(3), a, 1.0f, 1.0f - a, s, 0, 0, 96, 96);
    Label(3, "PutBrightnessRGB");
    voDraw::PutDarken(PanelX(4), PanelY(4), level, s, 0, 0, 96, 96);
    Label(4, "PutDarken(level)");
    voDraw::PutDarkenRGB(PanelX(5), PanelY(5), level, 31, 31 - level, s, 0, 0, 96, 96);
    Label(5, "PutDarkenRGB");
    voDraw::PutBlur(PanelX(6), PanelY(6), 1 + (t / 20) % 8, s, 0, 0, 96, 96);
    Label(6, "PutBlur(n)");
    voDraw::PutGray(PanelX(7), PanelY(7), s, 0, 0, 96, 96);
    Label(7, "PutGray");
    voDraw::PutDisplace(PanelX(8), PanelY(8), a, assets.bumps, 0, 0, 96, 96);
    Label(8, "PutDisplace(a)");
    voDraw::PutGlow(PanelX(9), PanelY(9), 2, 3, 1, 0xFF, 1, s, 0, 0, 96, 96);
    Label(9, "PutGlow(2,3,1,0xFF)");
}

void Rotation(int t)
{
    DrawBackdrop(t);
    int angle = (t * 3) % 360;
    float zoom = 0.6f + Swing(t);
    const ObjectId s = assets.sphere;
    voDraw::PutRotate(20, 40, 180, 200, angle, s, 0, 0, 96, 96);
    voDraw::PrintText(20, 204, "PutRotate(angle)");
    voDraw::PutRotateTiled(240, 40, 400, 200, angle, assets.bricks, 0, 0, 128, 128);
    voDraw::PrintText(240, 204, "PutRotateTiled");
    voDraw::PutRotateZoom(460, 40, 620, 200, angle, zoom, s, 0, 0, 96, 96);
    voDraw::PrintText(460, 204, "PutRotateZoom(zoom)");
    voDraw::PutRotateZoomTiled(20, 240, 300, 420, -angle, zoom, assets.bricks, 0, 0, 128, 128);
    voDraw::PrintText(20, 424, "PutRotateZoomTiled");
    voDraw::PutPerspective(340, 240, 620, 420, angle / 4, 4.0f, -0.018f, 4.0f, -0.018f, 1.0f,
                           0.9f, 0.8f, assets.bricks, 0, 0, 128, 128);
    voDraw::PrintText(340, 424, "PutPerspective");
}

struct TunnelShow
{
    int madeKind = -1; // distanceKind the map was last made with
};
TunnelShow tunnel;

void RippleAndTunnel(int t)
{
    voDraw::FillColor(0, 0, kShowWidth, kBarTop, 0);
    int kind = (t / 120) % 4;
    if (kind != tunnel.madeKind)
    {
        voDraw::MakeTunnel(128, 128, 300, 220, -1, -1, -1, 0, kind, 0);
        tunnel.madeKind = kind;
    }
    voDraw::PutTunnel(10, 20, (t * 2) % 128, (t * 3) % 128, assets.bricks);
    voDraw::PrintTextFormat(10, 250, "MakeTunnel(.., distanceKind %d, ..); PutTunnel", kind);
    voDraw::PutRipple(340, 40, 40 + static_cast<int>(30 * std::sin(t * 0.05)), 12, 1, 1.0f,
                      0.3f, assets.landscape, 200, 100, 440, 340);
    voDraw::PrintText(340, 330, "PutRipple(amplitude, 12, 1, 1, .3)");
}

void Mirrors(int t)
{
    DrawBackdrop(t);
    const ObjectId s = assets.sphere;
    for (int mode = 0; mode < 4; ++mode)
    {
        voDraw::PutFlip(PanelX(mode), PanelY(mode), mode, s, 0, 0, 96, 96);
    }
    voDraw::PrintText(20, 144, "PutFlip modes 0, 1, 2, 3");
    voDraw::PutSmear(PanelX(4), PanelY(4), 0, 48 + static_cast<int>(40 * std::sin(t * 0.05)), s,
                     0, 0, 96, 96);
    voDraw::PrintText(PanelX(4) - 12, 144, "PutSmear");
    voDraw::PutScanlines(PanelX(5), PanelY(5), (t / 40) % 2 == 0 ? 2 : -3, s, 0, 0, 96, 96);
    Label(5, "PutScanlines");
    voDraw::PutJitter(PanelX(6), PanelY(6), 6, s, 0, 0, 96, 96);
    Label(6, "PutJitter(6)");
    voDraw::PutDrum(PanelX(7), PanelY(7), 0, 40.0f, assets.bricks, 0, 0, 96, 96);
    Label(7, "PutDrum(0, 40)");
    voDraw::PutDrum(PanelX(8), PanelY(8), 1, 40.0f, s, 0, 0, 96, 96);
    Label(8, "PutDrum(1, 40)");
}

} // namespace

std::vector<Scene> BlitterScenes()
{
    return {
        {"Blends: half, opacity, cross-fade, ramps, addition, subtraction",
         "voDraw::PutHalf / PutAlpha / PutFade / PutAlphaRamp / PutAdd / PutSubtract", Blends},
        {"Colour effects: edges, channels, brightness, darkening, blur, grey, displace, glow",
         "voDraw::PutSmoothEdges / PutChannels / PutBrightness / PutDarken / PutGlow",
         ColourEffects},
        {"Rotation, zoom and perspective", "voDraw::PutRotate / PutRotateZoom / PutPerspective",
         Rotation},
        {"Tunnel (four cross-sections) and ripple", "voDraw::MakeTunnel / PutTunnel / PutRipple",
         RippleAndTunnel},
        {"Mirrored, smeared and row-wise puts",
         "voDraw::PutFlip / PutSmear / PutScanlines / PutJitter / PutDrum", Mirrors},
    };
}
