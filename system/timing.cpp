// voSystem timers: ten numbered wait slots, the busy wait and the frame timer.
#include "system/system.h"
#include "system/system_texts.h"

namespace
{

constexpr std::uint32_t kClearedSlot = 999999999;

struct WaitState
{
    // Slots 1..10 at index 1..10, then the busy-wait deadline; index 0 is unused.
    std::uint32_t deadlines[12] = {};
};

WaitState waits;

bool SlotInRange(int slot)
{
    return slot >= 1 && slot <= 10;
}

} // namespace

namespace voSystem
{

int SetWait(int slot, std::uint32_t durationMs)
{
    if (!SlotInRange(slot))
    {
        return ShowError("voSystem::SetWait", kWaitSlotOutOfRange);
    }
    waits.deadlines[slot] = platform::NowMs() + durationMs;
    return 1;
}

int InitWait(int slot)
{
    if (!SlotInRange(slot))
    {
        return ShowError("voSystem::InitWait", kWaitSlotOutOfRange);
    }
    waits.deadlines[slot] = kClearedSlot;
    return 1;
}

} // namespace voSystem

int IsWaitOver(int slot)
{
    // A slot that does not exist has no wait running.
    if (!SlotInRange(slot))
    {
        return 1;
    }
    return platform::NowMs() > waits.deadlines[slot] ? 1 : 0;
}

int ResetWaits()
{
    for (int i = 1; i <= 11; ++i)
    {
        waits.deadlines[i] = kClearedSlot;
    }
    LeaveRawKeyMode();
    systemKeysPass = 0;
    return 1;
}

void ResetFrameTimer()
{
    frameSeconds = 0.0f;
    lastFrameTime = platform::NowMs();
}

void MeasureFrameTime()
{
    std::uint32_t now = platform::NowMs();
    frameSeconds = static_cast<float>(static_cast<double>(now - lastFrameTime) / 1000.0);
    lastFrameTime = platform::NowMs();
}

void BusyWait(std::uint32_t durationMs)
{
    waits.deadlines[11] = platform::NowMs() + durationMs;
    platform::WaitPast(waits.deadlines[11]);
    ResetFrameTimer();
}
