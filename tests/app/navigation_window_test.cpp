#include "app/chart_widget.h"
#include "app/form_review.h"
#include "session/viewer.h"
#include "support/fakes.h"
#include "support/files.h"
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

// The navigation rules are checked on the core; here, that the window's buttons, keys and
// pointer reach them and show what they did.
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
        window.loadAfterStartUp(generateData(folder, QStringLiteral("two.lmd"), {"--channels", "2", "--rows", "2000"}));
        ASSERT_TRUE(v.data.DataReady);
        speech->spoken.clear();
    }

    template <typename T = QPushButton> T *control(const char *name) { return window.findChild<T *>(QLatin1String(name)); }
    void click(const char *name) { QTest::mouseClick(control(name), Qt::LeftButton); }
    QString picture(const char *name) { return control(name)->property("picture").toString(); }
    bool pressed(const char *name) { return QAccessible::queryAccessibleInterface(control(name))->state().checked; }
    ChartWidget &chart() { return window.chart(); }
    double width() { return model.XAxisMax() - model.XAxisMin(); }
    QPoint inPlot(double fx, double fy)
    {
        const QRectF p = chart().plotArea();
        return QPoint(int(p.left() + fx * p.width()), int(p.top() + fy * p.height()));
    }
    void drag(const QPoint &from, const QPoint &to)
    {
        QTest::mousePress(&chart(), Qt::LeftButton, {}, from);
        QTest::mouseMove(&chart(), (from + to) / 2);
        QTest::mouseMove(&chart(), to);
        QTest::mouseRelease(&chart(), Qt::LeftButton, {}, to);
    }
};

} // namespace

TEST_F(NavigationWindowTest, ButtonsKeysAndTheRightButtonMoveTheViewLightTheirPicturesAndTellTheirState)
{
    for (const char *name : {"cmdLeft", "cmdRight", "cmdUp", "cmdDown", "cmdIncX", "cmdDecX", "cmdIncY", "cmdDecY", "cmdCursor", "cmdZoom"})
        EXPECT_TRUE(control(name)->isVisible() && !control(name)->icon().isNull() && picture(name) == "plain") << name;
    // On-off buttons tell a screen reader whether they are on.
    for (const char *name : {"cmdCursor", "cmdZoom", "cmdAutoScale", "cmdAutoScrollEnable", "cmdOffset"})
        EXPECT_TRUE(QAccessible::queryAccessibleInterface(control(name))->state().checkable && !pressed(name)) << name;
    EXPECT_FALSE(QAccessible::queryAccessibleInterface(control("cmdLeft"))->state().checkable);
    const double w = width();
    click("cmdDecX");
    EXPECT_NEAR(width(), w * 0.875, w * 1e-6);
    EXPECT_EQ(picture("cmdDecX"), "highlighted");

    chart().setFocus();
    const double x0 = model.XAxisMin();
    QTest::keyClick(&chart(), Qt::Key_Right);
    EXPECT_GT(model.XAxisMin(), x0);
    EXPECT_EQ(picture("cmdRight"), "highlighted");

    // The right button chooses a tool without moving anything.
    const double top = model.YAxisMax();
    QTest::mousePress(control("cmdUp"), Qt::RightButton);
    QTest::mouseRelease(control("cmdUp"), Qt::RightButton);
    EXPECT_EQ(model.ToolBarMode(), 2);
    EXPECT_EQ(model.YAxisMax(), top);
    EXPECT_EQ(picture("cmdDown"), "highlighted");

    click("cmdAutoScrollEnable");
    EXPECT_EQ(control("cmdAutoScrollEnable")->toolTip(), "Auto-Scroll Enabled - Click to Disable");
    click("cmdCursor");
    EXPECT_TRUE(pressed("cmdCursor"));
    click("cmdZoom");
    EXPECT_FALSE(pressed("cmdCursor"));
    EXPECT_TRUE(pressed("cmdZoom"));
    click("cmdOffset");
    EXPECT_TRUE(pressed("cmdOffset"));
    click("cmdOffset");
    EXPECT_FALSE(pressed("cmdOffset"));
}

TEST_F(NavigationWindowTest, CursorModeWalksTheSamplesWithKeysAndPointer)
{
    QTest::keyClick(control<QLineEdit>("txtIn"), Qt::Key_U, Qt::ControlModifier);
    EXPECT_EQ(QApplication::focusWidget(), &chart());
    EXPECT_EQ(model.cursorRow(), 0);
    speech->spoken.clear();
    QTest::keyClick(&chart(), Qt::Key_Right);
    QTest::keyClick(&chart(), Qt::Key_Right, Qt::ControlModifier);
    EXPECT_EQ(model.cursorRow(), 11);
    ASSERT_EQ(speech->spoken.size(), 2);
    EXPECT_EQ(control<QLabel>("LBLLR")->text(), speech->spoken.last());

    // A click places the cursor where it points and says the sample once, on release.
    speech->spoken.clear();
    QTest::mouseClick(&chart(), Qt::LeftButton, {}, inPlot(0.5, 0.5));
    EXPECT_NEAR(model.cursorRow(), 1000, 5);
    EXPECT_EQ(speech->spoken, QStringList(v.navigation.cursorReadoutText()));
    drag(inPlot(0.5, 0.5), inPlot(0.75, 0.5));
    EXPECT_NEAR(model.cursorRow(), 1500, 5);
}

TEST_F(NavigationWindowTest, PointerDragsScrollResizeAndZoom)
{
    const double x0 = model.XAxisMin(), span = width();
    click("cmdDecX");
    const double w = width();
    // Mode 1: dragging left moves forward in time, keeping the width; one report at release.
    v.navigation.selectTool(1);
    speech->spoken.clear();
    drag(inPlot(0.6, 0.5), inPlot(0.3, 0.5));
    EXPECT_GT(model.XAxisMin(), x0);
    EXPECT_NEAR(width(), w, w * 1e-6);
    EXPECT_EQ(speech->spoken.size(), 3);
    // Mode 2 moves the values, mode 5 the width, mode 6 the height.
    const double y0 = model.YAxisMin(), h = model.YAxisMax() - y0;
    v.navigation.selectTool(2);
    drag(inPlot(0.5, 0.3), inPlot(0.5, 0.6));
    EXPECT_GT(model.YAxisMin(), y0);
    EXPECT_NEAR(model.YAxisMax() - model.YAxisMin(), h, h * 1e-6);
    v.navigation.selectTool(5);
    drag(inPlot(0.3, 0.5), inPlot(0.8, 0.5));
    EXPECT_LT(width(), w);
    v.navigation.selectTool(6);
    drag(inPlot(0.5, 0.5), inPlot(0.5, 0.2));
    EXPECT_LT(model.YAxisMax() - model.YAxisMin(), h);

    // Mode 8: the box becomes the view.
    click("cmdFullView");
    click("cmdZoom");
    QTest::mousePress(&chart(), Qt::LeftButton, {}, inPlot(0.25, 0.2));
    QTest::mouseMove(&chart(), inPlot(0.4, 0.5));
    QTest::mouseMove(&chart(), inPlot(0.5, 0.8));
    EXPECT_FALSE(chart().zoomBand().isEmpty());
    QTest::mouseRelease(&chart(), Qt::LeftButton, {}, inPlot(0.5, 0.8));
    EXPECT_TRUE(chart().zoomBand().isEmpty());
    EXPECT_NEAR(model.XAxisMin(), x0 + 0.25 * span, span * 0.01);
    EXPECT_NEAR(model.XAxisMax(), x0 + 0.5 * span, span * 0.01);

    // The wheel scrolls in time.
    const double before = model.XAxisMin();
    QWheelEvent down(inPlot(0.5, 0.5), chart().mapToGlobal(inPlot(0.5, 0.5)), {}, QPoint(0, -120), Qt::NoButton, {}, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&chart(), &down);
    EXPECT_GT(model.XAxisMin(), before);
}

TEST_F(NavigationWindowTest, OffsetPanelAndChannelMenu)
{
    click("cmdOffset");
    ASSERT_TRUE(control<QWidget>("Frame1")->isVisible());
    EXPECT_EQ(picture("cmdOffset"), "open");
    click("cmdChUp");
    EXPECT_EQ(control<QLineEdit>("txtChannel")->text(), "2");
    click("cmdOffSetUp");
    QLineEdit *offset = control<QLineEdit>("TxtOffset");
    EXPECT_EQ(QApplication::focusWidget(), offset);
    offset->clear();
    QTest::keyClicks(offset, QStringLiteral("7.5"));
    QTest::keyClick(offset, Qt::Key_Return);
    EXPECT_EQ(v.data.ChannelOffsets[1], "7.5");
    click("cmdOffset");
    EXPECT_FALSE(control<QWidget>("Frame1")->isVisible());

    // The channel menu: both ticks until the pop-up menu opens again.
    v.actions.run(QStringLiteral("mnuCH2"));
    EXPECT_TRUE(control<QAction>("mnuCH2")->isChecked() && control<QAction>("mnuCH1")->isChecked());
    emit control<QMenu>("mnuPopUpChart")->aboutToShow();
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
    for (Qt::Key key : {Qt::Key_Left, Qt::Key_Home, Qt::Key_Delete, Qt::Key_End, Qt::Key_Backspace})
        QTest::keyClick(box, key);
    EXPECT_EQ(box->text(), QStringLiteral("OA"));
    EXPECT_DOUBLE_EQ(model.XAxisMin(), x0) << "a caret key moved the view";
    EXPECT_EQ(model.ToolBarMode(), mode);
    EXPECT_TRUE(speech->spoken.isEmpty()) << speech->spoken.join(u'|').toStdString();

    // Emptied, the box leaves the arrows to the window again.
    box->clear();
    QTest::keyClick(box, Qt::Key_Right);
    EXPECT_GT(model.XAxisMin(), x0);
    EXPECT_EQ(model.ToolBarMode(), 1);
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
    QPushButton *right = control("cmdRight");
    right->setFocus();
    double x = model.XAxisMin();
    for (Qt::Key enter : {Qt::Key_Return, Qt::Key_Enter}) {
        QTest::keyClick(right, enter);
        EXPECT_GT(model.XAxisMin(), x) << "Enter did not press the button";
        x = model.XAxisMin();
    }
    EXPECT_EQ(QApplication::focusWidget(), right);
    // Space keeps the window's own meaning: to the command box, the button untouched.
    QTest::keyClick(right, Qt::Key_Space);
    EXPECT_EQ(QApplication::focusWidget(), control<QLineEdit>("txtIn"));
    EXPECT_DOUBLE_EQ(model.XAxisMin(), x);

    // The screen reader's own press, on plain and on-off buttons alike.
    for (QPushButton *b : window.findChildren<QPushButton *>()) {
        QAccessibleActionInterface *actions = QAccessible::queryAccessibleInterface(b)->actionInterface();
        EXPECT_TRUE(actions && actions->actionNames().contains(QAccessibleActionInterface::pressAction())) << b->objectName().toStdString();
    }
    const auto press = [this](const char *name) {
        QAccessible::queryAccessibleInterface(control(name))->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    };
    press("cmdCursor");
    QTRY_COMPARE(model.ToolBarMode(), 4);
    const double w = width();
    press("cmdIncX");
    QTRY_VERIFY(width() > w);
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
