// The present step: the running transition and the help overlay laid over the back buffer,
// then the copy to the window after the vertical blank.
#include <algorithm>
#include <utility>

#include "draw/draw_internal.h"
#include "platform/display.h"
#include "system/system.h"

int transitionKind = 0;
int transitionStep = 0;
int transitionDirection = 0;
int transitionSteps = 0;
ObjectId transitionPattern = 0;

int overlayShown = 0;
int overlayKey = 0;
int overlayPageHeight = 0;
ObjectId overlayPage = 0;
ObjectId overlayTile = 0;
float overlayScroll = 0;
float overlayOffsetX = 0;
float overlayOffsetY = 0;

namespace
{

constexpr int kPatternFrames = 10; // frames of the pattern strip; also the in/out step count
constexpr int kCellWidth = 64;     // a pattern frame and an overlay tile
constexpr int kCellHeight = 48;
constexpr int kSceneSteps = 60;
constexpr ObjectId kOldPicture = 1; // Screen holds the picture a transition leaves

// x shift of a scattered row or band: a fresh pseudo-random number folded into the range
// that widens as the transition goes on.
int Scatter(int steps, int t)
{
    int range = 2 * (steps - t) + 2;
    // A step past the count leaves no range to fold into; the row stays in place.
    if (range == 0)
    {
        return 0;
    }
    return Random() % range - (steps - t + 1);
}

void DrawTransition(int t)
{
    const int w = screenWidth;
    const int h = screenHeight;
    // Kinds 1 to 12 started without a step count run the ten steps of the in and out
    // starts, instead of dividing by zero.
    const int steps = transitionSteps > 0 ? transitionSteps : kPatternFrames;
    const int k = steps - t + 1;
    switch (transitionKind)
    {
    case 0:
        // Ten by ten cells cover a 640 x 480 screen; a larger screen gets as many more as it
        // needs, so that the pattern still covers all of it.
        for (int i = 0; i < std::max(10, (w + kCellWidth - 1) / kCellWidth); ++i)
        {
            for (int j = 0; j < std::max(10, (h + kCellHeight - 1) / kCellHeight); ++j)
            {
                voDraw::Put(kCellWidth * i, kCellHeight * j, transitionPattern,
                            kCellWidth * (t - 1), 0, kCellWidth * (t - 1) + kCellWidth,
                            kCellHeight);
            }
        }
        break;
    case 1:
    case 3:
        for (int y = 0; y < h; ++y)
        {
            if (y % t != 0)
            {
                int x = transitionKind == 3 ? Scatter(steps, t) : 0;
                voDraw::PutOpaque(x, y, kOldPicture, 0, y, w, y + 1);
            }
        }
        break;
    case 2:
    case 4:
        for (int y = 0; y < h; y += steps)
        {
            int x = transitionKind == 4 ? Scatter(steps, t) : 0;
            voDraw::PutOpaque(x, y, kOldPicture, 0, y, w, y + t + 1);
        }
        break;
    case 5:
        voDraw::PutOpaque(0, ((-h) / steps) * k, kOldPicture, 0, 0, w, h);
        break;
    case 6:
        voDraw::PutOpaque(0, (h / steps) * k, kOldPicture, 0, 0, w, h);
        break;
    case 7:
        voDraw::PutOpaque(((-w) / steps) * k, 0, kOldPicture, 0, 0, w, h);
        break;
    case 8:
        voDraw::PutOpaque((w / steps) * k, 0, kOldPicture, 0, 0, w, h);
        break;
    case 9:
        voDraw::PutOpaque(0, (((-h) / 2) / steps) * k, kOldPicture, 0, 0, w, h / 2);
        voDraw::PutOpaque(0, h / 2 + ((h / 2) / steps) * k, kOldPicture, 0, h / 2, w, h);
        break;
    case 10:
        voDraw::PutOpaque((((-w) / 2) / steps) * k, 0, kOldPicture, 0, 0, w / 2, h);
        voDraw::PutOpaque(w / 2 + ((w / 2) / steps) * k, 0, kOldPicture, w / 2, 0, w, h);
        break;
    case 11:
        voDraw::PutOpaque(0, 0, kOldPicture, 0, 0, (w / steps) * t, h);
        break;
    case 12:
    {
        int x0 = (w / steps) * k;
        voDraw::PutOpaque(x0, 0, kOldPicture, x0, 0, w, h);
        break;
    }
    default:
        // Kind 13 and any other draw nothing while the steps still run.
        break;
    }
}

void DrawOverlay()
{
    int offsetX = TruncateToInt(overlayOffsetX);
    int offsetY = TruncateToInt(overlayOffsetY);
    for (int i = 0; i <= 10; ++i)
    {
        for (int j = 0; j <= 10; ++j)
        {
            voDraw::Put(kCellWidth * i + offsetX, kCellHeight * j + offsetY, overlayTile, 0, 0,
                        kCellWidth, kCellHeight);
        }
    }
    overlayOffsetX -= frameSeconds * 10;
    overlayOffsetY -= frameSeconds * 10;
    if (overlayOffsetX <= -kCellWidth)
    {
        overlayOffsetX += kCellWidth;
    }
    if (overlayOffsetY <= -kCellHeight)
    {
        overlayOffsetY += kCellHeight;
    }

    int clipWidth = clipRect.right - clipRect.left;
    int clipHeight = clipRect.bottom - clipRect.top;
    int position = TruncateToInt(overlayScroll);
    voDraw::Put(clipRect.left, clipRect.top, overlayPage, 0, position, clipWidth,
                position + clipHeight);

    switch (overlayKey)
    {
    case platform::kVkUp:
        overlayScroll -= frameSeconds * 100;
        break;
    case platform::kVkLeft:
        overlayScroll -= frameSeconds * 300;
        break;
    case platform::kVkDown:
        overlayScroll += frameSeconds * 100;
        break;
    case platform::kVkRight:
        overlayScroll += frameSeconds * 300;
        break;
    default:
        break;
    }
    // The bottom limit first and the top one last, so that a page shorter than the clip
    // rectangle stays at its top instead of scrolling above it.
    float lowest = static_cast<float>(overlayPageHeight - clipHeight);
    if (overlayScroll > lowest)
    {
        overlayScroll = lowest;
    }
    if (overlayScroll < 0)
    {
        overlayScroll = 0;
    }
}

} // namespace

void ResetOverlayObjects()
{
    overlayPage = 0;
    overlayTile = 0;
}

namespace voDraw
{

void Present()
{
    if (transitionStep != 0)
    {
        DrawTransition(transitionStep);
        transitionStep += transitionDirection;
        if ((transitionDirection == -1 && transitionStep < 1) ||
            (transitionDirection == 1 && transitionStep > kPatternFrames))
        {
            transitionStep = 0;
            transitionDirection = 0;
        }
    }
    if (overlayShown != 0)
    {
        DrawOverlay();
    }
    // A frame whose vertical-blank wait fails is not shown; the last one stays.
    if (waitVerticalBlank != 0 && !platform::WaitForVerticalBlank())
    {
        return;
    }
    // In full screen the display mode is the picture, from its top-left corner, whatever
    // the window's position.
    platform::SurfaceRect window{windowRect[0], windowRect[1], windowRect[2], windowRect[3]};
    if (fullScreen != 0)
    {
        window = platform::SurfaceRect{0, 0, screenWidth, screenHeight};
    }
    platform::SurfaceRect source{0, 0, screenWidth, screenHeight};
    if (platform::Blt(PrimarySurface(), window, BackBuffer(), source, false) ==
        platform::SurfaceResult::SurfaceLost)
    {
        RestoreObjects();
    }
}

void SetWaitVSync(int flag)
{
    waitVerticalBlank = flag;
}

void StartTransitionIn()
{
    transitionStep = kPatternFrames;
    transitionDirection = -1;
}

void StartTransitionOut()
{
    transitionStep = 1;
    transitionDirection = 1;
}

void StartSceneTransition(int mode)
{
    if (mode == 1 || mode == 3)
    {
        transitionKind = 10;
    }
    else if (mode == 2)
    {
        transitionKind = 9;
    }
    else
    {
        return;
    }
    transitionSteps = kSceneSteps;
    // The picture shown last becomes the old picture that opens.
    platform::SurfaceRect whole{0, 0, screenWidth, screenHeight};
    if (platform::BltFast(ObjectSurface(kOldPicture), 0, 0, BackBuffer(), whole, false) ==
        platform::SurfaceResult::SurfaceLost)
    {
        RestoreObjects();
    }
    programMode = 1;
    prevProgramMode = 0;
    transitionStep = transitionSteps;
    transitionDirection = -1;
}

void LoadTransitionPattern(const char* name)
{
    SetKeyColor(0);
    transitionPattern = LoadObject(name, 2);
}

void LoadOverlay(const char* pageName, const char* tileName, int pageHeight)
{
    SetKeyColor(0);
    // An object that failed to load before (handle 0) is loaded afresh: swapping into
    // handle 0 would overwrite Buffer. A failed swap frees the slot, which another object
    // may take next, so the handle is dropped with it.
    for (auto [handle, name] : {std::pair{&overlayPage, pageName}, {&overlayTile, tileName}})
    {
        if (*handle == 0)
        {
            *handle = LoadObject(name, 2);
        }
        else if (SwapObject(name, *handle, 2) == 0)
        {
            *handle = 0;
        }
    }
    overlayScroll = 0;
    overlayPageHeight = pageHeight;
}

void ToggleOverlay()
{
    if (overlayShown != 0)
    {
        overlayShown = 0;
    }
    else if (overlayPageHeight != 0)
    {
        overlayShown = 1;
    }
}

} // namespace voDraw
