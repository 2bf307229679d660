// Rotated, magnified and perspective puts: every destination pixel of a rectangle is mapped
// back to a source pixel through fixed-point coordinates with the factor 360. Ripple and
// tunnel are in warp.cpp.
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "draw/blit/blit_internal.h"
#include "draw/blit/gather.h"

namespace
{

constexpr int kFixed = 360;       // fixed-point factor of the rotation coordinates
constexpr int kNotDrawn = -1;     // axis table entry: this coordinate samples nothing
constexpr double kIntLimit = 2147483648.0; // quotients at or past 2^31 have no int value

// One call's rotation set-up.
struct Rotation
{
    int left, top;               // the rectangle's top-left on the back buffer
    std::int64_t cl, cr, ct, cb; // the visible window in rectangle coordinates
    std::int64_t sinA, cosA;     // sine and cosine times 360
    std::int64_t uStart, vStart; // u and v at rectangle position (0, 0)
    std::int64_t ox, oy;         // the offsets centring the source in the rectangle
    int srcLeft, srcTop, sw, sh; // the source rectangle cut to the object
};

enum class Placed
{
    Refused, // return 0: no tables, or no object surface
    Nothing, // return 1 without locking
    Draw,
};

Placed PlaceRotation(int left, int top, int right, int bottom, int angle, ObjectId id,
                     int srcLeft, int srcTop, int srcRight, int srcBottom, Rotation& r)
{
    if (!BlittersReady() || ObjectSurface(id) == nullptr)
    {
        return Placed::Refused;
    }
    // The source is cut to the object; no clipping moves it, so an unbounded clip.
    const Rect unbounded{INT_MIN, INT_MIN, INT_MAX, INT_MAX};
    BlitPlacement cut = PlaceBlit(0, 0, id, srcLeft, srcTop, srcRight, srcBottom, unbounded);
    if (!cut.drawn || cut.width == 0 || cut.height == 0)
    {
        return Placed::Nothing;
    }
    r.srcLeft = cut.srcLeft;
    r.srcTop = cut.srcTop;
    r.sw = cut.width;
    r.sh = cut.height;

    std::int64_t w = std::int64_t{right} - left;
    std::int64_t h = std::int64_t{bottom} - top;
    Rect clip = BlitClip();
    r.left = left;
    r.top = top;
    r.cl = 0;
    r.cr = w;
    r.ct = 0;
    r.cb = h;
    if (left + r.cr > clip.right)
    {
        r.cr = clip.right - std::int64_t{left};
    }
    if (top + r.cb > clip.bottom)
    {
        r.cb = clip.bottom - std::int64_t{top};
    }
    if (left < clip.left)
    {
        r.cl = clip.left - std::int64_t{left};
    }
    if (top < clip.top)
    {
        r.ct = clip.top - std::int64_t{top};
    }
    if (r.cl > r.cr || r.ct > r.cb)
    {
        return Placed::Nothing;
    }

    int a = angle % 360;
    if (a < 0)
    {
        a += 360;
    }
    r.sinA = sineTable[a];
    r.cosA = sineTable[a + 90];
    std::int64_t hw = w >> 1;
    std::int64_t hh = h >> 1;
    r.ox = (w - r.sw) >> 1;
    r.oy = (h - r.sh) >> 1;
    r.uStart = hw * kFixed - hw * r.cosA + hh * r.sinA;
    r.vStart = hh * kFixed - hw * r.sinA - hh * r.cosA;
    return Placed::Draw;
}

// u and v at rectangle position (i, j): the running sums of the definition (u += cosA per
// column, uRow -= sinA per row; v += sinA, vRow += cosA) formed at once. They are exact
// integers, so the order of the additions cannot change them.
std::int64_t UAt(const Rotation& r, std::int64_t i, std::int64_t j)
{
    return r.uStart - j * r.sinA + i * r.cosA;
}
std::int64_t VAt(const Rotation& r, std::int64_t i, std::int64_t j)
{
    return r.vStart + j * r.cosA + i * r.sinA;
}

// The quotient trunc(n / zoom) formed in double, or false when it is not a finite number
// inside the int range (a zoom of 0, or one so small that the coordinate runs away).
bool ZoomQuotient(std::int64_t n, float zoom, std::int64_t& q)
{
    double d = static_cast<double>(n) / static_cast<double>(zoom);
    if (!(std::fabs(d) < kIntLimit))
    {
        return false;
    }
    q = static_cast<std::int64_t>(d);
    return true;
}

// How one axis turns a whole coordinate n = u / 360 (or v / 360) into a source column or
// row, 0..size - 1, or kNotDrawn.
// trunc(n / zoom) for one zoom and many n, without a division for each. zoom is a float, so
// a quotient below 2^28 that is not a whole number lies at least 2^-24 of its size away from
// one, far more than the double division's rounding: the division's truncation is then the
// exact floor of |n| / |zoom| with the sign put back, which a multiplication by the
// reciprocal gives, corrected by an exact product of a whole number and zoom.
struct ZoomDivider
{
    double magnitude = 1.0; // |zoom|
    double reciprocal = 1.0;
    bool negative = false;
    bool usable = false; // false: zoom is 0 or not finite, and every n takes ZoomQuotient

    explicit ZoomDivider(float zoom)
    {
        double z = static_cast<double>(zoom);
        if (z != 0.0 && std::isfinite(z))
        {
            magnitude = std::fabs(z);
            reciprocal = 1.0 / magnitude;
            negative = z < 0.0;
            usable = true;
        }
    }
    bool Quotient(std::int64_t n, float zoom, std::int64_t& q) const
    {
        const double a = static_cast<double>(n < 0 ? -n : n);
        const double estimate = a * reciprocal;
        if (!usable || !(estimate < 268435456.0))
        {
            return ZoomQuotient(n, zoom, q);
        }
        // The estimate can only fall short, and only at a whole quotient (49 / 6.125 comes
        // out as 7.999...); elsewhere the quotient is too far from a whole number to cross.
        std::int64_t floor = static_cast<std::int64_t>(estimate);
        if (static_cast<double>(floor + 1) * magnitude <= a)
        {
            ++floor;
        }
        q = (n < 0) != negative ? -floor : floor;
        return true;
    }
};

struct AxisMap
{
    bool tiled;
    bool zoomed;
    float zoom;
    std::int64_t offset; // ox or oy
    int size;            // sw or sh

    // The source index for n, kNotDrawn for none. Calls come with n rising by 1, and
    // previous carries the last tiled index from one call to the next (starting empty),
    // so the remainder mostly moves by one instead of being divided out.
    struct Previous
    {
        std::int64_t distance = -2; // |quotient| of the previous call; -2: none yet
        std::int64_t index = 0;
    };
    int operator()(std::int64_t n, const ZoomDivider& divider, Previous& previous) const
    {
        std::int64_t m = n - offset;
        if (zoomed && !divider.Quotient(m, zoom, m))
        {
            return kNotDrawn;
        }
        if (!tiled)
        {
            return m >= 0 && m < size ? static_cast<int>(m) : kNotDrawn;
        }
        std::int64_t distance = m < 0 ? -m : m;
        std::int64_t index;
        if (distance == previous.distance)
        {
            index = previous.index;
        }
        else if (distance == previous.distance + 1)
        {
            index = previous.index + 1 == size ? 0 : previous.index + 1;
        }
        else if (distance == previous.distance - 1)
        {
            index = previous.index == 0 ? size - 1 : previous.index - 1;
        }
        else
        {
            index = distance % size;
        }
        previous.distance = distance;
        previous.index = index;
        return static_cast<int>(index);
    }
};

// An axis map tabulated over the whole coordinates first..last, so the pixel loop only looks
// its values up.
struct AxisTable
{
    std::int64_t first = 0;
    std::vector<std::int64_t> values; // source column, or row offset in pixels; -1: none
    std::vector<std::int32_t> narrow; // the same in 32 bits, when the source is small enough

    void Fill(const AxisMap& map, std::int64_t from, std::int64_t to, std::int64_t scale,
              std::int64_t origin)
    {
        first = from;
        values.resize(static_cast<std::size_t>(to - from + 1));
        narrow.resize(values.size());
        AxisMap::Previous previous;
        const ZoomDivider divider(map.zoom);
        for (std::int64_t n = from; n <= to; ++n)
        {
            int s = map(n, divider, previous);
            std::int64_t value = s == kNotDrawn ? -1 : origin + s * scale;
            values[static_cast<std::size_t>(n - from)] = value;
            narrow[static_cast<std::size_t>(n - from)] = static_cast<std::int32_t>(value);
        }
    }
};

// The whole coordinates that u / 360 (or v / 360) takes over a rectangle of positions: the
// coordinate is affine in the position and truncation is monotonic, so the corners bound it.
template <class At>
void CoordinateRange(const Rotation& r, std::int64_t i0, std::int64_t i1, std::int64_t j0,
                     std::int64_t j1, At at, std::int64_t& low, std::int64_t& high)
{
    std::int64_t corners[4] = {at(r, i0, j0), at(r, i1, j0), at(r, i0, j1), at(r, i1, j1)};
    low = corners[0] / kFixed;
    high = low;
    for (std::int64_t c : corners)
    {
        low = std::min(low, c / kFixed);
        high = std::max(high, c / kFixed);
    }
}

// Samples one window row: for each column the source pixel through the two tables, written
// through pixel() when it is not 0. Branch-free on the transparent pixels, which lie at
// random. Coord is int32 when every coordinate of the window fits, which makes the division
// by the constant 360 cheaper.
template <class Coord, class Pixel>
void SampleRow(Coord u, Coord v, Coord cosA, Coord sinA, std::int64_t count,
               const AxisTable& columns, const AxisTable& rows, const std::uint16_t* source,
               std::uint16_t* destination, Pixel pixel)
{
    const std::int64_t* column = columns.values.data() - columns.first;
    const std::int64_t* row = rows.values.data() - rows.first;
    for (std::int64_t i = 0; i < count; ++i)
    {
        std::int64_t sx = column[u / kFixed];
        std::int64_t sy = row[v / kFixed];
        bool inside = (sx | sy) >= 0;
        std::uint16_t s = source[inside ? sy + sx : 0];
        s = inside ? s : 0;
        destination[i] = s != 0 ? pixel(s) : destination[i];
        u += cosA;
        v += sinA;
    }
}

#ifdef PLONDER_BLIT_GATHER
// trunc(n / 360) in eight lanes, |n| < 2^31: |n| / 8 / 45, the division by 45 done as a
// multiplication by ceil(2^37 / 45) and a shift (exact for every 32-bit dividend), then the
// sign put back.
[[gnu::target("avx2")]] inline __m256i DivideBy360(__m256i n)
{
    const __m256i magic = _mm256_set1_epi32(static_cast<int>(0xB60B60B7u));
    const __m256i x = _mm256_srli_epi32(_mm256_abs_epi32(n), 3);
    const __m256i even = _mm256_srli_epi64(_mm256_mul_epu32(x, magic), 37);
    const __m256i odd =
        _mm256_slli_epi64(_mm256_srli_epi64(_mm256_mul_epu32(_mm256_srli_epi64(x, 32), magic), 37),
                          32);
    return _mm256_sign_epi32(_mm256_blend_epi32(even, odd, 0xAA), n);
}

// SampleRow's sampling eight pixels at a time: out[i] receives the sampled source pixel, or 0
// where nothing is sampled. The coordinates must fit in 32 bits with room for a step of eight
// columns, the tables in 32 bits, and last is the source buffer's last pixel index.
[[gnu::target("avx2")]] void SampleRowAvx2(std::int32_t u, std::int32_t v, std::int32_t cosA,
                                           std::int32_t sinA, std::int64_t count,
                                           const AxisTable& columns, const AxisTable& rows,
                                           const std::uint16_t* source, std::int32_t last,
                                           std::uint16_t* out)
{
    const __m256i lanes = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);
    __m256i uv = _mm256_add_epi32(_mm256_set1_epi32(u),
                                  _mm256_mullo_epi32(lanes, _mm256_set1_epi32(cosA)));
    __m256i vv = _mm256_add_epi32(_mm256_set1_epi32(v),
                                  _mm256_mullo_epi32(lanes, _mm256_set1_epi32(sinA)));
    const __m256i uStep = _mm256_set1_epi32(8 * cosA);
    const __m256i vStep = _mm256_set1_epi32(8 * sinA);
    const __m256i columnFirst = _mm256_set1_epi32(static_cast<std::int32_t>(columns.first));
    const __m256i rowFirst = _mm256_set1_epi32(static_cast<std::int32_t>(rows.first));
    const __m256i lastIndex = _mm256_set1_epi32(last);
    const __m256i none = _mm256_set1_epi32(-1);
    const int* column = columns.narrow.data();
    const int* row = rows.narrow.data();
    std::int64_t i = 0;
    for (; i + 8 <= count; i += 8)
    {
        __m256i a = _mm256_sub_epi32(DivideBy360(uv), columnFirst);
        __m256i b = _mm256_sub_epi32(DivideBy360(vv), rowFirst);
        __m256i sx = _mm256_i32gather_epi32(column, a, 4);
        __m256i sy = _mm256_i32gather_epi32(row, b, 4);
        __m256i inside = _mm256_cmpgt_epi32(_mm256_or_si256(sx, sy), none);
        __m256i p = GatherPixels(source, _mm256_add_epi32(sx, sy), inside, lastIndex);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), NarrowPixels(p));
        uv = _mm256_add_epi32(uv, uStep);
        vv = _mm256_add_epi32(vv, vStep);
    }
    std::int32_t tailU = u + static_cast<std::int32_t>(i) * cosA;
    std::int32_t tailV = v + static_cast<std::int32_t>(i) * sinA;
    for (; i < count; ++i)
    {
        std::int32_t sx = column[tailU / kFixed - columns.first];
        std::int32_t sy = row[tailV / kFixed - rows.first];
        out[i] = (sx | sy) >= 0 ? source[sx + sy] : 0;
        tailU += cosA;
        tailV += sinA;
    }
}
#endif

// The rotation frame around the members' mapping: maps(r, columns, rows) gives the two axis
// maps, once per call, or with mapsPerRow once for every rectangle row from row 0 on, in order
// (the perspective member steps its magnification with each call).
template <class Maps, class Pixel>
int RotationFrame(int left, int top, int right, int bottom, int angle, ObjectId id, int srcLeft,
                  int srcTop, int srcRight, int srcBottom, bool mapsPerRow, Maps maps,
                  Pixel pixel)
{
    Rotation r;
    Placed placed = PlaceRotation(left, top, right, bottom, angle, id, srcLeft, srcTop, srcRight,
                                  srcBottom, r);
    if (placed != Placed::Draw)
    {
        return placed == Placed::Refused ? 0 : 1;
    }
    platform::PixelBuffer source, destination;
    if (!LockBlitSurfaces(id, source, destination))
    {
        return 0;
    }
    if (r.cl < r.cr && r.ct < r.cb)
    {
        std::int64_t pitch = source.pitchBytes / 2;
        const std::uint16_t* base = source.pixels;
        // Whether every coordinate of the window (and the step past its last column) fits
        // comfortably in 32 bits.
        std::int64_t uLow, uHigh, vLow, vHigh;
        CoordinateRange(r, r.cl, r.cr, r.ct, r.cb - 1, UAt, uLow, uHigh);
        CoordinateRange(r, r.cl, r.cr, r.ct, r.cb - 1, VAt, vLow, vHigh);
        const std::int64_t narrow = (std::int64_t{1} << 30) / kFixed;
        bool fits32 = uLow > -narrow && uHigh < narrow && vLow > -narrow && vHigh < narrow;
        // The eight-pixel path also needs every pixel index of the source in 32 bits.
        const std::int64_t last = pitch * source.height - 1;
        const bool gather = fits32 && last >= 1 && last < INT32_MAX &&
                            ActiveBlitPath() == BlitPath::Avx2;
        std::vector<std::uint16_t> sampled(gather ? static_cast<std::size_t>(r.cr - r.cl) : 0);

        AxisTable columns, rows;
        AxisMap columnMap, rowMap;
        auto fill = [&](std::int64_t j0, std::int64_t j1)
        {
            std::int64_t low, high;
            CoordinateRange(r, r.cl, r.cr - 1, j0, j1, UAt, low, high);
            columns.Fill(columnMap, low, high, 1, 0);
            CoordinateRange(r, r.cl, r.cr - 1, j0, j1, VAt, low, high);
            rows.Fill(rowMap, low, high, pitch,
                      r.srcTop * pitch + r.srcLeft);
        };
        if (!mapsPerRow)
        {
            maps(r, columnMap, rowMap);
            fill(r.ct, r.cb - 1);
        }
        for (std::int64_t j = mapsPerRow ? 0 : r.ct; j < r.cb; ++j)
        {
            if (mapsPerRow)
            {
                maps(r, columnMap, rowMap);
                if (j < r.ct)
                {
                    continue;
                }
                fill(j, j);
            }
            std::uint16_t* d = destination.Row(static_cast<int>(r.top + j)) + r.left + r.cl;
            std::int64_t count = r.cr - r.cl;
            std::int64_t u = UAt(r, r.cl, j);
            std::int64_t v = VAt(r, r.cl, j);
#ifdef PLONDER_BLIT_GATHER
            if (gather)
            {
                SampleRowAvx2(static_cast<std::int32_t>(u), static_cast<std::int32_t>(v),
                              static_cast<std::int32_t>(r.cosA),
                              static_cast<std::int32_t>(r.sinA), count, columns, rows, base,
                              static_cast<std::int32_t>(last), sampled.data());
                const std::uint16_t* s = sampled.data();
                RunVectorised(
                    [&]
                    {
                        for (std::int64_t i = 0; i < count; ++i)
                        {
                            d[i] = s[i] != 0 ? pixel(s[i]) : d[i];
                        }
                    });
                continue;
            }
#endif
            if (fits32)
            {
                SampleRow<std::int32_t>(static_cast<std::int32_t>(u),
                                        static_cast<std::int32_t>(v),
                                        static_cast<std::int32_t>(r.cosA),
                                        static_cast<std::int32_t>(r.sinA), count, columns,
                                        rows, base, d, pixel);
            }
            else
            {
                SampleRow<std::int64_t>(u, v, r.cosA, r.sinA, count, columns, rows, base, d,
                                        pixel);
            }
        }
    }
    UnlockBlitSurfaces(id);
    return 1;
}

struct Unchanged
{
    std::uint16_t operator()(std::uint16_t s) const
    {
        return s;
    }
};

// The plain, tiled and magnified members: the same two maps for every row.
int RotateWith(int left, int top, int right, int bottom, int angle, bool tiled, bool zoomed,
               float zoom, ObjectId id, int srcLeft, int srcTop, int srcRight, int srcBottom)
{
    auto maps = [&](const Rotation& r, AxisMap& columns, AxisMap& rows)
    {
        columns = AxisMap{tiled, zoomed, zoom, r.ox, r.sw};
        rows = AxisMap{tiled, zoomed, zoom, r.oy, r.sh};
    };
    return RotationFrame(left, top, right, bottom, angle, id, srcLeft, srcTop, srcRight,
                         srcBottom, false, maps, Unchanged{});
}

} // namespace

namespace voDraw
{

int PutRotate(int left, int top, int right, int bottom, int angle, ObjectId id, int srcLeft,
              int srcTop, int srcRight, int srcBottom)
{
    return RotateWith(left, top, right, bottom, angle, false, false, 1.0f, id, srcLeft, srcTop,
                      srcRight, srcBottom);
}

int PutRotateTiled(int left, int top, int right, int bottom, int angle, ObjectId id, int srcLeft,
                   int srcTop, int srcRight, int srcBottom)
{
    return RotateWith(left, top, right, bottom, angle, true, false, 1.0f, id, srcLeft, srcTop,
                      srcRight, srcBottom);
}

int PutRotateZoom(int left, int top, int right, int bottom, int angle, float zoom, ObjectId id,
                  int srcLeft, int srcTop, int srcRight, int srcBottom)
{
    return RotateWith(left, top, right, bottom, angle, false, true, zoom, id, srcLeft, srcTop,
                      srcRight, srcBottom);
}

int PutRotateZoomTiled(int left, int top, int right, int bottom, int angle, float zoom,
                       ObjectId id, int srcLeft, int srcTop, int srcRight, int srcBottom)
{
    return RotateWith(left, top, right, bottom, angle, true, true, zoom, id, srcLeft, srcTop,
                      srcRight, srcBottom);
}

int PutPerspective(int left, int top, int right, int bottom, int angle, float zoomX,
                   float zoomXStep, float zoomY, float zoomYStep, float tintRed, float tintGreen,
                   float tintBlue, ObjectId id, int srcLeft, int srcTop, int srcRight,
                   int srcBottom)
{
    // The magnifications are running 32-bit float sums, one step per rectangle row.
    float zx = zoomX;
    float zy = zoomY;
    auto maps = [&](const Rotation& r, AxisMap& columns, AxisMap& rows)
    {
        columns = AxisMap{true, true, zx, r.ox, r.sw};
        rows = AxisMap{true, true, zy, r.oy, r.sh};
        zx += zoomXStep;
        zy += zoomYStep;
    };
    // The tint of each 5-bit channel value, placed in its field: products formed in double
    // and truncated once. A tint past 1.0 spills into the neighbouring field, as specified
    // for tints outside 0..1.
    std::uint32_t red[32], green[32], blue[32];
    if (BlittersReady())
    {
        for (int c = 0; c < 32; ++c)
        {
            auto tint = [c](float t)
            { return static_cast<std::uint32_t>(TruncateToInt(c * static_cast<double>(t))); };
            red[c] = Join5(tint(tintRed), 0, 0);
            green[c] = Join5(0, tint(tintGreen), 0);
            blue[c] = Join5(0, 0, tint(tintBlue));
        }
    }
    const Rgb5* rgb = pixelToRgb5.data();
    auto pixel = [&](std::uint16_t s)
    {
        const Rgb5& c = rgb[s];
        return static_cast<std::uint16_t>(red[c.red] | green[c.green] | blue[c.blue]);
    };
    return RotationFrame(left, top, right, bottom, angle, id, srcLeft, srcTop, srcRight,
                         srcBottom, true, maps, pixel);
}

} // namespace voDraw
