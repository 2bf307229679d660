// Drawing objects: loading from files and resources, refusals, the table's slots, blank
// objects, swapping, releasing, colour keys and the recovery of lost surfaces.
#include <filesystem>

#include "platform/resources.h"
#include "tests/draw/draw_support.h"

using draw_testing::BackPixel;
using draw_testing::Bmp24;
using draw_testing::BoxTexts;
using draw_testing::ObjectPixel;
using draw_testing::PaintSurface;
using draw_testing::StartScreen;
using platform::MakeRgb;
using platform::SurfaceResult;
using testing_support::TempDir;

namespace
{

constexpr platform::ColorRef kMagenta = MakeRgb(255, 0, 255);

// A picture whose every pixel differs: red from x, green from y, blue 128.
platform::ColorRef Gradient(int x, int y)
{
    return MakeRgb(x * 8, y * 8, 128);
}

std::uint16_t Native(platform::ColorRef color)
{
    return platform::NativeFromColor(color, platform::PixelLayout::Rgb565);
}

} // namespace

TEST(LoadObject, LoadsABitmapBesideTheProgramOrElseTheResourceOfTheSameName)
{
    TempDir folder;
    folder.Write("sprite.bmp", Bmp24(5, 3, Gradient));
    std::filesystem::create_directory(folder.File("data"));
    folder.Write("data/絵.bmp", Bmp24(2, 2, Gradient));
    ASSERT_EQ(StartScreen(), 1);
    platform::AddResource("PICTURE.BMP", Bmp24(4, 4, Gradient));
    platform::AddResource("sprite.bmp", Bmp24(7, 7, Gradient));
    ObjectId id = voDraw::LoadObject("sprite.bmp", 2);
    ASSERT_EQ(id, 2);
    EXPECT_STREQ(objectTable[id].name, "sprite.bmp");
    EXPECT_EQ(objectTable[id].width, 5); // the file, not the resource
    EXPECT_EQ(objectTable[id].height, 3);
    EXPECT_EQ(ObjectPixel(id, 0, 0), Native(Gradient(0, 0)));
    EXPECT_EQ(ObjectPixel(id, 4, 2), Native(Gradient(4, 2)));
    // A CP932 name with a Windows folder separator.
    std::string name = testing_support::Cp932("data\\絵.bmp");
    EXPECT_EQ(voDraw::LoadObject(name.c_str(), 2), 3);
    EXPECT_EQ(objectTable[3].width, 2);
    // No such file: the resource, its name matched without case.
    EXPECT_EQ(voDraw::LoadObject("picture.bmp", 2), 4);
    EXPECT_EQ(ObjectPixel(4, 3, 1), Native(Gradient(3, 1)));
    // The game's own bitmaps are compiled in: they load with no file beside the program.
    EXPECT_EQ(voDraw::LoadObject("tiles.bmp", 2), 5);
    EXPECT_EQ(objectTable[5].width, 160);
    EXPECT_EQ(objectTable[5].height, 160);
    EXPECT_TRUE(platform::headless::MessageBoxes().empty());
}

TEST(LoadObject, RefusesMissingTruncatedAndForeignFilesAndOverlongNames)
{
    TempDir folder;
    std::string whole = Bmp24(8, 8, Gradient);
    folder.Write("cut.bmp", whole.substr(0, whole.size() - 1));
    folder.Write("text.bmp", "not a bitmap at all");
    std::string thirty = std::string(26, 'a') + ".bmp";
    folder.Write(thirty, Bmp24(1, 1, Gradient));
    folder.Write("b" + thirty, Bmp24(1, 1, Gradient));
    ASSERT_EQ(StartScreen(), 1);
    for (const char* name : {"missing.bmp", "cut.bmp", "text.bmp"})
    {
        EXPECT_EQ(voDraw::LoadObject(name, 2), 0) << name;
        EXPECT_EQ(BoxTexts().back(), "voDraw::LoadObject : BMPファイルを読み込めません") << name;
        EXPECT_EQ(objectTable[2].surface, nullptr) << name;
    }
    EXPECT_EQ(BoxTexts().size(), 3u);
    // Thirty characters load; one more is refused by both loaders.
    EXPECT_EQ(voDraw::LoadObject(thirty.c_str(), 2), 2);
    EXPECT_EQ(voDraw::LoadObject(("b" + thirty).c_str(), 2), 0);
    EXPECT_EQ(BoxTexts().back(), "voDraw::LoadObject : ファイル名またはリソース名が長すぎます");
    EXPECT_EQ(voDraw::SwapObject(("b" + thirty).c_str(), 2, 2), 0);
    EXPECT_EQ(BoxTexts().back(), "voDraw::SwapObject : ファイル名またはリソース名が長すぎます");
    EXPECT_STREQ(objectTable[2].name, thirty.c_str());
}

TEST(ObjectTable, ReleasedSlotsAreHandedOutLowestFirstUntilTheTableIsFull)
{
    TempDir folder;
    folder.Write("one.bmp", Bmp24(1, 1, Gradient));
    ASSERT_EQ(StartScreen(), 1);
    for (int i = 2; i <= 6; ++i)
    {
        ASSERT_EQ(voDraw::LoadObject("one.bmp", 2), i);
    }
    voDraw::ReleaseObject(5);
    voDraw::ReleaseObject(3);
    EXPECT_EQ(objectTable[5].surface, nullptr);
    EXPECT_EQ(objectTable[5].name[0], '\0');
    EXPECT_EQ(voDraw::LoadObject("one.bmp", 2), 3);
    EXPECT_EQ(voDraw::CreateObject(2, 2, 1), 5);
    voDraw::ReleaseObject(-1); // outside the table: nothing
    for (int i = 7; i < kObjectCount; ++i)
    {
        ASSERT_EQ(voDraw::CreateObject(1, 1, 2), i);
    }
    EXPECT_EQ(voDraw::LoadObject("one.bmp", 2), 0);
    EXPECT_EQ(BoxTexts().back(), "voDraw::LoadObject : オブジェクト数が多過ぎます");
    EXPECT_EQ(voDraw::CreateObject(1, 1, 2), 0);
    EXPECT_EQ(BoxTexts().back(), "voDraw::CreateObject : オブジェクト数が多過ぎます");
}

TEST(CreateObject, MakesOneRowMoreThanAskedOrReportsASurfaceThatCannotBeMade)
{
    TempDir folder;
    platform::headless::HeadlessConfig config;
    config.surfaceLimit = 5; // primary, back buffer, Buffer, Screen and one more
    ASSERT_EQ(StartScreen(config), 1);
    EXPECT_EQ(voDraw::CreateObject(0, 10, 2), 0);
    EXPECT_EQ(BoxTexts().back(), "voDraw::CreateObject : スプライトを作成できません");
    EXPECT_EQ(voDraw::CreateObject(10, 65535, 2), 0);
    EXPECT_EQ(objectTable[2].name[0], '\0');
    ASSERT_EQ(voDraw::CreateObject(32, 32, 2), 2);
    EXPECT_STREQ(objectTable[2].name, "*");
    EXPECT_EQ(objectTable[2].height, 33);
    EXPECT_EQ(ObjectPixel(2, 31, 32), 0u);
    // The display is out of surfaces now.
    EXPECT_EQ(voDraw::CreateObject(4, 4, 2), 0);
    EXPECT_EQ(BoxTexts().back(), "voDraw::CreateObject : スプライトを作成できません");
}

TEST(SwapObject, KeepsTheIdAndTakesTheNewSizeAndAFailureFreesTheSlot)
{
    TempDir folder;
    folder.Write("small.bmp", Bmp24(2, 2, Gradient));
    folder.Write("large.bmp", Bmp24(9, 4, Gradient));
    ASSERT_EQ(StartScreen(), 1);
    ObjectId id = voDraw::LoadObject("small.bmp", 2);
    ObjectId after = voDraw::LoadObject("small.bmp", 2);
    EXPECT_EQ(voDraw::SwapObject("large.bmp", id, 2), 1);
    EXPECT_STREQ(objectTable[id].name, "large.bmp");
    EXPECT_EQ(objectTable[id].height, 4);
    EXPECT_EQ(ObjectPixel(id, 8, 3), Native(Gradient(8, 3)));
    EXPECT_EQ(objectTable[after].width, 2);
    EXPECT_EQ(voDraw::SwapObject("gone.bmp", id, 2), 0);
    EXPECT_EQ(BoxTexts().back(), "voDraw::SwapObject : BMPファイルを読み込めません");
    EXPECT_EQ(objectTable[id].surface, nullptr);
    EXPECT_EQ(objectTable[id].name[0], '\0');
    EXPECT_EQ(voDraw::SwapObject("small.bmp", kObjectCount, 2), 0);
    EXPECT_EQ(voDraw::SwapObject("small.bmp", -1, 2), 0);
    EXPECT_EQ(BoxTexts().size(), 3u);
}

namespace
{

// Left half magenta, right half the gradient; black in the bottom-right corner.
platform::ColorRef MagentaLeft(int x, int y)
{
    if (x == 3 && y == 3)
    {
        return 0;
    }
    return x < 2 ? kMagenta : Gradient(x, y);
}

// Puts the whole of a MagentaLeft object over the background and checks that the background
// shows exactly where the object's pixel is the key.
void ExpectKeyedOn(ObjectId id, std::uint16_t key)
{
    PaintSurface(BackBuffer(), [](int, int) { return draw_testing::kBackground; });
    voDraw::Put(0, 0, id, 0, 0, 4, 4);
    for (int y = 0; y < 4; ++y)
    {
        for (int x = 0; x < 4; ++x)
        {
            std::uint16_t pixel = Native(MagentaLeft(x, y));
            EXPECT_EQ(BackPixel(x, y), pixel == key ? draw_testing::kBackground : pixel)
                << "object " << id << " at " << x << "," << y;
        }
    }
}

} // namespace

TEST(ColourKeys, ObjectsTakeTheDefaultKeyInForceWhenLoaded)
{
    TempDir folder;
    folder.Write("k.bmp", Bmp24(4, 4, MagentaLeft));
    ASSERT_EQ(StartScreen(), 1);
    ObjectId black = voDraw::LoadObject("k.bmp", 2);
    voDraw::SetKeyColor(kMagenta);
    ObjectId magenta = voDraw::LoadObject("k.bmp", 2);
    voDraw::SetKeyFromTopLeft();
    ObjectId topLeft = voDraw::LoadObject("k.bmp", 2);
    EXPECT_EQ(objectTable[black].colorKey, 0u);
    EXPECT_EQ(objectTable[magenta].colorKey, kMagenta);
    EXPECT_EQ(objectTable[topLeft].colorKey, 0xFFFFFFFFu);
    ExpectKeyedOn(black, 0);
    ExpectKeyedOn(magenta, Native(kMagenta));
    ExpectKeyedOn(topLeft, Native(kMagenta));
    // Keying from the top-left pixel leaves that pixel as it was.
    EXPECT_EQ(ObjectPixel(topLeft, 0, 0), Native(kMagenta));
}

TEST(LostSurfaces, APutThatFindsThemLostBringsEveryObjectBack)
{
    TempDir folder;
    folder.Write("a.bmp", Bmp24(6, 5, Gradient));
    folder.Write("k.bmp", Bmp24(4, 4, MagentaLeft));
    ASSERT_EQ(StartScreen(), 1);
    ObjectId bitmap = voDraw::LoadObject("a.bmp", 2);
    voDraw::SetKeyFromTopLeft();
    ObjectId topLeft = voDraw::LoadObject("k.bmp", 2);
    voDraw::SetKeyColor(0);
    ObjectId blank = voDraw::CreateObject(3, 3, 2);
    PaintSurface(objectTable[blank].surface, [](int, int) { return std::uint16_t{0x4321}; });
    PaintSurface(objectTable[bitmap].surface, [](int, int) { return std::uint16_t{0x1111}; });

    platform::headless::LoseAllSurfaces();
    EXPECT_EQ(voDraw::Put(0, 0, bitmap, 0, 0, 6, 5), SurfaceResult::SurfaceLost);

    // Bitmaps come back from their files, blank objects come back empty.
    EXPECT_FALSE(platform::IsSurfaceLost(BackBuffer()));
    EXPECT_EQ(ObjectPixel(bitmap, 5, 4), Native(Gradient(5, 4)));
    EXPECT_EQ(ObjectPixel(blank, 1, 1), 0u);
    EXPECT_EQ(objectTable[blank].height, 4);
    EXPECT_EQ(objectTable[topLeft].colorKey, 0xFFFFFFFFu);
    // The next frame is whole again, keys included.
    ExpectKeyedOn(topLeft, Native(kMagenta));
    EXPECT_EQ(voDraw::Put(0, 0, bitmap, 0, 0, 6, 5), SurfaceResult::Ok);
    EXPECT_EQ(BackPixel(2, 2), Native(Gradient(2, 2)));
}

TEST(ObjectIds, OutsideTheTableOrWithoutASurfaceAreRefusedSafely)
{
    TempDir folder;
    ASSERT_EQ(StartScreen(), 1);
    for (ObjectId id : {-1, 7, kObjectCount, 1 << 30})
    {
        EXPECT_EQ(voDraw::Put(0, 0, id, 0, 0, 4, 4), SurfaceResult::InvalidParams);
        EXPECT_EQ(voDraw::PutOpaque(0, 0, id, 0, 0, 4, 4), SurfaceResult::InvalidParams);
        EXPECT_EQ(voDraw::PutTo(id, 0, 0, 0, 0, 0, 4, 4), SurfaceResult::InvalidParams);
        EXPECT_EQ(voDraw::PutOpaqueTo(0, 0, 0, id, 0, 0, 4, 4), SurfaceResult::InvalidParams);
        EXPECT_EQ(voDraw::ClearObject(id), SurfaceResult::InvalidParams);
        voDraw::PutStretch(0, 0, id, 0, 0, 4, 4, 8, 8);
        voDraw::PutStretchOpaque(0, 0, id, 0, 0, 4, 4, 8, 8);
        voDraw::PutWave(0, 0, 3, 1, 10, id, 0, 0, 4, 4, 1);
        voDraw::PutTiled(1, 1, id, 0, 0, 4, 4);
        voDraw::PutWaveScroll(0, 0, 3, 1, 10, 5, id, 0, 0, 4, 4);
        voDraw::PutWaveBand(0, 10, 3, 1, 10, 5, id, 0, 0, 4, 4);
        voDraw::PutRowRepeat(0, 0, 2, id, 0, 0, 4, 4);
        voDraw::SetObjectKeyFromTopLeft(id);
    }
    EXPECT_TRUE(platform::headless::MessageBoxes().empty());
}
