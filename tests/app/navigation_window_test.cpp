#include "app/chart_painter.h"
#include "app/chart_widget.h"
#include "app/form_review.h"
#include "session/viewer.h"
#include "support/fakes.h"
#include <QAccessible>
#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class NavigationWindowTest : public ::testing::Test {
protected:
    FakeSpeech *speech = new FakeSpeech;
    FormReview window{std::unique_ptr<SpeechPort>(speech), std::make_unique<FakeSettings>()};
    QTemporaryDir folder;
    Viewer &v = window.viewer();
    StripChartModel &model = window.viewer().chart;

    void SetUp() override
    {
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        QProcess gen;
        const QString path = folder.filePath(QStringLiteral("two.lmd"));
        gen.start(QStringLiteral(LMDGEN_PATH), {QStringLiteral("--channels"), QStringLiteral("2"), QStringLiteral("--rows"),
                                                QStringLiteral("2000"), path});
        ASSERT_TRUE(gen.waitForFinished(60000));
        window.loadAfterStartUp(path);
        ASSERT_TRUE(v.data.DataReady);
        speech->spoken.clear();
    }

    template <typename T> T *control(const char *name) { return window.findChild<T *>(QLatin1String(name)); }
    QPushButton *button(const char *name) { return control<QPushButton>(name); }
    QString picture(const char *name) { return button(name)->property("picture").toString(); }
    ChartWidget &chart() { return window.chart(); }
    QPoint inPlot(double fx, double fy)
    {
        const QRectF p = chart().plotArea();
        return QPoint(int(p.left() + fx * p.width()), int(p.top() + fy * p.height()));
    }
    void drag(const QPoint &from, const QPoint &to, Qt::KeyboardModifiers mods = {})
    {
        QTest::mousePress(&chart(), Qt::LeftButton, mods, from);
        QTest::mouseMove(&chart(), (from + to) / 2);
        QTest::mouseMove(&chart(), to);
        QTest::mouseRelease(&chart(), Qt::LeftButton, mods, to);
    }
};

} // namespace

TEST_F(NavigationWindowTest, ButtonsAndKeysMoveTheViewAndLightTheirPictures)
{
    for (const char *name : {"cmdLeft", "cmdRight", "cmdUp", "cmdDown", "cmdIncX", "cmdDecX", "cmdIncY", "cmdDecY", "cmdCursor", "cmdZoom"}) {
        EXPECT_TRUE(button(name)->isVisible()) << name;
        EXPECT_FALSE(button(name)->icon().isNull()) << name;
        EXPECT_EQ(picture(name), "plain") << name;
    }
    EXPECT_EQ(button("cmdAutoScale")->toolTip(), "Auto-Scale Disabled - Click to Enable");

    const double w = model.XAxisMax() - model.XAxisMin();
    QTest::mouseClick(button("cmdDecX"), Qt::LeftButton);
    EXPECT_EQ(model.ToolBarMode(), 5);
    EXPECT_NEAR(model.XAxisMax() - model.XAxisMin(), w * 0.875, w * 1e-6);
    EXPECT_EQ(picture("cmdDecX"), "highlighted");
    EXPECT_EQ(speech->spoken.last().left(6), "Width ");

    chart().setFocus();
    const double x0 = model.XAxisMin();
    QTest::keyClick(&chart(), Qt::Key_Right);
    EXPECT_EQ(model.ToolBarMode(), 1);
    EXPECT_GT(model.XAxisMin(), x0);
    EXPECT_EQ(picture("cmdRight"), "highlighted");
    EXPECT_EQ(picture("cmdDecX"), "plain");
    QTest::keyClick(&chart(), Qt::Key_Left);
    EXPECT_DOUBLE_EQ(model.XAxisMin(), x0);

    model.setYAxisMin(0);
    model.setYAxisMax(100);
    QTest::keyClick(&chart(), Qt::Key_Up, Qt::ShiftModifier);
    EXPECT_DOUBLE_EQ(model.YAxisMax(), 112.5);
    EXPECT_EQ(model.ToolBarMode(), 6);
    QTest::keyClick(&chart(), Qt::Key_Down, Qt::AltModifier);
    EXPECT_DOUBLE_EQ(model.YAxisMax(), 112.5 - 112.5 * 0.125);

    // The right button chooses a tool without moving anything.
    const double y1 = model.YAxisMax();
    QTest::mousePress(button("cmdUp"), Qt::RightButton);
    QTest::mouseRelease(button("cmdUp"), Qt::RightButton);
    EXPECT_EQ(model.ToolBarMode(), 2);
    EXPECT_EQ(model.YAxisMax(), y1);
    EXPECT_EQ(picture("cmdDown"), "highlighted");

    // F11 remembers, F12 brings the view back.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F11);
    QTest::mouseClick(button("cmdFullView"), Qt::LeftButton);
    EXPECT_EQ(model.ToolBarMode(), 0);
    EXPECT_EQ(picture("cmdDown"), "plain");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F12);
    EXPECT_EQ(model.YAxisMax(), y1);
    EXPECT_EQ(control<QLabel>("LBLCS")->text(), "XY Coordinates Recalled");

    QTest::mouseClick(button("cmdAutoScrollEnable"), Qt::LeftButton);
    EXPECT_TRUE(model.AutoScrollEnabled);
    EXPECT_EQ(button("cmdAutoScrollEnable")->toolTip(), "Auto-Scroll Enabled - Click to Disable");
    EXPECT_EQ(picture("cmdAutoScrollEnable"), "enabled");
}

TEST_F(NavigationWindowTest, OnOffButtonsTellAScreenReaderWhetherTheyAreOn)
{
    const auto pressed = [this](const char *name) {
        QAccessibleInterface *a = QAccessible::queryAccessibleInterface(button(name));
        EXPECT_TRUE(a->state().checkable) << name;
        return bool(a->state().checked);
    };
    for (const char *name : {"cmdCursor", "cmdZoom", "cmdAutoScale", "cmdAutoScrollEnable", "cmdOffset"})
        EXPECT_FALSE(pressed(name)) << name;
    EXPECT_FALSE(QAccessible::queryAccessibleInterface(button("cmdLeft"))->state().checkable);

    QTest::mouseClick(button("cmdCursor"), Qt::LeftButton);
    EXPECT_TRUE(pressed("cmdCursor"));
    QTest::mouseClick(button("cmdZoom"), Qt::LeftButton);
    EXPECT_FALSE(pressed("cmdCursor"));
    EXPECT_TRUE(pressed("cmdZoom"));
    QTest::mouseClick(button("cmdAutoScale"), Qt::LeftButton);
    QTest::mouseClick(button("cmdAutoScale"), Qt::LeftButton);   // scales again: stays on
    EXPECT_TRUE(pressed("cmdAutoScale"));
    QTest::mouseClick(button("cmdAutoScrollEnable"), Qt::LeftButton);
    EXPECT_TRUE(pressed("cmdAutoScrollEnable"));
    QTest::mouseClick(button("cmdOffset"), Qt::LeftButton);
    EXPECT_TRUE(pressed("cmdOffset"));
    QTest::mouseClick(button("cmdOffset"), Qt::LeftButton);
    EXPECT_FALSE(pressed("cmdOffset"));
}

TEST_F(NavigationWindowTest, CursorModeWalksTheSamplesWithKeysAndPointer)
{
    QTest::keyClick(control<QLineEdit>("txtIn"), Qt::Key_U, Qt::ControlModifier);
    EXPECT_EQ(model.ToolBarMode(), 4);
    EXPECT_EQ(QApplication::focusWidget(), &chart());
    EXPECT_EQ(v.focusName(), "iStripChartX1");
    EXPECT_EQ(picture("cmdCursor"), "highlighted");
    EXPECT_EQ(model.cursorRow(), 0);

    speech->spoken.clear();
    QTest::keyClick(&chart(), Qt::Key_Right);
    QTest::keyClick(&chart(), Qt::Key_Right, Qt::ControlModifier);
    EXPECT_EQ(model.cursorRow(), 11);
    ASSERT_EQ(speech->spoken.size(), 2);
    EXPECT_EQ(speech->spoken.last(), v.navigation.cursorReadoutText());
    EXPECT_EQ(control<QLabel>("LBLLR")->text(), speech->spoken.last());
    EXPECT_EQ(model.ToolBarMode(), 4);

    // A click places the cursor where it points and says the sample once, on release.
    speech->spoken.clear();
    QTest::mouseClick(&chart(), Qt::LeftButton, {}, inPlot(0.5, 0.5));
    EXPECT_NEAR(model.cursorRow(), 1000, 5);
    EXPECT_EQ(speech->spoken, QStringList(v.navigation.cursorReadoutText()));
    drag(inPlot(0.5, 0.5), inPlot(0.75, 0.5));
    EXPECT_NEAR(model.cursorRow(), 1500, 5);

    // The cursor line is drawn in cursor mode.
    const QImage shot = chart().grab().toImage();
    int dark = 0;
    for (int x = inPlot(0.75, 0).x() - 3; x <= inPlot(0.75, 0).x() + 3; ++x) {
        int column = 0;
        for (int y = inPlot(0, 0.1).y(); y < inPlot(0, 0.9).y(); ++y)
            column += qGray(shot.pixel(x, y)) < 60;
        dark = std::max(dark, column);
    }
    EXPECT_GT(dark, 20);
}

TEST_F(NavigationWindowTest, PointerDragsScrollResizeAndZoom)
{
    const double x0 = model.XAxisMin(), x1 = model.XAxisMax();
    QTest::mouseClick(button("cmdDecX"), Qt::LeftButton);
    QTest::mouseClick(button("cmdDecX"), Qt::LeftButton);
    const double w = model.XAxisMax() - model.XAxisMin();

    // Mode 1: dragging left moves forward in time, keeping the width; one report at release.
    v.navigation.selectTool(1);
    speech->spoken.clear();
    drag(inPlot(0.6, 0.5), inPlot(0.3, 0.5));
    EXPECT_GT(model.XAxisMin(), x0);
    EXPECT_NEAR(model.XAxisMax() - model.XAxisMin(), w, w * 1e-6);
    EXPECT_EQ(speech->spoken.size(), 3);
    EXPECT_EQ(speech->spoken.last().left(6), "Width ");

    // Mode 2 moves the values, mode 5 the width, mode 6 the height.
    const double y0 = model.YAxisMin(), y1 = model.YAxisMax();
    v.navigation.selectTool(2);
    drag(inPlot(0.5, 0.3), inPlot(0.5, 0.6));
    EXPECT_GT(model.YAxisMin(), y0);
    EXPECT_NEAR(model.YAxisMax() - model.YAxisMin(), y1 - y0, (y1 - y0) * 1e-6);
    v.navigation.selectTool(5);
    drag(inPlot(0.3, 0.5), inPlot(0.8, 0.5));
    EXPECT_LT(model.XAxisMax() - model.XAxisMin(), w);
    v.navigation.selectTool(6);
    const double h = model.YAxisMax() - model.YAxisMin();
    drag(inPlot(0.5, 0.5), inPlot(0.5, 0.2));
    EXPECT_LT(model.YAxisMax() - model.YAxisMin(), h);

    // Mode 8: the box becomes the view.
    QTest::mouseClick(button("cmdFullView"), Qt::LeftButton);
    QTest::mouseClick(button("cmdZoom"), Qt::LeftButton);
    EXPECT_EQ(model.ToolBarMode(), 8);
    QTest::mousePress(&chart(), Qt::LeftButton, {}, inPlot(0.25, 0.2));
    QTest::mouseMove(&chart(), inPlot(0.4, 0.5));
    QTest::mouseMove(&chart(), inPlot(0.5, 0.8));
    EXPECT_FALSE(chart().zoomBand().isEmpty());
    QTest::mouseRelease(&chart(), Qt::LeftButton, {}, inPlot(0.5, 0.8));
    EXPECT_TRUE(chart().zoomBand().isEmpty());
    const double span = x1 - x0;
    EXPECT_NEAR(model.XAxisMin(), x0 + 0.25 * span, span * 0.01);
    EXPECT_NEAR(model.XAxisMax(), x0 + 0.5 * span, span * 0.01);

    // The wheel scrolls in time; with Ctrl it changes the width.
    const double before = model.XAxisMin();
    QWheelEvent down(inPlot(0.5, 0.5), chart().mapToGlobal(inPlot(0.5, 0.5)), {}, QPoint(0, -120), Qt::NoButton, {},
                     Qt::NoScrollPhase, false);
    QApplication::sendEvent(&chart(), &down);
    EXPECT_GT(model.XAxisMin(), before);
}

TEST_F(NavigationWindowTest, OffsetPanelAndChannelMenu)
{
    EXPECT_FALSE(control<QWidget>("Frame1")->isVisible());
    QTest::mouseClick(button("cmdOffset"), Qt::LeftButton);
    ASSERT_TRUE(control<QWidget>("Frame1")->isVisible());
    EXPECT_EQ(picture("cmdOffset"), "open");
    EXPECT_TRUE(button("cmdChUp")->isVisible());
    QTest::mouseClick(button("cmdChUp"), Qt::LeftButton);
    EXPECT_EQ(control<QLineEdit>("txtChannel")->text(), "2");
    QTest::mouseClick(button("cmdOffSetUp"), Qt::LeftButton);
    EXPECT_EQ(QApplication::focusWidget(), control<QLineEdit>("TxtOffset"));
    EXPECT_EQ(speech->spoken.last(), "Offset channel 2 offset 10");
    QLineEdit *offset = control<QLineEdit>("TxtOffset");
    offset->clear();
    QTest::keyClicks(offset, QStringLiteral("7.5"));
    QTest::keyClick(offset, Qt::Key_Return);
    EXPECT_EQ(v.data.ChannelOffsets[1], "7.5");
    QTest::mouseClick(button("cmdOffset"), Qt::LeftButton);
    EXPECT_FALSE(control<QWidget>("Frame1")->isVisible());

    // The channel menu: both ticks until the pop-up menu opens again.
    v.actions.run(QStringLiteral("mnuCH2"));
    EXPECT_EQ(model.CursorChannel(), 1);
    EXPECT_TRUE(control<QAction>("mnuCH2")->isChecked());
    EXPECT_TRUE(control<QAction>("mnuCH1")->isChecked());
    QMenu *popUp = window.findChild<QMenu *>(QStringLiteral("mnuPopUpChart"));
    emit popUp->aboutToShow();
    EXPECT_FALSE(control<QAction>("mnuCH1")->isChecked());
    EXPECT_TRUE(control<QAction>("mnuCH2")->isChecked());
}

TEST_F(NavigationWindowTest, CaretKeysEditACommandBoxThatHoldsTextAndMoveTheViewOnlyWhenItIsEmpty)
{
    v.actions.run(QStringLiteral("cmdDecX"));   // the full view has nowhere to scroll to
    QLineEdit *box = control<QLineEdit>("txtIn");
    box->setFocus();
    QTest::keyClicks(box, QStringLiteral("LOAD"));
    const double x0 = model.XAxisMin();
    const int mode = model.ToolBarMode();
    speech->spoken.clear();

    const auto press = [box](Qt::Key key, Qt::KeyboardModifiers mods = {}) {
        QTest::keyClick(box, key, mods);
        return box->cursorPosition();
    };
    EXPECT_EQ(press(Qt::Key_Left), 3);
    EXPECT_EQ(press(Qt::Key_Left), 2);
    EXPECT_EQ(press(Qt::Key_Right), 3);
    EXPECT_EQ(press(Qt::Key_Home), 0);
    press(Qt::Key_Delete);
    EXPECT_EQ(press(Qt::Key_End), 3);
    press(Qt::Key_Right, Qt::ControlModifier);
    press(Qt::Key_Left, Qt::ShiftModifier);
    press(Qt::Key_Backspace);
    EXPECT_EQ(box->text(), QStringLiteral("OA"));
    EXPECT_DOUBLE_EQ(model.XAxisMin(), x0) << "a caret key moved the view";
    EXPECT_EQ(model.ToolBarMode(), mode);
    EXPECT_TRUE(speech->spoken.isEmpty()) << speech->spoken.join(u'|').toStdString();

    // Emptied, the box leaves the arrows to the window again.
    press(Qt::Key_Backspace);
    press(Qt::Key_Backspace);
    ASSERT_TRUE(box->text().isEmpty());
    press(Qt::Key_Right);
    EXPECT_GT(model.XAxisMin(), x0);
    EXPECT_EQ(model.ToolBarMode(), 1);
    EXPECT_EQ(speech->spoken.value(0).left(18), QStringLiteral("Chart View Starts "));

    // Text in the box does not hold back the arrows of another control.
    box->setText(QStringLiteral("LIMITS"));
    chart().setFocus();
    const double x1 = model.XAxisMin();
    QTest::keyClick(&chart(), Qt::Key_Left);
    EXPECT_LT(model.XAxisMin(), x1);
}

TEST_F(NavigationWindowTest, EnterPressesTheFocusedButtonAndScreenReadersCanPressEveryButton)
{
    model.setXAxisMax(model.GetTime(400));   // room to scroll to the right
    QPushButton *right = button("cmdRight");
    right->setFocus();
    double x = model.XAxisMin();
    for (Qt::Key enter : {Qt::Key_Return, Qt::Key_Enter}) {
        QTest::keyClick(right, enter);
        EXPECT_GT(model.XAxisMin(), x) << "Enter did not press the button";
        x = model.XAxisMin();
    }
    EXPECT_EQ(QApplication::focusWidget(), right);
    EXPECT_EQ(speech->spoken.last().left(6), QStringLiteral("Width "));
    // Space keeps the window's own meaning: to the command box, the button untouched.
    QTest::keyClick(right, Qt::Key_Space);
    EXPECT_EQ(QApplication::focusWidget(), control<QLineEdit>("txtIn"));
    EXPECT_DOUBLE_EQ(model.XAxisMin(), x);
    button("cmdCursor")->setFocus();
    QTest::keyClick(button("cmdCursor"), Qt::Key_Return);
    EXPECT_EQ(model.ToolBarMode(), 4);

    // The screen reader's own press, on plain and on-off buttons alike.
    for (QPushButton *b : window.findChildren<QPushButton *>()) {
        QAccessibleActionInterface *actions = QAccessible::queryAccessibleInterface(b)->actionInterface();
        ASSERT_TRUE(actions) << b->objectName().toStdString();
        EXPECT_TRUE(actions->actionNames().contains(QAccessibleActionInterface::pressAction())) << b->objectName().toStdString();
    }
    const auto pressByScreenReader = [](QPushButton *b) {
        QAccessible::queryAccessibleInterface(b)->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    };
    pressByScreenReader(button("cmdCursor"));
    QTRY_COMPARE(model.ToolBarMode(), 0);
    EXPECT_FALSE(button("cmdCursor")->isChecked());
    const double w = model.XAxisMax() - model.XAxisMin();
    pressByScreenReader(button("cmdIncX"));
    QTRY_VERIFY(model.XAxisMax() - model.XAxisMin() > w);
    EXPECT_EQ(model.ToolBarMode(), 5);
}

TEST_F(NavigationWindowTest, BrailleLineComesAfterTheChartAndItsCaretMovesTheCursor)
{
    auto *line = control<QLineEdit>("BrailleView");
    EXPECT_TRUE(line->isVisible());
    EXPECT_EQ(chart().nextInFocusChain(), line);
    QAccessibleInterface *a11y = QAccessible::queryAccessibleInterface(line);
    EXPECT_EQ(a11y->text(QAccessible::Name), "Braille view");
    int start = 0, end = 0;
    EXPECT_EQ(a11y->textInterface()->textAtOffset(0, QAccessible::WordBoundary, &start, &end), line->text());
    a11y->textInterface()->setCursorPosition(5);   // a routing key
    EXPECT_EQ(model.cursorRow(), 274);   // the middle of rows 250 to 299
    EXPECT_EQ(speech->spoken.last(), v.navigation.cursorReadoutText());
}
