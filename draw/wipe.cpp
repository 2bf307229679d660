// Clip-rectangle wipes: scenes open and close by moving the edges of clipRect frame by
// frame; the puts then draw only inside it.
#include <algorithm>

#include "draw/draw.h"
#include "draw/draw_internal.h"
#include "system/system.h"

int wipeState = 0;
Rect wipeSaved = {0, 0, 0, 0};
int wipeClosing = 0;
int wipeKind = 0;
float wipeSpeed = 0.0f;
int wipeSlit = 0;
int wipeOpened = 0;
int wipeClosed = 0;

namespace
{

constexpr int kIdle = 0;
constexpr int kOpening = 1;
constexpr int kClosing = 2;
constexpr int kHidden = -1;

int CentreX()
{
    return wipeSaved.left + (wipeSaved.right - wipeSaved.left) / 2;
}

int CentreY()
{
    return wipeSaved.top + (wipeSaved.bottom - wipeSaved.top) / 2;
}

// Half the slit of kinds 8 and 9, kept inside the saved rectangle: a slit wider than the
// screen, or a negative one, would otherwise turn the clip rectangle outside the screen
// or inside out.
int HalfSlitX()
{
    int room = std::min(CentreX() - wipeSaved.left, wipeSaved.right - CentreX());
    return std::clamp(wipeSlit / 2, 0, std::max(room, 0));
}

int HalfSlitY()
{
    int room = std::min(CentreY() - wipeSaved.top, wipeSaved.bottom - CentreY());
    return std::clamp(wipeSlit / 2, 0, std::max(room, 0));
}

// One frame's distance: at least one pixel, so a speed of 0 (or NaN) still moves. Past a
// billion pixels every distance is the same overshoot.
int StepDistance()
{
    double distance = std::clamp(static_cast<double>(frameSeconds * wipeSpeed), -1.0e9, 1.0e9);
    return std::max(TruncateToInt(distance) + 1, 1);
}

// Moves a pair of edges apart; as soon as either reaches or passes its place, both take
// their places.
void OpenPair(std::int32_t& low, std::int32_t& high, int lowPlace, int highPlace, int d)
{
    low -= d;
    high += d;
    if (low <= lowPlace || high >= highPlace)
    {
        low = lowPlace;
        high = highPlace;
    }
}

// Moves a pair of edges together; once they meet or cross, both stand at the meeting
// point. Returns true once met.
bool ClosePair(std::int32_t& low, std::int32_t& high, int meet, int d)
{
    if (low >= high)
    {
        return true;
    }
    low += d;
    high -= d;
    if (low >= high)
    {
        low = meet;
        high = meet;
        return true;
    }
    return false;
}

// Moves a pair of edges together; true once they meet or cross, where they are left.
bool Narrow(std::int32_t& low, std::int32_t& high, int d)
{
    low += d;
    high -= d;
    return low >= high;
}

// Closes a slit kind: first the pair (low, high) comes in to the slit of half-width `half` about
// `centre`, snapping to it once it would reach it; then the other pair closes. True once closed.
bool CloseThroughSlit(std::int32_t& low, std::int32_t& high, int centre, int half,
                      std::int32_t& otherLow, std::int32_t& otherHigh, int d)
{
    if (low == centre - half || high == centre + half)
    {
        return Narrow(otherLow, otherHigh, d);
    }
    if (low + d >= centre - half || high - d <= centre + half)
    {
        low = centre - half;
        high = centre + half;
    }
    else
    {
        low += d;
        high -= d;
    }
    return false;
}

void StepOpening(int d)
{
    const Rect& s = wipeSaved;
    Rect& c = clipRect;
    switch (wipeKind)
    {
    case 1:
        c.top = std::max(c.top - d, s.top);
        break;
    case 2:
        c.bottom = std::min(c.bottom + d, s.bottom);
        break;
    case 3:
        c.left = std::max(c.left - d, s.left);
        break;
    case 4:
        c.right = std::min(c.right + d, s.right);
        break;
    case 5:
        OpenPair(c.top, c.bottom, s.top, s.bottom, d);
        break;
    case 6:
        OpenPair(c.left, c.right, s.left, s.right, d);
        break;
    case 7:
        if (c.top != s.top || c.bottom != s.bottom)
        {
            OpenPair(c.top, c.bottom, s.top, s.bottom, d);
        }
        if (c.left != s.left || c.right != s.right)
        {
            OpenPair(c.left, c.right, s.left, s.right, d);
        }
        break;
    case 8:
        if (c.top != s.top || c.bottom != s.bottom)
        {
            OpenPair(c.top, c.bottom, s.top, s.bottom, d);
        }
        else
        {
            OpenPair(c.left, c.right, s.left, s.right, d);
        }
        break;
    case 9:
        if (c.left != s.left || c.right != s.right)
        {
            OpenPair(c.left, c.right, s.left, s.right, d);
        }
        else
        {
            OpenPair(c.top, c.bottom, s.top, s.bottom, d);
        }
        break;
    }
    if (c.left == s.left && c.top == s.top && c.right == s.right && c.bottom == s.bottom)
    {
        wipeState = kIdle;
        wipeOpened = 1;
    }
}

void StepClosing(int d)
{
    const Rect& s = wipeSaved;
    Rect& c = clipRect;
    bool done = false;
    switch (wipeKind)
    {
    case 1:
        c.top += d;
        done = c.top >= s.bottom;
        break;
    case 2:
        c.bottom -= d;
        done = c.bottom <= s.top;
        break;
    case 3:
        c.left += d;
        done = c.left >= s.right;
        break;
    case 4:
        c.right -= d;
        done = c.right <= s.left;
        break;
    case 5:
        done = Narrow(c.top, c.bottom, d);
        break;
    case 6:
        done = Narrow(c.left, c.right, d);
        break;
    case 7:
    {
        bool rows = ClosePair(c.top, c.bottom, CentreY(), d);
        bool columns = ClosePair(c.left, c.right, CentreX(), d);
        done = rows && columns;
        break;
    }
    case 8:
        done = CloseThroughSlit(c.left, c.right, CentreX(), HalfSlitX(), c.top, c.bottom, d);
        break;
    case 9:
        done = CloseThroughSlit(c.top, c.bottom, CentreY(), HalfSlitY(), c.left, c.right, d);
        break;
    }
    if (done)
    {
        // clipRect keeps its empty or inverted shape: the puts draw nothing until the next
        // opening wipe.
        wipeState = kHidden;
        wipeClosed = 1;
    }
}

} // namespace

namespace voDraw
{

int StartWipe(int closing, int kind, float speed, int slit)
{
    // A kind with no movements opens at once: its clipRect stays full, so the first step
    // finds it in place and sets wipeOpened for the game that waits on it. Closing has no
    // such end and would run for ever, so it is refused.
    bool knownKind = kind >= 0 && kind <= 9;
    if (wipeState == kOpening || wipeState == kClosing || (closing != 0 && !knownKind))
    {
        return 0;
    }
    if (wipeState == kHidden)
    {
        clipRect = wipeSaved;
    }
    wipeSaved = clipRect;
    if (kind == 0)
    {
        kind = Random() % 9 + 1;
    }
    wipeOpened = 0;
    wipeClosed = 0;
    wipeClosing = closing;
    wipeKind = kind;
    wipeSpeed = speed;
    wipeSlit = slit;
    if (closing != 0)
    {
        wipeState = kClosing;
        return 1;
    }
    wipeState = kOpening;
    const Rect& s = wipeSaved;
    Rect& c = clipRect;
    switch (kind)
    {
    case 1:
        c.top = s.bottom;
        break;
    case 2:
        c.bottom = s.top;
        break;
    case 3:
        c.left = s.right;
        break;
    case 4:
        c.right = s.left;
        break;
    case 5:
        c.top = c.bottom = CentreY();
        break;
    case 6:
        c.left = c.right = CentreX();
        break;
    case 7:
        c.left = c.right = CentreX();
        c.top = c.bottom = CentreY();
        break;
    case 8:
        c.left = CentreX() - HalfSlitX();
        c.right = CentreX() + HalfSlitX();
        c.top = c.bottom = CentreY();
        break;
    case 9:
        c.top = CentreY() - HalfSlitY();
        c.bottom = CentreY() + HalfSlitY();
        c.left = c.right = CentreX();
        break;
    }
    return 1;
}

int StepWipe()
{
    if (wipeState < kOpening)
    {
        return 0;
    }
    int d = StepDistance();
    if (wipeState == kOpening)
    {
        StepOpening(d);
    }
    else
    {
        StepClosing(d);
    }
    return 1;
}

void HideAll()
{
    // The full rectangle is saved only from an idle screen: a running wipe has saved it
    // already, and a hidden screen's clipRect is empty. Saving either would lose it.
    if (wipeState == kIdle)
    {
        wipeSaved = clipRect;
    }
    clipRect.right = clipRect.left;
    clipRect.bottom = clipRect.top;
    wipeState = kHidden;
}

} // namespace voDraw

void CancelWipe()
{
    if (wipeState > kIdle)
    {
        clipRect = wipeSaved;
        wipeState = kIdle;
    }
}
