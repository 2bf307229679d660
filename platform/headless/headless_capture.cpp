// Captured frames: every presented picture is kept for tests and, with a capture folder,
// written as a PNG named by its frame number.
#include <png.h>

#include <cstdio>
#include <filesystem>
#include <memory>

#include "platform/headless/capture.h"
#include "platform/headless/control.h"
#include "platform/headless/headless_internal.h"
#include "platform/pixels.h"

namespace platform::headless
{
namespace
{

struct CaptureState
{
    std::string folder;                  // where PNGs go; empty for none
    std::vector<CapturedFrame> frames;   // every frame presented
};

CaptureState capture;

struct FileCloser
{
    void operator()(std::FILE* file) const
    {
        std::fclose(file);
    }
};

} // namespace

bool StartCapture(const std::string& folder, std::string& error)
{
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (ec || !std::filesystem::is_directory(folder))
    {
        error = "cannot make the capture folder " + folder;
        return false;
    }
    capture.folder = folder;
    return true;
}

void RecordFrame(CapturedFrame frame)
{
    if (!capture.folder.empty())
    {
        char name[32];
        std::snprintf(name, sizeof name, "/%06d.png", frame.frame);
        WritePng(capture.folder + name, frame);
    }
    // A long run from the command line would otherwise hold every frame in memory.
    if (Config().keepFrames)
    {
        capture.frames.push_back(std::move(frame));
    }
}

const std::vector<CapturedFrame>& CapturedFrames()
{
    return capture.frames;
}

bool WritePng(const std::string& path, const CapturedFrame& frame)
{
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "wb"));
    if (!file)
    {
        return false;
    }
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
    if (info == nullptr)
    {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    std::vector<png_byte> row(static_cast<size_t>(frame.width) * 3);
    if (setjmp(png_jmpbuf(png)))
    {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, file.get());
    png_set_IHDR(png, info, frame.width, frame.height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < frame.height; ++y)
    {
        for (int x = 0; x < frame.width; ++x)
        {
            std::uint32_t rgb = frame.Rgb(x, y);
            row[x * 3 + 0] = static_cast<png_byte>(rgb >> 16);
            row[x * 3 + 1] = static_cast<png_byte>(rgb >> 8);
            row[x * 3 + 2] = static_cast<png_byte>(rgb);
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

std::uint32_t CapturedFrame::Rgb(int x, int y) const
{
    // Channels widened by repeating their top bits, as a screen shows them: white stays white
    // in the PNGs, unlike the device context's read-back, which leaves the low bits zero.
    std::uint32_t p = pixels[static_cast<size_t>(y) * width + x];
    std::uint32_t r, g, b;
    if (rgb555)
    {
        r = (p >> 10) & 31;
        g = (p >> 5) & 31;
        g = (g << 3) | (g >> 2);
    }
    else
    {
        r = (p >> 11) & 31;
        g = (p >> 5) & 63;
        g = (g << 2) | (g >> 4);
    }
    b = p & 31;
    r = (r << 3) | (r >> 2);
    b = (b << 3) | (b >> 2);
    return (r << 16) | (g << 8) | b;
}

} // namespace platform::headless
