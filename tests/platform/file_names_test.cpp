// Files named in another case: the exact name first, then the first match in byte order, for
// each part of the path, and every loader finding its file that way.
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "platform/bitmap.h"
#include "platform/platform.h"
#include "platform/riff.h"
#include "platform/sequencer.h"
#include "tests/draw/draw_support.h"
#include "tests/sound/sound_files.h"
#include "tests/support/headless.h"

namespace
{

using platform::FindFileIgnoringCase;
using testing_support::TempDir;

TEST(FileNames, TheExactNameFirstThenTheFirstMatchInByteOrderForEachPart)
{
    TempDir dir;
    std::filesystem::create_directories(dir.File("Data/Sub"));
    std::filesystem::create_directories(dir.File("PICS"));
    std::filesystem::create_directories(dir.File("Pics"));
    for (const char* name : {"mine.bmp", "Song.MID", "song.MID", "Dup.txt", "DUP.txt",
                             "Data/Tiles.BMP", "Data/Sub/a.wav",
                             "\xE6\x9B\xB2"
                             "A.mid",
                             "\x83\x41.wav", "Pics/a.bmp"})
    {
        dir.Write(name, "x");
    }
    const struct
    {
        std::string asked;
        std::string found;
    } cases[] = {
        {"mine.bmp", "mine.bmp"},
        {"MINE.BMP", "mine.bmp"},
        {"MiNe.bMp", "mine.bmp"},
        {"SONG.MID", "Song.MID"}, // 'S' comes before 's'
        {"Dup.txt", "Dup.txt"},   // as written, though "DUP.txt" comes first
        {"dup.TXT", "DUP.txt"},
        {"DATA/TILES.bmp", "Data/Tiles.BMP"},
        {"data/sub/A.WAV", "Data/Sub/a.wav"},
        {"Pics/A.BMP", "Pics/a.bmp"}, // the folder as written, though "PICS" comes first
        {"./MINE.BMP", "./mine.bmp"},
        {"Data/../MINE.BMP", "Data/../mine.bmp"},
        {"data//tiles.bmp", "Data/Tiles.BMP"},
        {"DATA/", "Data/"},
        {"\xE6\x9B\xB2"
         "a.MID",
         "\xE6\x9B\xB2"
         "A.mid"},                        // UTF-8: letters after it fold
        {"\x83\x41.WAV", "\x83\x41.wav"}, // CP932: its own letters fold
        {"\x83\x61.wav", "\x83\x61.wav"}, // but not its second bytes
        {"none.bmp", "none.bmp"},
        {"DATA/none.bmp", "DATA/none.bmp"},
        {"mine.bmp/x", "mine.bmp/x"},
        {"", ""},
    };
    for (const auto& c : cases)
    {
        EXPECT_EQ(FindFileIgnoringCase(c.asked), c.found) << c.asked;
        // Absolute paths go the same way from the root.
        std::string found = c.found.empty() ? dir.Path() + "/" : dir.File(c.found);
        std::string asked = c.asked.empty() ? dir.Path() + "/" : dir.File(c.asked);
        if (c.found == c.asked)
        {
            found = asked;
        }
        EXPECT_EQ(FindFileIgnoringCase(asked), found) << asked;
    }
}

TEST(FileNames, BitmapWaveAndMidiFilesAreFoundUnderAnotherCase)
{
    setenv("SDL_SOUNDFONTS", "/nonexistent/none.sf2", 1);
    TempDir dir;
    testing_support::StartHeadless();
    std::filesystem::create_directory(dir.File("Art"));
    dir.Write("Art/mine.bmp", draw_testing::Bmp24(2, 1, [](int x, int) { return x * 99u; }));
    dir.Write("tone.wav", sound_files::ConstantWave(10, 5));
    dir.Write("piece.mid", sound_files::NoteFile(480));

    platform::Bitmap bitmap;
    ASSERT_TRUE(platform::LoadBitmapFile(dir.Path() + "/", "ART\\MINE.BMP", bitmap));
    EXPECT_EQ(bitmap.pixels[1], 99u);
    EXPECT_FALSE(platform::LoadBitmapFile(dir.Path() + "/", "ART\\MINES.BMP", bitmap));

    platform::RiffReaderPtr reader(platform::OpenRiff(dir.File("TONE.WAV").c_str()));
    EXPECT_TRUE(reader);
    EXPECT_FALSE(platform::RiffReaderPtr(platform::OpenRiff(dir.File("TONES.WAV").c_str())));

    auto open = [&](const char* name)
    {
        std::string command = "open \"" + dir.File(name) + "\" type sequencer alias midi";
        return platform::SendSequencerCommand(command.c_str(), nullptr, 0, 0);
    };
    EXPECT_EQ(open("PIECE.MID"), 0u);
    EXPECT_EQ(platform::SendSequencerCommand("close midi", nullptr, 0, 0), 0u);
    EXPECT_EQ(open("PIECES.MID"), platform::kMciErrFileNotFound);
}

} // namespace
