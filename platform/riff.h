// The buffered RIFF chunk reader (the mmio stand-in): chunk headers found and checked against
// the file and their parent, reads and seeks through an 8 KiB I/O buffer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

namespace platform
{

// An open file; only the functions below look inside.
struct RiffReader;

// Four characters as a chunk identifier, the first in the low byte.
constexpr std::uint32_t FourCc(char a, char b, char c, char d)
{
    return static_cast<std::uint32_t>(static_cast<unsigned char>(a)) |
           static_cast<std::uint32_t>(static_cast<unsigned char>(b)) << 8 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(c)) << 16 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(d)) << 24;
}

struct RiffChunk
{
    std::uint32_t id = 0;         // FourCc
    std::uint32_t size = 0;       // bytes of data, without the pad byte of an odd size
    std::uint32_t formType = 0;   // for "RIFF" and "LIST" chunks: the first four data bytes
    std::uint64_t dataOffset = 0; // file offset of the data (of the form type for RIFF, LIST)
};

enum class RiffFind
{
    Next,  // the next chunk, whatever it is
    Chunk, // the next chunk with chunk.id
    Riff,  // the next "RIFF" chunk with chunk.formType
    List,  // the next "LIST" chunk with chunk.formType
};

// Stands in for mmioOpenA(path, NULL, MMIO_READ | MMIO_ALLOCBUF). Null when the file cannot
// be opened for reading.
RiffReader* OpenRiff(const char* path);

// Stands in for mmioClose(). Nothing for null.
void CloseRiff(RiffReader* reader);

struct RiffCloser
{
    void operator()(RiffReader* reader) const
    {
        CloseRiff(reader);
    }
};
using RiffReaderPtr = std::unique_ptr<RiffReader, RiffCloser>;

// Stands in for mmioDescend(): reads chunk headers from the current position, skipping
// chunks by their size raised to even, until one matches; inside parent when it is given.
// Every chunk met must lie wholly inside its parent and the file, so a size that runs past
// the end is a failure, not a short read later; only an outer "RIFF" chunk that runs past
// the file is taken as ending at the end of the file. On success chunk is filled and the position
// is the chunk's first data byte (after the form type for "RIFF" and "LIST"). False when no
// chunk matches or the headers are broken.
bool DescendRiff(RiffReader* reader, RiffChunk& chunk, const RiffChunk* parent, RiffFind find);

// Stands in for mmioAscend(): moves past the chunk's data and its pad byte.
void AscendRiff(RiffReader* reader, const RiffChunk& chunk);

// Stands in for mmioRead(): up to bytes into out. Returns the bytes read, 0 at the end of the
// file.
std::size_t ReadRiff(RiffReader* reader, void* out, std::size_t bytes);

// Stands in for mmioSeek(offset, SEEK_SET). False past the end of the file.
bool SeekRiff(RiffReader* reader, std::uint64_t offset);

// Stands in for mmioGetInfo(): the unread bytes of the I/O buffer at the current position
// (none before the first AdvanceRiff there).
void RiffBuffer(RiffReader* reader, const std::uint8_t*& next, std::size_t& available);

// Stands in for moving pchNext and mmioSetInfo(): marks bytes of the I/O buffer as read.
void ConsumeRiffBuffer(RiffReader* reader, std::size_t bytes);

// Stands in for mmioAdvance(MMIO_READ): refills the I/O buffer from the current position.
// Returns the bytes now available; 0 at the end of the file or when reading fails.
std::size_t AdvanceRiff(RiffReader* reader);

} // namespace platform
