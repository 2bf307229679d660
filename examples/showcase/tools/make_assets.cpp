// Draws the showcase's pictures and makes its sound and music: BMP sprites with transparent
// black regions, a full-screen picture, a texture, a height map, a transition pattern strip,
// a WAV chime and a small standard MIDI file. The showcase's build runs it and puts what it
// makes beside the program.
//
// Black (0, 0, 0) is the key: the showcase's puts leave those pixels out. On the 16-bit
// screen a colour with red and blue below 8 and green below 4 also turns into the key, so
// every pixel meant to show is kept at or above (8, 8, 8).
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace
{

struct Colour
{
    int r, g, b;
};

constexpr Colour kKey = {0, 0, 0};
constexpr double kPi = 3.14159265358979323846;

int Clamp(double v, int low, int high)
{
    return std::clamp(static_cast<int>(std::lround(v)), low, high);
}

// A visible colour: never one the 16-bit screen would turn into the key.
Colour Visible(double r, double g, double b)
{
    return Colour{Clamp(r, 8, 255), Clamp(g, 8, 255), Clamp(b, 8, 255)};
}

void PutLe(std::string& out, std::uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
    {
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
    }
}

void PutBe(std::string& out, std::uint32_t value, int bytes)
{
    for (int i = bytes - 1; i >= 0; --i)
    {
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
    }
}

bool WriteFile(const std::string& path, const std::string& bytes)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr)
    {
        std::fprintf(stderr, "make_assets: cannot write %s\n", path.c_str());
        return false;
    }
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && ok;
}

// A 24-bit bottom-up BMP; colour(x, y) counts y from the top.
bool WriteBmp(const std::string& path, int width, int height,
              const std::function<Colour(int, int)>& colour)
{
    int stride = (width * 3 + 3) / 4 * 4;
    std::string out;
    out += "BM";
    PutLe(out, 54 + stride * height, 4);
    PutLe(out, 0, 4);
    PutLe(out, 54, 4);
    PutLe(out, 40, 4);
    PutLe(out, width, 4);
    PutLe(out, height, 4);
    PutLe(out, 1, 2);
    PutLe(out, 24, 2);
    PutLe(out, 0, 4);
    PutLe(out, stride * height, 4);
    PutLe(out, 2835, 4);
    PutLe(out, 2835, 4);
    PutLe(out, 0, 4);
    PutLe(out, 0, 4);
    for (int y = height - 1; y >= 0; --y)
    {
        std::size_t start = out.size();
        for (int x = 0; x < width; ++x)
        {
            Colour c = colour(x, y);
            out.push_back(static_cast<char>(c.b));
            out.push_back(static_cast<char>(c.g));
            out.push_back(static_cast<char>(c.r));
        }
        out.append(stride - (out.size() - start), '\0');
    }
    return WriteFile(path, out);
}

// A lit sphere with a square window through it: keyed outside the disc and in the window.
Colour Sphere(int x, int y)
{
    double dx = (x - 47.5) / 44.0;
    double dy = (y - 47.5) / 44.0;
    double d2 = dx * dx + dy * dy;
    if (d2 >= 1.0 || (std::abs(x - 60) < 9 && std::abs(y - 60) < 9))
    {
        return kKey;
    }
    double dz = std::sqrt(1.0 - d2);
    // Light from the upper left, a band of colour around the equator.
    double light = std::max(0.0, (-0.5 * dx - 0.6 * dy + 0.62 * dz));
    double spec = std::pow(light, 24.0);
    bool band = std::abs(dy) < 0.18;
    Colour base = band ? Colour{250, 210, 40} : Colour{40, 120, 240};
    double shade = 0.25 + 0.75 * light;
    return Visible(base.r * shade + 255 * spec, base.g * shade + 255 * spec,
                   base.b * shade + 255 * spec);
}

// A five-pointed star with an outline, keyed outside.
Colour Star(int x, int y)
{
    double dx = x - 31.5;
    double dy = y - 31.5;
    double r = std::sqrt(dx * dx + dy * dy);
    double a = std::atan2(dy, dx) + kPi / 2;
    double sector = std::fmod(a + 2 * kPi, 2 * kPi / 5) / (2 * kPi / 5); // 0..1 across a point
    double edge = 30.0 - 18.0 * std::abs(1.0 - 2.0 * sector);
    if (r > edge)
    {
        return kKey;
    }
    if (r > edge - 2.5)
    {
        return Visible(120, 40, 8);
    }
    double t = r / 30.0;
    return Visible(255, 240 - 140 * t, 60 - 40 * t);
}

// The background picture: sky, sun, hills and a checkered ground in perspective.
Colour Landscape(int x, int y)
{
    const int horizon = 300;
    double sunX = x - 470.0;
    double sunY = y - 150.0;
    double sun = std::sqrt(sunX * sunX + sunY * sunY);
    if (y < horizon)
    {
        double hill = horizon - 60 - 40 * std::sin(x * 0.018) - 25 * std::sin(x * 0.047 + 1.0);
        if (y > hill)
        {
            double s = (y - hill) / (horizon - hill + 1.0);
            return Visible(30 + 40 * s, 110 + 50 * s, 40);
        }
        if (sun < 55)
        {
            return Visible(255, 230 - sun, 90);
        }
        double t = y / double(horizon);
        double glow = std::max(0.0, 1.0 - sun / 260.0);
        return Visible(40 + 150 * t + 90 * glow, 80 + 110 * t + 60 * glow, 200 - 40 * t);
    }
    double depth = 4000.0 / (y - horizon + 8);
    double u = (x - 320) * depth / 400.0;
    bool check = (static_cast<int>(std::floor(u / 8.0)) + static_cast<int>(depth / 8.0)) % 2 == 0;
    double fade = std::min(1.0, (y - horizon) / 120.0);
    return check ? Visible(200 * fade + 40, 60 * fade + 20, 60 * fade + 20)
                 : Visible(230 * fade + 20, 220 * fade + 20, 200 * fade + 20);
}

// A tiling texture: bricks in two colours with mortar.
Colour Bricks(int x, int y)
{
    int row = y / 16;
    int shift = row % 2 == 0 ? 0 : 16;
    int bx = (x + shift) % 32;
    int by = y % 16;
    if (bx < 2 || by < 2)
    {
        return Visible(200, 200, 190);
    }
    int brick = ((x + shift) / 32 + row * 3) % 4;
    const Colour colours[4] = {{180, 60, 40}, {150, 50, 30}, {60, 90, 170}, {200, 120, 40}};
    Colour c = colours[brick];
    double grain = 0.85 + 0.15 * std::sin(x * 0.9 + y * 1.7);
    return Visible(c.r * grain, c.g * grain, c.b * grain);
}

// A height map in the red channel: soft bumps.
Colour Bumps(int x, int y)
{
    double h = 0.5 + 0.25 * std::sin(x * kPi / 32.0) + 0.25 * std::cos(y * kPi / 24.0);
    int v = Clamp(8 + 247 * h, 8, 255);
    return Colour{v, v, v};
}

// Ten 64 x 48 frames side by side: a disc growing from nothing to the whole cell.
Colour Pattern(int x, int y)
{
    int frame = x / 64;
    double dx = x % 64 - 31.5;
    double dy = y - 23.5;
    double r = (frame + 1) * 4.2;
    return std::sqrt(dx * dx + dy * dy) < r ? Colour{255, 255, 255} : kKey;
}

// A two-tone chime, 16-bit mono at 22050 Hz, fading over 0.6 s.
bool WriteChime(const std::string& path)
{
    const int rate = 22050;
    const int samples = rate * 6 / 10;
    std::string data;
    for (int i = 0; i < samples; ++i)
    {
        double t = i / double(rate);
        double v = 0.55 * std::sin(2 * kPi * 880.0 * t) + 0.35 * std::sin(2 * kPi * 1318.5 * t);
        v *= std::exp(-5.0 * t) * std::min(1.0, t * 200.0);
        PutLe(data, static_cast<std::uint16_t>(static_cast<std::int16_t>(v * 20000)), 2);
    }
    std::string out = "RIFF";
    PutLe(out, static_cast<std::uint32_t>(36 + data.size()), 4);
    out += "WAVEfmt ";
    PutLe(out, 16, 4);
    PutLe(out, 1, 2);        // PCM
    PutLe(out, 1, 2);        // mono
    PutLe(out, rate, 4);
    PutLe(out, rate * 2, 4); // bytes per second
    PutLe(out, 2, 2);        // block align
    PutLe(out, 16, 2);       // bits
    out += "data";
    PutLe(out, static_cast<std::uint32_t>(data.size()), 4);
    out += data;
    return WriteFile(path, out);
}

void PutVarLen(std::string& out, std::uint32_t value)
{
    std::uint8_t bytes[5];
    int n = 0;
    do
    {
        bytes[n++] = value & 0x7F;
        value >>= 7;
    } while (value != 0);
    while (n > 1)
    {
        out.push_back(static_cast<char>(bytes[--n] | 0x80));
    }
    out.push_back(static_cast<char>(bytes[0]));
}

// A format-0 standard MIDI file: a melody on piano over a bass line, about eight seconds.
bool WriteTune(const std::string& path)
{
    const int quarter = 480;
    const int melody[] = {72, 76, 79, 76, 77, 74, 71, 74, 72, 76, 79, 84, 83, 79, 76, 72};
    const int bass[] = {48, 53, 55, 48};
    std::string track;
    auto event = [&](std::uint32_t delta, std::initializer_list<int> bytes)
    {
        PutVarLen(track, delta);
        for (int b : bytes)
        {
            track.push_back(static_cast<char>(b));
        }
    };
    event(0, {0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20}); // 500000 us a quarter: 120 beats a minute
    event(0, {0xC0, 0});                            // piano
    event(0, {0xC1, 32});                           // acoustic bass
    for (int i = 0; i < 16; ++i)
    {
        if (i % 4 == 0)
        {
            event(0, {0x91, bass[i / 4], 90});
        }
        event(0, {0x90, melody[i], 100});
        event(quarter, {0x80, melody[i], 0});
        if (i % 4 == 3)
        {
            event(0, {0x81, bass[i / 4], 0});
        }
    }
    event(0, {0xFF, 0x2F, 0x00});
    std::string out = "MThd";
    PutBe(out, 6, 4);
    PutBe(out, 0, 2);
    PutBe(out, 1, 2);
    PutBe(out, quarter, 2);
    out += "MTrk";
    PutBe(out, static_cast<std::uint32_t>(track.size()), 4);
    out += track;
    return WriteFile(path, out);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2)
    {
        std::fprintf(stderr, "usage: make_assets FOLDER\n");
        return 2;
    }
    std::string folder = argv[1];
    bool ok = WriteBmp(folder + "/sphere.bmp", 96, 96, Sphere) &&
              WriteBmp(folder + "/star.bmp", 64, 64, Star) &&
              WriteBmp(folder + "/landscape.bmp", 640, 480, Landscape) &&
              WriteBmp(folder + "/bricks.bmp", 128, 128, Bricks) &&
              WriteBmp(folder + "/bumps.bmp", 128, 128, Bumps) &&
              WriteBmp(folder + "/pattern.bmp", 640, 48, Pattern) &&
              WriteChime(folder + "/chime.wav") && WriteTune(folder + "/tune.mid");
    return ok ? 0 : 1;
}
