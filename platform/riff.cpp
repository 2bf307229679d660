// The buffered RIFF chunk reader over a stdio file.
#include "platform/riff.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace platform
{

struct RiffReader
{
    std::FILE* file = nullptr;
    std::uint64_t fileSize = 0;
    std::uint64_t position = 0;       // next byte to read
    std::vector<std::uint8_t> buffer; // the I/O buffer
    std::uint64_t bufferStart = 0;    // file offset of buffer[0]
    std::size_t bufferFill = 0;       // valid bytes in buffer
};

namespace
{

constexpr std::size_t kIoBufferBytes = 8192;
constexpr std::uint32_t kRiff = FourCc('R', 'I', 'F', 'F');
constexpr std::uint32_t kList = FourCc('L', 'I', 'S', 'T');

std::uint32_t ReadLe32(const std::uint8_t* bytes)
{
    return static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
           static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
}

} // namespace

RiffReader* OpenRiff(const char* path)
{
    if (path == nullptr)
    {
        return nullptr;
    }
    std::FILE* file = std::fopen(FindFileIgnoringCase(path).c_str(), "rb");
    if (file == nullptr)
    {
        return nullptr;
    }
    if (std::fseek(file, 0, SEEK_END) != 0)
    {
        std::fclose(file);
        return nullptr;
    }
    long size = std::ftell(file);
    if (size < 0)
    {
        // A folder opens on some systems but has no length.
        std::fclose(file);
        return nullptr;
    }
    auto* reader = new RiffReader;
    reader->file = file;
    reader->fileSize = static_cast<std::uint64_t>(size);
    reader->buffer.resize(kIoBufferBytes);
    return reader;
}

void CloseRiff(RiffReader* reader)
{
    if (reader == nullptr)
    {
        return;
    }
    std::fclose(reader->file);
    delete reader;
}

void RiffBuffer(RiffReader* reader, const std::uint8_t*& next, std::size_t& available)
{
    std::uint64_t end = reader->bufferStart + reader->bufferFill;
    if (reader->position < reader->bufferStart || reader->position >= end)
    {
        next = reader->buffer.data();
        available = 0;
        return;
    }
    std::size_t offset = static_cast<std::size_t>(reader->position - reader->bufferStart);
    next = reader->buffer.data() + offset;
    available = reader->bufferFill - offset;
}

void ConsumeRiffBuffer(RiffReader* reader, std::size_t bytes)
{
    const std::uint8_t* next = nullptr;
    std::size_t available = 0;
    RiffBuffer(reader, next, available);
    reader->position += std::min(bytes, available);
}

std::size_t AdvanceRiff(RiffReader* reader)
{
    reader->bufferStart = reader->position;
    reader->bufferFill = 0;
    if (reader->position >= reader->fileSize ||
        std::fseek(reader->file, static_cast<long>(reader->position), SEEK_SET) != 0)
    {
        return 0;
    }
    reader->bufferFill = std::fread(reader->buffer.data(), 1, reader->buffer.size(), reader->file);
    return reader->bufferFill;
}

std::size_t ReadRiff(RiffReader* reader, void* out, std::size_t bytes)
{
    auto* target = static_cast<std::uint8_t*>(out);
    std::size_t done = 0;
    while (done < bytes)
    {
        const std::uint8_t* next = nullptr;
        std::size_t available = 0;
        RiffBuffer(reader, next, available);
        if (available == 0)
        {
            if (AdvanceRiff(reader) == 0)
            {
                break;
            }
            continue;
        }
        std::size_t take = std::min(available, bytes - done);
        std::memcpy(target + done, next, take);
        reader->position += take;
        done += take;
    }
    return done;
}

bool SeekRiff(RiffReader* reader, std::uint64_t offset)
{
    if (offset > reader->fileSize)
    {
        return false;
    }
    reader->position = offset;
    return true;
}

bool DescendRiff(RiffReader* reader, RiffChunk& chunk, const RiffChunk* parent, RiffFind find)
{
    std::uint64_t limit = reader->fileSize;
    if (parent != nullptr)
    {
        limit = std::min(limit, parent->dataOffset + parent->size);
    }
    for (;;)
    {
        std::uint64_t start = reader->position;
        if (start > limit || limit - start < 8)
        {
            return false;
        }
        std::uint8_t header[8];
        if (ReadRiff(reader, header, sizeof header) != sizeof header)
        {
            return false;
        }
        std::uint32_t id = ReadLe32(header);
        std::uint32_t size = ReadLe32(header + 4);
        std::uint64_t dataOffset = start + 8;
        if (size > limit - dataOffset && parent == nullptr && id == kRiff)
        {
            // Many WAV writers count a pad byte that is not there, and files cut after their
            // data chunk are common: the outer chunk then ends at the end of the file, and the
            // chunks inside it are still held to that.
            size = static_cast<std::uint32_t>(limit - dataOffset);
        }
        if (size > limit - dataOffset)
        {
            return false;
        }
        bool isForm = id == kRiff || id == kList;
        std::uint32_t formType = 0;
        if (isForm)
        {
            std::uint8_t form[4];
            if (size < 4 || ReadRiff(reader, form, sizeof form) != sizeof form)
            {
                return false;
            }
            formType = ReadLe32(form);
        }
        bool match = false;
        switch (find)
        {
        case RiffFind::Next:
            match = true;
            break;
        case RiffFind::Chunk:
            match = id == chunk.id;
            break;
        case RiffFind::Riff:
            match = id == kRiff && formType == chunk.formType;
            break;
        case RiffFind::List:
            match = id == kList && formType == chunk.formType;
            break;
        }
        if (match)
        {
            chunk.id = id;
            chunk.size = size;
            chunk.formType = formType;
            chunk.dataOffset = dataOffset;
            reader->position = dataOffset + (isForm ? 4 : 0);
            return true;
        }
        reader->position = dataOffset + size + (size & 1);
    }
}

void AscendRiff(RiffReader* reader, const RiffChunk& chunk)
{
    reader->position = chunk.dataOffset + chunk.size + (chunk.size & 1);
}

} // namespace platform
