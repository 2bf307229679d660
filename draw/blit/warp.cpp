// Warped puts: the rippled surface mapped forward from the source, and the tunnel drawn from
// a precomputed map of texture coordinates (tunnelMap). Rotation is in rotate.cpp.
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>

#include "draw/blit/blit_internal.h"
#include "draw/blit/gather.h"

TunnelMap tunnelMap = {0, 0, 0, 0, {}};

namespace
{

constexpr double kPi = 3.14159265358979323846;
constexpr int kEntryLimit = 32767; // texture sizes the 16-bit map entries can address

// value modulo size in 0..size - 1: what adding or subtracting size until the value lies in
// range gives, without the loop (a far value would make it run for a long time).
std::int64_t Wrap(std::int64_t value, std::int64_t size)
{
    std::int64_t m = value % size;
    return m < 0 ? m + size : m;
}

// A map coordinate from its double value: truncated toward zero, or 0 when it is not a finite
// number (the centre, where the distance is 0, and the axes where a depth divides by 0).
std::int64_t MapCoordinate(double value)
{
    if (!(std::fabs(value) < 4.0e18))
    {
        return 0;
    }
    return static_cast<std::int64_t>(value);
}

#ifdef PLONDER_BLIT_GATHER
// One map row's pixels eight at a time: the (u, v) pairs are shifted and wrapped as 16-bit
// lanes and joined into a pixel index by one multiply-add with (1, pitch). Texture sizes up to
// 16383 and pitches up to 32767 pixels keep every lane inside 16 bits.
[[gnu::target("avx2")]] void TunnelRowAvx2(const TunnelEntry* entry, std::int64_t count,
                                           int du, int dv, int tw, int th, int pitch,
                                           const std::uint16_t* texture, std::int32_t last,
                                           std::uint16_t* d)
{
    const __m256i offsets = _mm256_set1_epi32((dv << 16) | du);
    const __m256i limits = _mm256_set1_epi32((th << 16) | tw);
    const __m256i highest = _mm256_set1_epi32(((th - 1) << 16) | (tw - 1));
    const __m256i weights = _mm256_set1_epi32((pitch << 16) | 1);
    const __m256i everywhere = _mm256_set1_epi32(-1);
    const __m256i lastIndex = _mm256_set1_epi32(last);
    std::int64_t i = 0;
    for (; i + 8 <= count; i += 8)
    {
        __m256i uv = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(entry + i));
        uv = _mm256_add_epi16(uv, offsets);
        uv = _mm256_sub_epi16(uv, _mm256_and_si256(_mm256_cmpgt_epi16(uv, highest), limits));
        __m256i index = _mm256_madd_epi16(uv, weights);
        __m256i p = GatherPixels(texture, index, everywhere, lastIndex);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i), NarrowPixels(p));
    }
    for (; i < count; ++i)
    {
        int u = entry[i].u + du;
        int v = entry[i].v + dv;
        u -= u >= tw ? tw : 0;
        v -= v >= th ? th : 0;
        d[i] = texture[v * pitch + u];
    }
}
#endif

} // namespace

namespace voDraw
{

int PutRipple(int x, int y, int amplitude, int frequency, int step, float scale, float slant,
              ObjectId id, int srcLeft, int srcTop, int srcRight, int srcBottom)
{
    if (!BlittersReady() || ObjectSurface(id) == nullptr)
    {
        return 0;
    }
    if (step < 1)
    {
        return 1;
    }
    // The normalised coordinates run over the source rectangle as cut to the object, from the
    // clipped corner: nx = 2 / (srcRight - clipped srcLeft) * c - 1, and likewise ny.
    const std::int64_t right = std::min<std::int64_t>(srcRight, objectTable[id].width);
    const std::int64_t bottom = std::min<std::int64_t>(srcBottom, objectTable[id].height);
    return BlitFrame(
        x, y, id, srcLeft, srcTop, srcRight, srcBottom,
        [&](const BlitView& view)
        {
            const double xUnit = 2.0 / static_cast<double>(right - view.srcLeft);
            const double yUnit = 2.0 / static_cast<double>(bottom - view.srcTop);
            const Rect& clip = view.clip;
            for (std::int64_t r = 0; r < view.height; r += step)
            {
                const double ny = yUnit * static_cast<double>(r) - 1.0;
                const std::uint16_t* source = view.SourceRow(static_cast<int>(r));
                for (std::int64_t c = 0; c < view.width; c += step)
                {
                    const double nx = xUnit * static_cast<double>(c) - 1.0;
                    const double e = std::exp(ny * ny - nx * nx);
                    const double d = std::sqrt(nx * nx + ny * ny);
                    const float z = static_cast<float>(
                        (std::cos(d * frequency) * e + 1.0) * amplitude / 2.0 +
                        static_cast<double>(r));
                    // Products formed in double and truncated once.
                    std::int64_t px = TruncateToInt(
                        (static_cast<double>(c) + static_cast<double>(r) * slant) * scale);
                    std::int64_t py = TruncateToInt(static_cast<double>(z) * scale);
                    std::int64_t dx = view.x + px;
                    std::int64_t dy = view.y + py;
                    if (dx >= clip.left && dx < clip.right && dy >= clip.top && dy < clip.bottom)
                    {
                        view.destination.Row(static_cast<int>(dy))[dx] = source[c];
                    }
                }
            }
        });
}

void MakeTunnel(int textureWidth, int textureHeight, int mapWidth, int mapHeight, int centreX,
                int centreY, int viewDivisor, int centreMotion, int distanceKind, int depthKind)
{
    tunnelMap.textureWidth = textureWidth;
    tunnelMap.textureHeight = textureHeight;
    tunnelMap.mapWidth = mapWidth;
    tunnelMap.mapHeight = mapHeight;
    tunnelMap.entries.clear();
    if (textureWidth < 1 || textureHeight < 1 || textureWidth > kEntryLimit ||
        textureHeight > kEntryLimit || mapWidth < 1 || mapHeight < 1 ||
        std::int64_t{mapWidth} * mapHeight > kTunnelCapacity)
    {
        return;
    }
    tunnelMap.entries.resize(static_cast<std::size_t>(mapWidth) * mapHeight);

    std::int64_t cx = centreX == -1 ? mapWidth / 2 : centreX;
    std::int64_t cy = centreY == -1 ? mapHeight / 2 : centreY;
    int divisor = viewDivisor == -1 ? 8 : std::max(viewDivisor, 2);
    const double focal = textureHeight / (2.0 * std::tan(kPi / divisor / 2.0));
    const double turn = 2.0 * kPi;
    if (distanceKind < 0 || distanceKind > 6)
    {
        distanceKind = 0;
    }
    if (depthKind < 0 || depthKind > 5)
    {
        depthKind = 0;
    }

    switch (centreMotion)
    {
    case 1:
        cy = mapHeight;
        break;
    case 3:
        cx = mapWidth;
        break;
    case 4:
        cx = 0;
        break;
    default:
        break;
    }
    for (int j = 0; j < mapHeight; ++j)
    {
        switch (centreMotion)
        {
        case 1:
            cy -= 1;
            break;
        case 2:
            cx = mapWidth;
            break;
        case 3:
            cx = std::max<std::int64_t>(cx - 1, 0);
            break;
        case 4:
            cx = std::min<std::int64_t>(cx + 1, mapWidth);
            break;
        default:
            break;
        }
        for (int i = 0; i < mapWidth; ++i)
        {
            if (centreMotion == 2)
            {
                cx -= 1;
            }
            const double dx = static_cast<double>(i - cx);
            const double dy = static_cast<double>(j - cy);
            const double ax = std::fabs(dx);
            const double ay = std::fabs(dy);
            double dist = 0.0;
            switch (distanceKind)
            {
            case 0:
                dist = std::sqrt(dx * dx + dy * dy);
                break;
            case 1:
                dist = std::max(ax, ay);
                break;
            case 2:
                dist = (ax + ay) / 2.0;
                break;
            case 3:
                dist = std::min(ax, ay);
                break;
            case 4:
                dist = ax;
                break;
            case 5:
                dist = ay;
                break;
            default:
                dist = static_cast<double>(cx);
                break;
            }
            double depth = 0.0;
            switch (depthKind)
            {
            case 0:
                depth = focal / 32.0;
                break;
            case 1:
                depth = focal / ((ay + 1.0) / 10.0);
                break;
            case 2:
                depth = focal / ((ax + 1.0) / 10.0);
                break;
            case 3:
                depth = focal / std::max(ax, ay);
                break;
            case 4:
                depth = focal / ((ax + ay) / 2.0);
                break;
            default:
                depth = focal / std::min(ax, ay);
                break;
            }
            depth = std::fabs(depth);
            const double reach = std::sqrt(static_cast<double>(cx) * static_cast<double>(cx) +
                                           static_cast<double>(cy) * static_cast<double>(cy));
            std::int64_t u = MapCoordinate(std::atan2(dy, dx) * textureWidth / turn);
            std::int64_t v = MapCoordinate((reach - dist) * depth / dist);
            TunnelEntry& entry = tunnelMap.entries[static_cast<std::size_t>(j) * mapWidth + i];
            entry.u = static_cast<std::int16_t>(Wrap(u, textureWidth));
            entry.v = static_cast<std::int16_t>(Wrap(v, textureHeight));
        }
    }
}

int PutTunnel(int x, int y, int offsetU, int offsetV, ObjectId id)
{
    if (!BlittersReady() || ObjectSurface(id) == nullptr)
    {
        return 0;
    }
    const TunnelMap& map = tunnelMap;
    if (map.entries.empty())
    {
        return 1;
    }
    // A texture larger than the object repeats the object.
    const int objectWidth = objectTable[id].width;
    const int objectHeight = objectTable[id].height;
    if (objectWidth < 1 || objectHeight < 1)
    {
        return 1;
    }
    platform::PixelBuffer source, destination;
    if (!LockBlitSurfaces(id, source, destination))
    {
        return 0;
    }
    // Not clipped to clipRect; only the back buffer's own edges hold it.
    const std::int64_t first = std::max<std::int64_t>(0, -std::int64_t{x});
    const std::int64_t right =
        std::min<std::int64_t>(map.mapWidth, std::int64_t{destination.width} - x);
    const std::int64_t top = std::max<std::int64_t>(0, -std::int64_t{y});
    const std::int64_t bottom =
        std::min<std::int64_t>(map.mapHeight, std::int64_t{destination.height} - y);
    if (first >= right || top >= bottom)
    {
        UnlockBlitSurfaces(id);
        return 1;
    }
    const int tw = map.textureWidth;
    const int th = map.textureHeight;
    const int du = static_cast<int>(Wrap(offsetU, tw));
    const int dv = static_cast<int>(Wrap(offsetV, th));
    const bool inside = tw <= objectWidth && th <= objectHeight;
    const std::ptrdiff_t pitch = source.pitchBytes / 2;
    const std::uint16_t* texture = source.pixels;
    const std::int64_t last = pitch * source.height - 1;
    const bool gather = inside && tw <= 16383 && th <= 16383 && pitch <= 32767 && last >= 1 &&
                        last < INT32_MAX && ActiveBlitPath() == BlitPath::Avx2;
    for (std::int64_t j = top; j < bottom; ++j)
    {
        const TunnelEntry* entry = map.entries.data() + j * map.mapWidth;
        std::uint16_t* d = destination.Row(static_cast<int>(y + j));
#ifdef PLONDER_BLIT_GATHER
        if (gather)
        {
            TunnelRowAvx2(entry + first, right - first, du, dv, tw, th, static_cast<int>(pitch),
                          texture, static_cast<std::int32_t>(last), d + x + first);
            continue;
        }
#endif
        if (inside)
        {
            for (std::int64_t i = first; i < right; ++i)
            {
                int u = entry[i].u + du;
                int v = entry[i].v + dv;
                u -= u >= tw ? tw : 0;
                v -= v >= th ? th : 0;
                d[x + i] = texture[v * pitch + u];
            }
        }
        else
        {
            for (std::int64_t i = first; i < right; ++i)
            {
                int u = entry[i].u + du;
                int v = entry[i].v + dv;
                u -= u >= tw ? tw : 0;
                v -= v >= th ? th : 0;
                d[x + i] = texture[(v % objectHeight) * pitch + u % objectWidth];
            }
        }
    }
    UnlockBlitSurfaces(id);
    return 1;
}

} // namespace voDraw
