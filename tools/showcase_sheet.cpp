// Lays captured frames (8-bit RGB PNGs of one size) out as a contact sheet at half size,
// columns wide, a gap between them. Built and run by tools/showcase-sheet.
// Usage: showcase_sheet OUT.png COLUMNS FRAME.png...
#include <png.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace
{

struct Image
{
    int width = 0, height = 0;
    std::vector<unsigned char> rgb; // rows of width * 3 bytes
};

struct FileCloser
{
    void operator()(std::FILE* file) const
    {
        std::fclose(file);
    }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

bool ReadPng(const std::string& path, Image& image)
{
    File file(std::fopen(path.c_str(), "rb"));
    if (!file)
    {
        return false;
    }
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
    if (info == nullptr || setjmp(png_jmpbuf(png)))
    {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    png_init_io(png, file.get());
    png_read_info(png, info);
    png_set_strip_16(png);
    png_set_strip_alpha(png);
    png_set_palette_to_rgb(png);
    png_set_gray_to_rgb(png);
    png_read_update_info(png, info);
    image.width = static_cast<int>(png_get_image_width(png, info));
    image.height = static_cast<int>(png_get_image_height(png, info));
    image.rgb.assign(static_cast<std::size_t>(image.width) * image.height * 3, 0);
    std::vector<png_bytep> rows(static_cast<std::size_t>(image.height));
    for (int y = 0; y < image.height; ++y)
    {
        rows[y] = image.rgb.data() + static_cast<std::size_t>(y) * image.width * 3;
    }
    png_read_image(png, rows.data());
    png_destroy_read_struct(&png, &info, nullptr);
    return true;
}

bool WritePng(const std::string& path, const Image& image)
{
    File file(std::fopen(path.c_str(), "wb"));
    if (!file)
    {
        return false;
    }
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
    if (info == nullptr || setjmp(png_jmpbuf(png)))
    {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, file.get());
    png_set_IHDR(png, info, image.width, image.height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < image.height; ++y)
    {
        png_write_row(png, image.rgb.data() + static_cast<std::size_t>(y) * image.width * 3);
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 4)
    {
        std::fprintf(stderr, "usage: showcase_sheet OUT.png COLUMNS FRAME.png...\n");
        return 2;
    }
    const int columns = std::atoi(argv[2]);
    const int count = argc - 3;
    const int gap = 8;
    Image first;
    if (columns < 1 || !ReadPng(argv[3], first))
    {
        std::fprintf(stderr, "showcase_sheet: cannot read %s\n", argv[3]);
        return 1;
    }
    const int cellWidth = first.width / 2;
    const int cellHeight = first.height / 2;
    const int rows = (count + columns - 1) / columns;
    Image sheet;
    sheet.width = columns * cellWidth + (columns + 1) * gap;
    sheet.height = rows * cellHeight + (rows + 1) * gap;
    sheet.rgb.assign(static_cast<std::size_t>(sheet.width) * sheet.height * 3, 48);
    for (int n = 0; n < count; ++n)
    {
        Image frame;
        if (!ReadPng(argv[3 + n], frame) || frame.width != first.width ||
            frame.height != first.height)
        {
            std::fprintf(stderr, "showcase_sheet: cannot read %s\n", argv[3 + n]);
            return 1;
        }
        int left = gap + (n % columns) * (cellWidth + gap);
        int top = gap + (n / columns) * (cellHeight + gap);
        for (int y = 0; y < cellHeight; ++y)
        {
            for (int x = 0; x < cellWidth; ++x)
            {
                for (int c = 0; c < 3; ++c)
                {
                    // Each thumbnail pixel is the average of the 2 x 2 it stands for.
                    int sum = 0;
                    for (int k = 0; k < 4; ++k)
                    {
                        std::size_t at = (static_cast<std::size_t>(2 * y + k / 2) * frame.width +
                                          2 * x + k % 2) * 3 + c;
                        sum += frame.rgb[at];
                    }
                    std::size_t to =
                        (static_cast<std::size_t>(top + y) * sheet.width + left + x) * 3 + c;
                    sheet.rgb[to] = static_cast<unsigned char>((sum + 2) / 4);
                }
            }
        }
    }
    if (!WritePng(argv[1], sheet))
    {
        std::fprintf(stderr, "showcase_sheet: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
