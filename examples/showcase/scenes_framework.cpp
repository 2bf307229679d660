// The framework's other facilities: transitions, wipes, text, GDI shapes, the wave puts,
// sound with echo and pan, MIDI music and the joystick.
#include <cmath>

#include "draw/draw.h"
#include "input/input.h"
#include "platform/pixels.h"
#include "showcase.h"
#include "sound/sound.h"

namespace
{

constexpr double kPi = 3.14159265358979323846;

// Transition kinds 0 (pattern cells) to 12, each run incoming over the backdrop.
struct TransitionState
{
    int nextKind = 0;
};
TransitionState transitions;

void Transitions(int t)
{
    DrawBackdrop(t);
    if (t == 0)
    {
        transitions.nextKind = 0;
    }
    if (transitionStep == 0)
    {
        transitionKind = transitions.nextKind;
        transitions.nextKind = (transitions.nextKind + 1) % 13;
        voDraw::StartTransitionIn();
    }
    voDraw::PrintTextFormat(8, 8, "transitionKind = %d, step %d", transitionKind, transitionStep);
}

// The scene-change presets: the picture before the call (the brick wall) opens sideways
// (mode 1) or vertically (mode 2) over 60 steps onto the one drawn after it.
struct SceneTransitionShow
{
    int mode = 2;
};
SceneTransitionShow sceneTransitions;

void SceneTransitions(int t)
{
    if (transitionStep == 0)
    {
        voDraw::PutTiled(0.0f, 0.0f, assets.bricks, 0, 0, 128, 128);
        sceneTransitions.mode = t == 0 || sceneTransitions.mode == 2 ? 1 : 2;
        voDraw::StartSceneTransition(sceneTransitions.mode);
    }
    DrawBackdrop(t);
    voDraw::PrintTextFormat(8, 8, "StartSceneTransition(%d): kind %d, step %d of %d",
                            sceneTransitions.mode, transitionKind, transitionStep,
                            transitionSteps);
}

// Wipe kinds 1 to 9, each opening and then closing.
struct WipeShow
{
    int kind = 1;
};
WipeShow wipes;

void Wipes(int t)
{
    if (t == 0)
    {
        wipes.kind = 1;
        voDraw::StartWipe(0, wipes.kind, 900.0f, 12);
    }
    voDraw::StepWipe();
    if (wipeState == 0 && wipeOpened != 0 && wipeClosing == 0)
    {
        voDraw::StartWipe(1, wipes.kind, 900.0f, 12);
    }
    else if (wipeState == -1 || (wipeState == 0 && wipeClosed != 0 && wipeClosing != 0))
    {
        wipes.kind = wipes.kind % 9 + 1;
        voDraw::StartWipe(0, wipes.kind, 900.0f, 12);
    }
    DrawBackdrop(t);
    voDraw::PrintTextFormat(8, 8, "wipeKind = %d, %s", wipeKind,
                            wipeClosing != 0 ? "closing" : "opening");
}

// Japanese and Latin text through the printers, in both system faces.
const char kJapanese[] = "\x93\xFA\x96{\x8C\xEA\x82\xCC\x95\xB6\x8E\x9A\x82\xC6Latin letters";
// 日本語の文字とLatin letters
const char kMincho[] = "\x96\xBE\x92\xA9\x91\xCC"; // 明朝体
const char kGothic[] = "\x83S\x83V\x83" "b\x83N\x91\xCC"; // ゴシック体
const char kWrapped[] =
    "\x98g\x82\xCC\x92\x86\x82\xC5\x90\xDC\x82\xE8\x95\xD4\x82\xB7\x92\xB7\x82\xA2\x95\xB6\x8F"
    "\xCD\x82\xC5\x82\xB7\x81" "BThe box wraps long text at word boundaries.";
// 枠の中で折り返す長い文章です。The box wraps long text at word boundaries.
const char kHello[] = "\x82\xB1\x82\xF1\x82\xC9\x82\xBF\x82\xCD\x81" "A\x90\xA2\x8A" "E";
// こんにちは、世界

void Text(int t)
{
    voDraw::FillColor(0, 0, kShowWidth, kBarTop, 0x0010);
    voDraw::DrawFps();

    voDraw::BeginText(FACE_MINCHO, 28, 0, 0, 0, 0);
    voDraw::SetTextColors(platform::MakeRgb(255, 255, 255), 0, 1);
    voDraw::PutText(20, 40, kMincho);
    voDraw::PutText(20, 74, kJapanese);
    voDraw::EndText();

    voDraw::BeginText(FACE_GOTHIC, 28, 0, 1, 0, 0);
    voDraw::SetTextColors(platform::MakeRgb(255, 220, 80), 0, 1);
    voDraw::PutText(20, 120, kGothic);
    voDraw::PutText(20, 154, kJapanese);
    voDraw::EndText();

    voDraw::BeginText(FACE_GOTHIC, 24, (t * 2) % 360, 0, 1, 1);
    voDraw::SetTextColors(platform::MakeRgb(120, 255, 160), platform::MakeRgb(60, 0, 60), 0);
    voDraw::PutText(470, 200, kHello);
    voDraw::EndText();

    voDraw::BeginText(FACE_MINCHO, 18, 0, 0, 0, 0);
    voDraw::SetTextColors(platform::MakeRgb(255, 255, 255), platform::MakeRgb(40, 40, 120), 0);
    voDraw::DrawTextBox(20, 200, 300, 300, kWrapped, (t / 60) % 3);
    voDraw::EndText();

    voDraw::PrintText(20, 330, "voDraw::PrintText: Gothic 12, white on navy");
    voDraw::PrintTextFormat(20, 350, "voDraw::PrintTextFormat: frame %d, %s", t, kHello);
    voDraw::PrintFloats(20, 370, t / 60.0, std::sin(t / 30.0));
    voDraw::PrintText(20, 400, "DrawTextBox alignment cycles 0 left, 1 centred, 2 right; "
                               "voDraw::DrawFps at the top");
}

void Shapes(int t)
{
    voDraw::FillColor(0, 0, kShowWidth, kBarTop, 0x1082);
    // A fan of lines turning, widening pens.
    for (int i = 0; i < 12; ++i)
    {
        double a = (t * 1.5 + i * 30) * kPi / 180.0;
        voDraw::Line(120, 130, 120 + static_cast<int>(100 * std::cos(a)),
                     130 + static_cast<int>(100 * std::sin(a)),
                     platform::MakeRgb(255, 40 + i * 18, 40), 1 + i / 4);
    }
    voDraw::Rectangle(260, 40, 380, 140, platform::MakeRgb(40, 120, 220),
                      platform::MakeRgb(255, 255, 255), 3);
    const platform::Point triangle[3] = {{420, 140}, {520, 30}, {620, 140}};
    voDraw::Polygon(triangle, 3, platform::MakeRgb(255, 200, 0), platform::MakeRgb(80, 0, 80), 2,
                    1);
    const platform::Point diamond[4] = {{300, 180}, {380, 240}, {300, 300}, {220, 240}};
    voDraw::PutOpaque(220, 180, assets.bricks, 0, 0, 128, 120);
    voDraw::Polygon(diamond, 4, platform::MakeRgb(0, 255, 120), 0, 1, 2);
    int wave = static_cast<int>(80 * std::sin(t * 0.05));
    const platform::Point curve[7] = {{420, 300}, {460, 200 + wave}, {500, 400 - wave},
                                      {540, 300}, {570, 220},        {600, 380 + wave},
                                      {630, 300}};
    voDraw::Bezier(curve, 7, platform::MakeRgb(255, 255, 255), 2);
    for (int i = 0; i < 300; ++i)
    {
        int x = (i * 97 + t * 3) % 200;
        int y = 330 + (i * 61) % 100;
        voDraw::SetPixel(20 + x, y, platform::MakeRgb(255, 255, 150 + i % 100));
    }
    int red = 0;
    int green = 0;
    int blue = 0;
    voDraw::GetPixel(300, 60, red, green, blue);
    voDraw::PrintTextFormat(260, 150, "GetPixel(300, 60) = %d %d %d", red, green, blue);
}

void WavePuts(int t)
{
    voDraw::PutTiled(30.0f, 20.0f, assets.bricks, 0, 0, 128, 128);
    voDraw::PutWave(40, 40, 12, 8, 180.0f, assets.sphere, 0, 0, 96, 96, t / 60 % 2);
    voDraw::PutWaveScroll(200, 40, 10, 6, 120.0f, 30.0f, assets.star, 0, 0, 64, 64);
    voDraw::PutWaveBand(300, 380, 16, 10, 90.0f, 40.0f, assets.landscape, 0, 250, 640, 330);
    voDraw::PutRowRepeat(400, 40, 2 + (t / 30) % 6, assets.sphere, 0, 0, 96, 96);
    int size = 64 + static_cast<int>(48 * std::sin(t * 0.05));
    voDraw::PutStretch(520, 60, assets.star, 0, 0, 64, 64, size, size);
    voDraw::PrintText(8, 200, "PutTiled, PutWave, PutWaveScroll, PutWaveBand, PutRowRepeat, "
                              "PutStretch");
}

// The chime every two and a half seconds with an echo sweeping between the speakers.
void Sound(int t)
{
    DrawBackdrop(t);
    if (t % 150 == 0)
    {
        voSound::Play(assets.chime, voSound::COPY_CURRENT);
    }
    voSound::EchoSweep(assets.chime, 160, 6, 4, 4);
    const SoundObject& chime = soundTable[assets.chime];
    int x = 320 + static_cast<int>(chime.echoPan * 9);
    voDraw::FillColor(20, 400, 620, 404, 0xFFFF);
    voDraw::Rectangle(x - 8, 392, x + 8, 412, platform::MakeRgb(255, 60, 60),
                      platform::MakeRgb(255, 255, 255), 1);
    voDraw::PrintTextFormat(8, 8, "chime.wav: echo stage %d, pan %.1f dB, copy %d",
                            chime.echoStage, chime.echoPan, chime.currentCopy);
    voDraw::PrintText(8, 24, chime.inUse != 0 ? "made by the showcase's make_assets"
                                              : "no sound device: nothing plays");
}

void Music(int t)
{
    DrawBackdrop(t);
    if (t == 0)
    {
        voSound::PlayMidi("tune.mid", 1);
    }
    voDraw::PrintTextFormat(8, 8, "tune.mid, looping: piece open %d, loop %d", midiPieceOpen,
                            midiLooping);
    for (int i = 0; i < 16; ++i)
    {
        int h = 20 + static_cast<int>(60 * std::fabs(std::sin(t * 0.08 + i * 0.7)));
        voDraw::FillColor(160 + i * 20, 400 - h, 176 + i * 20, 400, 0x07E0);
    }
}

void Joystick(int t)
{
    voDraw::PutTiled(10.0f, 0.0f, assets.bricks, 0, 0, 128, 128);
    PollInput(inputState);
    std::int32_t x = 0;
    std::int32_t y = 0;
    int read = JoyPosition(0, x, y);
    int xClass = 0;
    int yClass = 0;
    JoyDirection(0, xClass, yClass);
    int buttons[4] = {};
    JoyButtons(0, buttons);
    voDraw::FillColor(170, 60, 470, 360, 0);
    int px = 170 + static_cast<int>(static_cast<std::int64_t>(x) * 300 / 65536);
    int py = 60 + static_cast<int>(static_cast<std::int64_t>(y) * 300 / 65536);
    voDraw::Line(170, py, 470, py, platform::MakeRgb(90, 90, 0), 1);
    voDraw::Line(px, 60, px, 360, platform::MakeRgb(90, 90, 0), 1);
    voDraw::Rectangle(px - 10, py - 10, px + 11, py + 11, platform::MakeRgb(255, 255, 0),
                      platform::MakeRgb(255, 255, 255), 1);
    for (int b = 0; b < 4; ++b)
    {
        std::uint32_t colour = buttons[b] != 0 ? platform::MakeRgb(255, 60, 60)
                                               : platform::MakeRgb(60, 60, 60);
        voDraw::Rectangle(500, 80 + b * 60, 550, 120 + b * 60, colour,
                          platform::MakeRgb(255, 255, 255), 1);
    }
    voDraw::PrintTextFormat(8, 8, "JoyPosition(0) = %d: %d, %d   JoyDirection(0) = %d, %d", read,
                            x, y, xClass, yClass);
    voDraw::PrintTextFormat(8, 24, "PollInput: held 0x%02X trigger 0x%02X   frame %d",
                            inputState.held, inputState.trigger, t);
}

} // namespace

std::vector<Scene> FrameworkScenes()
{
    return {
        {"Transitions: kinds 0 (pattern cells) to 12, each run incoming",
         "transitionKind = k; voDraw::StartTransitionIn()", Transitions},
        {"Scene transitions: the old picture opens sideways (mode 1) or vertically (mode 2)",
         "voDraw::StartSceneTransition(mode)", SceneTransitions},
        {"Clip-rectangle wipes: kinds 1 to 9, opening then closing",
         "voDraw::StartWipe(closing, kind, 900, 12); voDraw::StepWipe()", Wipes},
        {"Text: both faces, Japanese and Latin, a box, the printers, the frame rate",
         "voDraw::BeginText / PutText / DrawTextBox / PrintTextFormat / DrawFps", Text},
        {"GDI shapes: lines, a rectangle, hatched polygons, a Bezier chain, pixels",
         "voDraw::Line / Rectangle / Polygon / Bezier / SetPixel / GetPixel", Shapes},
        {"Wave, tiled, row-repeat and stretched puts",
         "voDraw::PutWave / PutTiled / PutWaveScroll / PutWaveBand / PutRowRepeat", WavePuts},
        {"Sound: a chime with an echo sweeping between left and right",
         "voSound::Play(chime, COPY_CURRENT); voSound::EchoSweep(chime, 160, 6, 4, 4)", Sound},
        {"MIDI music: a standard MIDI file made by make_assets, looping",
         "voSound::PlayMidi(\"tune.mid\", 1)", Music},
        {"Joystick 0 and the input poller", "JoyPosition / JoyDirection / JoyButtons / PollInput",
         Joystick},
    };
}
