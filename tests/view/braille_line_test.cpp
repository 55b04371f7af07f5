#include "session/state_line.h"
#include "view/braille_cells.h"
#include "view/minmax_pyramid.h"
#include "voice/command_fixture.h"
#include <cmath>

using BrailleCells::Layout;

TEST(BrailleCells, RampConstantAndStepAsDotHeightsAndCellsMapToRowsBothWays)
{
    double ramp[16], flat[16], step[8] = {0, 0, 0, 0, 10, 10, 10, 10};
    for (int i = 0; i < 16; ++i)
        ramp[i] = i, flat[i] = 2.5;
    EXPECT_EQ(BrailleCells::line(ramp, Layout(0, 16, 4)), QString::fromUtf8("⣀⠤⠒⠉"));
    EXPECT_EQ(BrailleCells::line(flat, Layout(0, 16, 4)), QString::fromUtf8("⣀⣀⣀⣀"));
    EXPECT_EQ(BrailleCells::line(step, Layout(0, 8, 2)), QString::fromUtf8("⣀⠉"));
    // Fewer rows than stretches: one row each, the odd one alone in its cell; no value, no dot.
    step[2] = NAN;
    EXPECT_EQ(BrailleCells::line(step, Layout(2, 3, 40)), QString::fromUtf8("⢀⠁"));
    EXPECT_EQ(BrailleCells::line(step, Layout(0, 0, 40)), QString());

    std::vector<double> wave(20000);
    for (size_t i = 0; i < wave.size(); ++i)
        wave[i] = std::sin(i / 900.0) + (i % 997 == 0 ? 3 : 0);
    MinMaxPyramid summary;
    summary.build(wave.data(), wave.size());
    const Layout wide(123, 19000, 40);
    EXPECT_EQ(BrailleCells::line(wave.data(), wide, &summary), BrailleCells::line(wave.data(), wide));

    // Caret and cursor map both ways.
    const Layout l(100, 10, 2);   // stretches of rows 100-101, 102-104, 105-106, 107-109
    EXPECT_EQ(l.cellOfRow(104), 0);
    EXPECT_EQ(l.cellOfRow(105), 1);
    EXPECT_EQ(l.middleRowOfCell(0), 102);
    EXPECT_EQ(l.middleRowOfCell(1), 107);
    EXPECT_EQ(l.cellOfRow(5), 0);
    EXPECT_EQ(l.cellOfRow(500), 1);
    const Layout big(7, 1000003, 40);
    for (int c = 0; c < 40; ++c)
        EXPECT_EQ(big.cellOfRow(big.middleRowOfCell(c)), c);
}

TEST_F(CommandFixture, BrailleLineFollowsTheCursorAndItsCaretMovesTheCursor)
{
    EXPECT_EQ(enter("BRAILLE").last(), "No file loaded.");
    EXPECT_FALSE(surface.isVisible("BrailleView"));
    load(generate("b.lmd", {"--rows", "400"}));
    const QString line = viewer.braille.text();
    EXPECT_TRUE(surface.isVisible("BrailleView"));
    EXPECT_EQ(line.size(), 40);

    EXPECT_EQ(enter("BRAILLE").last(), line);
    EXPECT_TRUE(stateLine(viewer).contains(" focus=BrailleView "));
    const double left = viewer.chart.XAxisMin();
    viewer.keyPress("End");
    viewer.keyPress("Left");
    EXPECT_EQ(viewer.chart.cursorRow(), 384);   // the middle of rows 380 to 389
    EXPECT_EQ(surface.carets.value("BrailleView"), 38);
    EXPECT_EQ(speech.spoken.last(), viewer.navigation.cursorReadoutText());
    EXPECT_EQ(viewer.chart.XAxisMin(), left);

    viewer.chart.setCursorRow(25);
    EXPECT_EQ(surface.carets.value("BrailleView"), 2);
    viewer.braille.caretMoved(40);   // a routing key past the last cell
    EXPECT_EQ(viewer.chart.cursorRow(), 394);
}
