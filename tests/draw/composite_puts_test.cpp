// Composite puts: which source row lands where, and how phase and scroll move on the
// virtual clock from call to call.
#include "tests/draw/draw_support.h"

using draw_testing::BackPixel;
using draw_testing::kBackground;
using draw_testing::Marked;
using draw_testing::PassTime;

namespace
{

class CompositePuts : public draw_testing::SpriteTest
{
  protected:
    // The x at which back-buffer row y shows the first pixel of source row `row`; -1000 when
    // it is not on the row.
    int RowStart(int y, int row)
    {
        for (int x = 0; x < 640; ++x)
        {
            if (BackPixel(x, y) == Marked(0, row))
            {
                return x;
            }
        }
        return -1000;
    }
};

} // namespace

TEST_F(CompositePuts, WaveShiftsEachRowByTheCosineOfItsAngle)
{
    PassTime(1000);
    voDraw::PutWave(200, 100, 100, 0, 90, sprite, 0, 0, 32, 32, 0);
    EXPECT_EQ(RowStart(100, 0), 300);       // cos 0 = 1
    EXPECT_EQ(RowStart(110, 10), 200 + 98); // cos 10 degrees = 0.9848
    EXPECT_EQ(RowStart(120, 20), 200 + 93); // cos 20 degrees = 0.9397
    EXPECT_EQ(BackPixel(200 + 98 + 31, 110), Marked(31, 10));
    EXPECT_EQ(BackPixel(200 + 98 + 32, 110), kBackground);
    EXPECT_EQ(BackPixel(300, 132), kBackground);

    // One second at 90 degrees a second has moved every row a quarter turn on.
    ClearBack();
    voDraw::PutWave(200, 100, 100, 0, 90, sprite, 0, 0, 32, 32, 0);
    EXPECT_EQ(RowStart(100, 0), 200);       // cos 90 degrees is a hair above 0
    EXPECT_EQ(RowStart(110, 10), 200 - 17); // cos 100 degrees = -0.1736
    EXPECT_EQ(RowStart(120, 20), 200 - 34); // cos 110 degrees = -0.3420
}

TEST_F(CompositePuts, WaveDivisorSlowsTheAngleAndPhaseWrapsAt360)
{
    // Rows 20 to 39 with divisor 2 take angles 10 to 19 degrees; rows start at y.
    PassTime(1000);
    voDraw::PutWave(200, 100, 100, 2, 300, sprite, 0, 20, 32, 40, 0);
    EXPECT_EQ(RowStart(100, 20), 200 + 98);
    EXPECT_EQ(RowStart(101, 21), 200 + 98);
    voDraw::PutWave(200, 100, 100, 2, 300, sprite, 0, 20, 32, 40, 0);
    ClearBack();
    // 600 degrees came back to 240: row 20 is at 250 degrees.
    voDraw::PutWave(200, 100, 100, 2, 300, sprite, 0, 20, 32, 40, 0);
    EXPECT_EQ(RowStart(100, 20), 200 - 34);
}

TEST_F(CompositePuts, AlternateFlipsTheSignEveryRowAcrossCalls)
{
    frameSeconds = 0;
    voDraw::PutWave(200, 100, 100, 0, 0, sprite, 0, 10, 32, 13, 1);
    EXPECT_EQ(RowStart(100, 10), 200 + 98);
    EXPECT_EQ(RowStart(101, 11), 200 - 98);
    EXPECT_EQ(RowStart(102, 12), 200 + 97);
    ClearBack();
    voDraw::PutWave(200, 100, 100, 0, 0, sprite, 0, 10, 32, 13, 1);
    EXPECT_EQ(RowStart(100, 10), 200 - 98);
    EXPECT_EQ(RowStart(101, 11), 200 + 98);
}

TEST_F(CompositePuts, TiledCoversTheScreenAndDrifts)
{
    PassTime(1000);
    voDraw::PutTiled(-10, -5, sprite, 0, 0, 32, 32);
    EXPECT_EQ(BackPixel(33, 65), Marked(1, 1));
    EXPECT_EQ(BackPixel(639, 479), Marked(31, 31));
    ClearBack();
    voDraw::PutTiled(-10, -5, sprite, 0, 0, 32, 32);
    EXPECT_EQ(BackPixel(0, 0), Marked(10, 5));
    EXPECT_EQ(BackPixel(639, 479), Marked((639 + 10) % 32, (479 + 5) % 32));
    // That call moved the drift on to (-20, -10). Drifting the other way past 0 wraps by
    // one tile: -20 + 3 s * 10 = 10 becomes -22.
    PassTime(3000);
    voDraw::PutTiled(10, 0, sprite, 0, 0, 32, 32);
    ClearBack();
    voDraw::PutTiled(10, 0, sprite, 0, 0, 32, 32);
    EXPECT_EQ(BackPixel(0, 0), Marked(22, 10));
}

TEST_F(CompositePuts, WaveScrollDrawsRowsAtTheirOwnHeightAndWrapsTheSource)
{
    // No wave: only the scroll moves. Rows 4..35 are drawn at y + row.
    PassTime(1000);
    voDraw::PutWaveScroll(100, 50, 0, 0, 0, 5, sprite, 0, 4, 32, 36);
    EXPECT_EQ(BackPixel(100, 54), Marked(0, 4));
    EXPECT_EQ(BackPixel(100, 85), Marked(0, 35));
    EXPECT_EQ(BackPixel(100, 53), kBackground);
    // One second at 5 rows a second: the scroll fell below 0 and wrapped to 27.
    ClearBack();
    voDraw::PutWaveScroll(100, 50, 0, 0, 0, 5, sprite, 0, 4, 32, 36);
    EXPECT_EQ(BackPixel(100, 54), Marked(0, 31)); // 4 + 27
    EXPECT_EQ(BackPixel(100, 58), Marked(0, 35)); // 8 + 27
    EXPECT_EQ(BackPixel(100, 59), Marked(0, 5));  // 36 wraps to top + 0 + 1
    EXPECT_EQ(BackPixel(100, 85), Marked(0, 31));
}

TEST_F(CompositePuts, WaveBandFillsItsRowsAcrossTheScreen)
{
    voDraw::PutWaveBand(100, 110, 10, 0, 0, 0, sprite, 0, 0, 32, 8);
    // Row k shows source row k mod 8, shifted by trunc(cos k * 10) - 10.
    EXPECT_EQ(BackPixel(0, 100), Marked(0, 0));
    EXPECT_EQ(BackPixel(32, 100), Marked(0, 0));
    EXPECT_EQ(BackPixel(0, 101), Marked(1, 1)); // cos 1 degree * 10 = 9.998: one left
    EXPECT_EQ(BackPixel(0, 108), Marked(1, 0));
    EXPECT_EQ(BackPixel(639, 109), Marked((639 + 1) % 32, 1));
    EXPECT_EQ(BackPixel(0, 99), kBackground);
    EXPECT_EQ(BackPixel(0, 110), kBackground);
    // The scroll moves the source rows and stays within the band's height.
    PassTime(1000);
    ClearBack();
    voDraw::PutWaveBand(100, 110, 0, 0, 0, 3, sprite, 0, 0, 32, 8);
    PassTime(1000);
    ClearBack();
    voDraw::PutWaveBand(100, 110, 0, 0, 0, 3, sprite, 0, 0, 32, 8);
    EXPECT_EQ(BackPixel(0, 100), Marked(0, 5)); // scroll -3 wrapped to 5
    EXPECT_EQ(BackPixel(0, 103), Marked(0, 0)); // 3 + 5 = 8 wraps to 0
}

TEST_F(CompositePuts, RowRepeatDrawsEveryStepthRowStepTimes)
{
    voDraw::PutRowRepeat(10, 20, 3, sprite, 0, 0, 32, 8);
    const int expectedRow[] = {0, 0, 0, 3, 3, 3, 6, 6, 6};
    for (int k = 0; k < 9; ++k)
    {
        EXPECT_EQ(BackPixel(12, 20 + k), Marked(2, expectedRow[k])) << k;
    }
    // The last group is drawn whole past the rectangle's height, then nothing.
    EXPECT_EQ(BackPixel(12, 29), kBackground);
    EXPECT_EQ(BackPixel(9, 20), kBackground);
}

TEST_F(CompositePuts, DegenerateArgumentsDrawNothingAndReturn)
{
    voDraw::PutRowRepeat(10, 20, 0, sprite, 0, 0, 32, 8);
    voDraw::PutRowRepeat(10, 20, -3, sprite, 0, 0, 32, 8);
    voDraw::PutRowRepeat(10, 20, 1 << 30, sprite, 0, 0, 32, 8);
    voDraw::PutTiled(1, 1, sprite, 5, 5, 5, 10);
    voDraw::PutWaveBand(0, 10, 3, 0, 0, 0, sprite, 0, 0, 32, 0);
    voDraw::PutWave(0, 0, 3, 0, 0, sprite, 0, 10, 32, 5, 0);
    EXPECT_EQ(BackPixel(10, 20), Marked(0, 0)); // the huge step's first rows only
    EXPECT_EQ(BackPixel(0, 0), kBackground);
}
