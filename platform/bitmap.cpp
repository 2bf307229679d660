// BMP decoding (plain, bit-field and run-length pixels), bitmap files and resources, and the
// copy of a bitmap onto a surface. Every size in a file is checked before it is used in
// arithmetic or to index anything.
#include "platform/bitmap.h"

#include <algorithm>
#include <bit>
#include <fstream>

#include "platform/cp932.h"
#include "platform/platform.h"
#include "platform/resources.h"
#include "platform/surface_internal.h"

namespace platform
{
namespace
{

constexpr std::size_t kFileHeaderBytes = 14;
constexpr std::uint32_t kCoreHeaderBytes = 12;
constexpr std::uint32_t kInfoHeaderBytes = 40;
constexpr std::uint32_t kBiRgb = 0;
constexpr std::uint32_t kBiRle8 = 1;
constexpr std::uint32_t kBiRle4 = 2;
constexpr std::uint32_t kBiBitfields = 3;
// No bitmap this system loads comes near it; a bigger file is refused unread.
constexpr std::size_t kMaxFileBytes = std::size_t{256} << 20;

// Little-endian reads inside a checked span.
struct Bytes
{
    const std::uint8_t* data;
    std::size_t size;

    bool Has(std::size_t offset, std::size_t count) const
    {
        return offset <= size && count <= size - offset;
    }
    std::uint16_t U16(std::size_t offset) const
    {
        return static_cast<std::uint16_t>(data[offset] | (data[offset + 1] << 8));
    }
    std::uint32_t U32(std::size_t offset) const
    {
        return static_cast<std::uint32_t>(data[offset]) |
               (static_cast<std::uint32_t>(data[offset + 1]) << 8) |
               (static_cast<std::uint32_t>(data[offset + 2]) << 16) |
               (static_cast<std::uint32_t>(data[offset + 3]) << 24);
    }
};

// A bit-field channel: where it sits and how wide it is.
struct Channel
{
    std::uint32_t mask = 0;
    int shift = 0;
    int bits = 0;

    explicit Channel(std::uint32_t m) : mask(m)
    {
        if (mask != 0)
        {
            shift = std::countr_zero(mask);
            bits = std::popcount(mask);
        }
    }
    // The channel widened or narrowed to 8 bits, low bits repeating the high ones.
    std::uint32_t Value(std::uint32_t pixel) const
    {
        if (bits == 0)
        {
            return 0;
        }
        std::uint32_t value = (pixel & mask) >> shift;
        if (bits >= 8)
        {
            return (value >> (bits - 8)) & 0xFF;
        }
        std::uint32_t wide = 0;
        for (int filled = 0; filled < 8; filled += bits)
        {
            wide = (wide << bits) | value;
        }
        return (wide >> (((8 + bits - 1) / bits) * bits - 8)) & 0xFF;
    }
};

struct Header
{
    std::int64_t width = 0;
    std::int64_t height = 0; // negative: rows top to bottom
    int bitCount = 0;
    std::uint32_t compression = kBiRgb;
    std::uint32_t colorsUsed = 0;
    std::uint32_t imageBytes = 0; // the coded pixels' size; 0 for plain pixels
    std::uint32_t masks[3] = {0, 0, 0};
    bool core = false;   // the 12-byte OS/2 header: 3-byte palette entries
    std::size_t end = 0; // where the header (and any separate masks) ends
};

bool ReadHeader(const Bytes& dib, Header& header)
{
    if (!dib.Has(0, 4))
    {
        return false;
    }
    std::uint32_t headerBytes = dib.U32(0);
    if (headerBytes == kCoreHeaderBytes)
    {
        if (!dib.Has(0, kCoreHeaderBytes) || dib.U16(8) != 1)
        {
            return false;
        }
        header.core = true;
        header.width = dib.U16(4);
        header.height = dib.U16(6);
        header.bitCount = dib.U16(10);
        header.end = kCoreHeaderBytes;
        return header.bitCount == 1 || header.bitCount == 4 || header.bitCount == 8 ||
               header.bitCount == 24;
    }
    // BITMAPINFOHEADER and its longer versions (V2, V3, V4, V5) share the first 40 bytes.
    if (headerBytes < kInfoHeaderBytes || headerBytes > 1024 || !dib.Has(0, headerBytes))
    {
        return false;
    }
    if (dib.U16(12) != 1)
    {
        return false;
    }
    header.width = static_cast<std::int32_t>(dib.U32(4));
    header.height = static_cast<std::int32_t>(dib.U32(8));
    header.bitCount = dib.U16(14);
    header.compression = dib.U32(16);
    header.imageBytes = dib.U32(20);
    header.colorsUsed = dib.U32(32);
    header.end = headerBytes;
    if (header.compression == kBiBitfields)
    {
        if (header.bitCount != 16 && header.bitCount != 32)
        {
            return false;
        }
        // Masks sit inside the longer headers, or follow the 40-byte one.
        std::size_t at = kInfoHeaderBytes;
        if (headerBytes < kInfoHeaderBytes + 12)
        {
            if (!dib.Has(at, 12))
            {
                return false;
            }
            header.end = at + 12;
        }
        for (int i = 0; i < 3; ++i)
        {
            header.masks[i] = dib.U32(at + 4 * i);
        }
    }
    else if (header.compression == kBiRgb)
    {
        if (header.bitCount == 16)
        {
            header.masks[0] = 0x7C00;
            header.masks[1] = 0x03E0;
            header.masks[2] = 0x001F;
        }
        else if (header.bitCount == 32)
        {
            header.masks[0] = 0xFF0000;
            header.masks[1] = 0x00FF00;
            header.masks[2] = 0x0000FF;
        }
    }
    else if (header.compression == kBiRle8 || header.compression == kBiRle4)
    {
        // Run-length pictures run from the bottom row up; a top-down one is invalid.
        return header.bitCount == (header.compression == kBiRle8 ? 8 : 4) && header.height > 0;
    }
    else
    {
        // Embedded JPEG or PNG pictures are not taken.
        return false;
    }
    return header.bitCount == 1 || header.bitCount == 4 || header.bitCount == 8 ||
           header.bitCount == 16 || header.bitCount == 24 || header.bitCount == 32;
}

// Decodes a run-length stream of 4- or 8-bit indexes into rows counted from the bottom, as
// the system's own loader reads it: encoded runs, absolute runs padded to a 16-bit word, end
// of line, end of bitmap and delta. Every run and move must stay inside the picture; one that
// would leave it fails the whole picture rather than being clipped, and so does a stream that
// stops before its end-of-bitmap code. Pixels the stream skips (by a delta or an end of line)
// keep index 0, which is what the indexes start as.
bool DecodeRle(const Bytes& stream, int bits, int width, int height,
               std::vector<std::uint8_t>& indexes)
{
    indexes.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0);
    std::size_t at = 0;
    int x = 0;
    int y = 0; // from the bottom; height once the last row is done
    // The index of pixel i of a run whose bytes are given: 4-bit runs take the high nibble
    // first.
    auto nibbleOrByte = [bits](std::uint8_t byte, int i)
    { return bits == 8 ? byte : ((i & 1) != 0 ? byte & 0x0F : byte >> 4); };
    while (stream.Has(at, 2))
    {
        std::uint8_t count = stream.data[at];
        std::uint8_t value = stream.data[at + 1];
        at += 2;
        if (count > 0)
        {
            if (y >= height || count > width - x)
            {
                return false;
            }
            std::uint8_t* out = indexes.data() + static_cast<std::size_t>(y) * width + x;
            for (int i = 0; i < count; ++i)
            {
                out[i] = static_cast<std::uint8_t>(nibbleOrByte(value, i));
            }
            x += count;
            continue;
        }
        switch (value)
        {
        case 0: // end of line
            if (y >= height)
            {
                return false;
            }
            x = 0;
            ++y;
            break;
        case 1: // end of bitmap
            return true;
        case 2: // delta: right and up
        {
            if (!stream.Has(at, 2))
            {
                return false;
            }
            int right = stream.data[at];
            int up = stream.data[at + 1];
            at += 2;
            if (right > width - x || up >= height - y)
            {
                return false;
            }
            x += right;
            y += up;
            break;
        }
        default: // an absolute run of `value` pixels, its bytes padded to a 16-bit word
        {
            std::size_t bytes = bits == 8 ? value : (value + 1u) / 2;
            std::size_t padded = bytes + (bytes & 1);
            if (!stream.Has(at, padded) || y >= height || value > width - x)
            {
                return false;
            }
            std::uint8_t* out = indexes.data() + static_cast<std::size_t>(y) * width + x;
            for (int i = 0; i < value; ++i)
            {
                out[i] = static_cast<std::uint8_t>(
                    nibbleOrByte(stream.data[at + (bits == 8 ? i : i / 2)], i));
            }
            x += value;
            at += padded;
            break;
        }
        }
    }
    return false;
}

} // namespace

bool DecodeBmp(const std::uint8_t* data, std::size_t size, Bitmap& bitmap)
{
    bitmap = Bitmap{};
    if (data == nullptr)
    {
        return false;
    }
    Bytes file{data, size};
    // Files start with "BM" and the offset of the pixels; resources start at the header.
    std::size_t dibStart = 0;
    std::size_t pixelOffset = 0;
    bool fileHeader = file.Has(0, kFileHeaderBytes) && data[0] == 'B' && data[1] == 'M';
    if (fileHeader)
    {
        dibStart = kFileHeaderBytes;
        pixelOffset = file.U32(10);
    }
    Bytes dib{data + dibStart, size - dibStart};
    Header header;
    if (!ReadHeader(dib, header))
    {
        return false;
    }
    std::int64_t width = header.width;
    std::int64_t height = header.height < 0 ? -header.height : header.height;
    bool topDown = header.height < 0;
    if (width <= 0 || height <= 0 || width > kMaxBitmapSide || height > kMaxBitmapSide ||
        static_cast<std::size_t>(width * height) > kMaxBitmapPixels)
    {
        return false;
    }

    // The palette: up to 2^bits entries, fewer when the header says so.
    std::vector<ColorRef> palette;
    std::size_t paletteEnd = header.end;
    if (header.bitCount <= 8)
    {
        std::size_t entries = std::size_t{1} << header.bitCount;
        if (header.colorsUsed != 0 && header.colorsUsed < entries)
        {
            entries = header.colorsUsed;
        }
        std::size_t entryBytes = header.core ? 3 : 4;
        if (!dib.Has(header.end, entries * entryBytes))
        {
            return false;
        }
        palette.resize(entries);
        for (std::size_t i = 0; i < entries; ++i)
        {
            const std::uint8_t* entry = dib.data + header.end + i * entryBytes;
            palette[i] = MakeRgb(entry[2], entry[1], entry[0]);
        }
        paletteEnd = header.end + entries * entryBytes;
    }
    else if (header.colorsUsed != 0 && header.colorsUsed <= 256)
    {
        // A palette beside true-colour pixels is only a hint for palette displays.
        paletteEnd = header.end + std::size_t{header.colorsUsed} * (header.core ? 3 : 4);
    }

    std::size_t pixelStart = fileHeader ? pixelOffset : dibStart + paletteEnd;
    if (pixelStart < dibStart + header.end || pixelStart > size)
    {
        return false;
    }
    auto fromPalette = [&palette](std::uint32_t index)
    {
        // An index past a short palette reads as black.
        return index < palette.size() ? palette[index] : ColorRef{0};
    };
    if (header.compression == kBiRle8 || header.compression == kBiRle4)
    {
        // The coded size bounds the stream when it is given; no stream reads past the file.
        std::size_t streamBytes = size - pixelStart;
        if (header.imageBytes != 0)
        {
            if (!file.Has(pixelStart, header.imageBytes))
            {
                return false;
            }
            streamBytes = header.imageBytes;
        }
        std::vector<std::uint8_t> indexes;
        if (!DecodeRle(Bytes{data + pixelStart, streamBytes}, header.bitCount,
                       static_cast<int>(width), static_cast<int>(height), indexes))
        {
            return false;
        }
        bitmap.width = static_cast<int>(width);
        bitmap.height = static_cast<int>(height);
        bitmap.pixels.resize(indexes.size());
        for (int row = 0; row < bitmap.height; ++row)
        {
            const std::uint8_t* in =
                indexes.data() + static_cast<std::size_t>(bitmap.height - 1 - row) * bitmap.width;
            ColorRef* out = bitmap.pixels.data() + static_cast<std::size_t>(row) * bitmap.width;
            for (int x = 0; x < bitmap.width; ++x)
            {
                out[x] = fromPalette(in[x]);
            }
        }
        return true;
    }
    std::size_t stride = ((static_cast<std::size_t>(width) * header.bitCount + 31) / 32) * 4;
    std::size_t needed = stride * static_cast<std::size_t>(height);
    if (!file.Has(pixelStart, needed))
    {
        return false;
    }

    Channel red(header.masks[0]);
    Channel green(header.masks[1]);
    Channel blue(header.masks[2]);
    bitmap.width = static_cast<int>(width);
    bitmap.height = static_cast<int>(height);
    bitmap.pixels.resize(static_cast<std::size_t>(width * height));
    for (int row = 0; row < bitmap.height; ++row)
    {
        int fileRow = topDown ? row : bitmap.height - 1 - row;
        const std::uint8_t* in = data + pixelStart + static_cast<std::size_t>(fileRow) * stride;
        ColorRef* out = bitmap.pixels.data() + static_cast<std::size_t>(row) * bitmap.width;
        for (int x = 0; x < bitmap.width; ++x)
        {
            switch (header.bitCount)
            {
            case 1:
                out[x] = fromPalette((in[x >> 3] >> (7 - (x & 7))) & 1);
                break;
            case 4:
                out[x] = fromPalette((in[x >> 1] >> ((x & 1) ? 0 : 4)) & 0x0F);
                break;
            case 8:
                out[x] = fromPalette(in[x]);
                break;
            case 24:
                out[x] = MakeRgb(in[x * 3 + 2], in[x * 3 + 1], in[x * 3]);
                break;
            default:
            {
                std::uint32_t pixel =
                    header.bitCount == 16
                        ? static_cast<std::uint32_t>(in[x * 2] | (in[x * 2 + 1] << 8))
                        : Bytes{in + x * 4, 4}.U32(0);
                out[x] = MakeRgb(static_cast<int>(red.Value(pixel)),
                                 static_cast<int>(green.Value(pixel)),
                                 static_cast<int>(blue.Value(pixel)));
                break;
            }
            }
        }
    }
    return true;
}

bool LoadBitmapFile(const std::string& folder, const char* name, Bitmap& bitmap)
{
    bitmap = Bitmap{};
    if (name == nullptr || name[0] == '\0')
    {
        return false;
    }
    // The name is CP932 and may separate folders with '\'; a '\' that is the second byte of
    // a two-byte character stays part of it.
    std::string native;
    for (const char* p = name; *p != '\0'; ++p)
    {
        auto c = static_cast<unsigned char>(*p);
        if (IsCp932LeadByte(c) && p[1] != '\0')
        {
            native += *p++;
            native += *p;
            continue;
        }
        native += c == '\\' ? '/' : *p;
    }
    std::string path = FindFileIgnoringCase(folder + Cp932ToUtf8(native));
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in)
    {
        return false;
    }
    std::streamoff length = in.tellg();
    if (length <= 0 || static_cast<std::uint64_t>(length) > kMaxFileBytes)
    {
        return false;
    }
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(length));
    in.seekg(0);
    if (!in.read(reinterpret_cast<char*>(bytes.data()), length))
    {
        return false;
    }
    return DecodeBmp(bytes.data(), bytes.size(), bitmap);
}

bool LoadBitmapResource(const char* name, Bitmap& bitmap)
{
    bitmap = Bitmap{};
    const std::uint8_t* bytes = nullptr;
    std::size_t size = 0;
    return FindResource(name, bytes, size) && DecodeBmp(bytes, size, bitmap);
}

SurfaceResult CopyBitmapToSurface(Surface* surface, const Bitmap& bitmap, int x, int y, int width,
                                  int height)
{
    if (surface == nullptr || bitmap.pixels.empty())
    {
        return SurfaceResult::InvalidParams;
    }
    RestoreSurface(surface);
    width = width == 0 ? bitmap.width : width;
    height = height == 0 ? bitmap.height : height;
    SurfaceResult result = SurfaceResult::Ok;
    DeviceContext* dc = GetSurfaceDc(surface, &result);
    if (dc == nullptr)
    {
        return result;
    }
    if (width > 0 && height > 0)
    {
        PixelBuffer to = surface->View();
        for (int row = 0; row < to.height; ++row)
        {
            std::int64_t sourceY = y + static_cast<std::int64_t>(row) * height / to.height;
            if (sourceY < 0 || sourceY >= bitmap.height)
            {
                continue;
            }
            const ColorRef* in = bitmap.pixels.data() + sourceY * bitmap.width;
            std::uint16_t* out = to.Row(row);
            for (int column = 0; column < to.width; ++column)
            {
                std::int64_t sourceX = x + static_cast<std::int64_t>(column) * width / to.width;
                // Pixels outside the bitmap leave the surface as it was.
                if (sourceX >= 0 && sourceX < bitmap.width)
                {
                    out[column] = NativeFromColor(in[sourceX], to.layout);
                }
            }
        }
    }
    return ReleaseSurfaceDc(surface, dc);
}

} // namespace platform
