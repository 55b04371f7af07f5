#include "app/chart_painter.h"
#include "app/chart_widget.h"
#include "app/form_review.h"
#include "app/key_names.h"
#include "app/qt_speech.h"
#include "app/screen_reader_status.h"
#include "app/widget_surface.h"
#include "archive/archive_support.h"
#include "session/startup_log.h"
#include "session/viewer.h"
#include "settings/qsettings_store.h"
#include "support/fakes.h"
#include "support/files.h"
#include "support/http_test_server.h"
#include <QAccessible>
#include <QAction>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// The window on a settings file of its own, opened again as often as a test needs.
class WindowTest : public ::testing::Test {
protected:
    QTemporaryDir folder;
    QString iniPath = folder.filePath(QStringLiteral("viewer.ini"));
    FakeSpeech *speech = nullptr;
    std::unique_ptr<FormReview> window;

    WindowTest() { open(); }
    void open()
    {
        window.reset();
        speech = new FakeSpeech;
        window = std::make_unique<FormReview>(std::unique_ptr<SpeechPort>(speech), std::make_unique<QSettingsStore>(iniPath));
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }
    QString generate(const QString &name, const QStringList &args) { return generateData(folder, name, args); }
    template <typename T = QAction> T *control(const char *name) { return window->findChild<T *>(QLatin1String(name)); }
    QLineEdit *txtIn() { return control<QLineEdit>("txtIn"); }
    Viewer &viewer() { return window->viewer(); }
};

// Every control a screen reader can reach says what it is.
void expectNamed(QAccessibleInterface *node, int depth, int &interactive)
{
    if (!node || depth > 30 || node->state().invisible)
        return;
    static const QList<QAccessible::Role> interactiveRoles = {
        QAccessible::PushButton, QAccessible::EditableText, QAccessible::List, QAccessible::MenuItem, QAccessible::CheckBox,
        QAccessible::RadioButton, QAccessible::ComboBox, QAccessible::Chart, QAccessible::ButtonMenu, QAccessible::ListItem};
    if (interactiveRoles.contains(node->role()) || node->state().focusable) {
        ++interactive;
        EXPECT_FALSE(node->text(QAccessible::Name).trimmed().isEmpty())
            << "role " << node->role() << " " << (node->object() ? node->object()->objectName().toStdString() : std::string("?"));
    }
    // Every button can be pressed by the screen reader.
    if (node->role() == QAccessible::PushButton)
        EXPECT_TRUE(node->actionInterface() && node->actionInterface()->actionNames().contains(QAccessibleActionInterface::pressAction()));
    for (int i = 0; i < node->childCount(); ++i)
        expectNamed(node->child(i), depth + 1, interactive);
}

TEST_F(WindowTest, StartsReadyForTypingWithTheMenusOfAnEmptyWindowAndEveryItemNamed)
{
    EXPECT_EQ(QApplication::focusWidget(), txtIn());
    EXPECT_FALSE(control<QMenu>("mnuInfo")->menuAction()->isEnabled());
    for (const char *off : {"mnuDataFileInfo", "mnuSave", "mnuScan", "mnuCursor", "mnuClipSpikes", "mnuExportToTabDelimitedFile"})
        EXPECT_FALSE(control(off)->isEnabled()) << off;
    EXPECT_TRUE(control("MnuLoadDataFile")->isEnabled());
    EXPECT_TRUE(control<QPushButton>("cmdSaveView")->isHidden());
    EXPECT_FALSE(control<QWidget>("List1")->isVisible());
    // Every menu item runs by a name of its own.
    QStringList names;
    for (QAction *a : window->findChildren<QAction *>()) {
        if (!a->isSeparator() && !a->text().isEmpty() && a->menu() == nullptr) {
            EXPECT_FALSE(a->objectName().isEmpty() || names.contains(a->objectName())) << a->text().toStdString();
            names << a->objectName();
        }
        // No shortcut takes a key a screen reader keeps for itself.
        for (const QKeySequence &keys : a->shortcuts())
            for (int i = 0; i < keys.count(); ++i)
                EXPECT_TRUE(keys[i].key() != Qt::Key_Insert && keys[i].key() != Qt::Key_CapsLock) << a->objectName().toStdString();
    }
    // Insert reaches the focused control untouched, so Insert combinations stay the screen reader's.
    EXPECT_FALSE(viewer().keyPress(QStringLiteral("Insert")));
}

TEST_F(WindowTest, ALoadedFileIsShownDescribedAndReachedInTabOrder)
{
    window->loadAfterStartUp(generate(QStringLiteral("two.lmd"), {"--channels", "2", "--rows", "300"}));
    control<QListWidget>("List1")->addItem(QStringLiteral("a record"));
    EXPECT_EQ(control<QLabel>("LBLLR")->text(), QStringLiteral("Samples Loaded:  300"));
    EXPECT_TRUE(control<QMenu>("mnuInfo")->menuAction()->isEnabled());

    // The menu shortcuts work from the command box, where the focus nearly always is.
    speech->spoken.clear();
    QTest::keyClick(txtIn(), Qt::Key_I, Qt::ControlModifier);
    EXPECT_FALSE(speech->spoken.isEmpty());   // the spoken INFO report

    int interactive = 0;
    expectNamed(QAccessible::queryAccessibleInterface(window.get()), 0, interactive);
    EXPECT_GT(interactive, 15);
    // One short sentence, heard each time the chart takes the focus: the channels, the view's
    // time span and, while it is shown, the cursor's time.
    QAccessibleInterface *chart = QAccessible::queryAccessibleInterface(&window->chart());
    ASSERT_EQ(chart->role(), QAccessible::Chart);
    StripChartModel &model = viewer().chart;
    const auto time = [&model](int row) { return ChartPainter::timeOfDay(model.GetTime(row)); };
    model.setXAxisMin(model.GetTime(100));
    model.setToolBarMode(4);
    model.setCursorRow(150);
    QTest::qWait(400);
    EXPECT_EQ(chart->text(QAccessible::Description),
              QStringLiteral("2 channels, View from %1 to %2, Cursor at %3.").arg(time(100), time(299), time(150)));
    model.setToolBarMode(0);
    QTest::qWait(400);
    EXPECT_EQ(chart->text(QAccessible::Description), QStringLiteral("2 channels, View from %1 to %2.").arg(time(100), time(299)));

    // Tab: command box, match list, buttons, chart, braille line.
    QStringList order;
    QWidget *w = txtIn();
    for (int i = 0; i < 200 && !order.contains(w->objectName()); ++i, w = w->nextInFocusChain()) {
        if (qobject_cast<QLineEdit *>(w) || qobject_cast<QListWidget *>(w) || qobject_cast<QPushButton *>(w) || qobject_cast<ChartWidget *>(w))
            order << w->objectName();
    }
    ASSERT_GE(order.size(), 4);
    EXPECT_EQ(order.mid(0, 3), QStringList({"txtIn", "List1", "cmdLeft"}));
    EXPECT_EQ(order.mid(order.size() - 2), QStringList({"iStripChartX1", "BrailleView"}));

    // What the program shows reaches a screen reader: the title, the status labels (never in
    // the Tab order), the tickable items of the sound menu.
    viewer().ports.surface.setWindowTitle(QStringLiteral("File Load Aborted"));
    viewer().ports.surface.setCaption(QStringLiteral("LBLLR"), QStringLiteral("Samples Loaded:  5"));
    EXPECT_EQ(QAccessible::queryAccessibleInterface(window.get())->text(QAccessible::Name), QStringLiteral("File Load Aborted"));
    for (const char *name : {"LBLLR", "LBLTC", "LBLCS"})
        EXPECT_EQ(control<QLabel>(name)->focusPolicy(), Qt::NoFocus) << name;
    EXPECT_EQ(QAccessible::queryAccessibleInterface(control<QLabel>("LBLLR"))->text(QAccessible::Name), QStringLiteral("Samples Loaded:  5"));
    QAccessibleInterface *sound = QAccessible::queryAccessibleInterface(control<QMenu>("mnuSound"));
    int checkable = 0;
    for (int i = 0; i < sound->childCount(); ++i)
        checkable += sound->child(i)->state().checkable;
    EXPECT_EQ(checkable, 5);
}

// The window's own voice is made at its start-up step: a voice that cannot be made is logged
// with that step's checkpoint, the window still opens, and it says that speech is not available.
TEST_F(WindowTest, AVoiceThatCannotBeMadeIsLoggedAtItsStep)
{
    window.reset();
    QFile::remove(StartUpSteps::logPath(Viewer::programFolder()));
    FormReview::voiceFactory = []() -> std::unique_ptr<QtSpeech> { throw std::runtime_error("no voice here"); };
    window = std::make_unique<FormReview>(nullptr, std::make_unique<QSettingsStore>(iniPath));
    FormReview::voiceFactory = nullptr;
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    const QString log = QString::fromUtf8(readFile(StartUpSteps::logPath(Viewer::programFolder())));
    EXPECT_TRUE(log.endsWith(QStringLiteral("   1    no voice here    LN = 24\r\n"))) << log.toStdString();
    EXPECT_EQ(log.count(QStringLiteral("\r\n")), 1) << log.toStdString();
    QTRY_COMPARE(control<QLabel>("LBLCS")->text(), QStringLiteral("Speech is not available."));
    QFile::remove(StartUpSteps::logPath(Viewer::programFolder()));
}

TEST_F(WindowTest, ControlColumnMovesAndHidesWithoutLosingTheChartOrHiddenButtons)
{
    QWidget &chart = window->chart();
    QAction *hide = control("mnuPopUpHideShowControls");
    EXPECT_EQ(chart.x(), 105);
    EXPECT_FALSE(hide->isEnabled());   // nothing to make room for yet
    viewer().actions.run(QStringLiteral("mnuPopUpControlsRightLeft"));
    EXPECT_EQ(chart.x(), 7);
    EXPECT_GT(control<QPushButton>("cmdFullView")->x(), chart.geometry().right());
    viewer().actions.run(QStringLiteral("mnuPopUpControlsRightLeft"));
    EXPECT_EQ(chart.x(), 105);

    window->loadAfterStartUp(generate(QStringLiteral("small.lmd"), {"--rows", "100"}));
    viewer().ports.surface.setVisible(QStringLiteral("cmdOffset"), false);
    ASSERT_TRUE(hide->isEnabled());
    viewer().actions.run(QStringLiteral("mnuPopUpHideShowControls"));
    EXPECT_EQ(hide->text(), QStringLiteral("Show Controls"));
    EXPECT_TRUE(control<QPushButton>("cmdLeft")->isHidden());
    EXPECT_LE(chart.geometry().right(), window->centralWidget()->width());
    viewer().actions.run(QStringLiteral("mnuPopUpHideShowControls"));
    EXPECT_FALSE(control<QPushButton>("cmdLeft")->isHidden());
    EXPECT_TRUE(control<QPushButton>("cmdOffset")->isHidden());   // the program hid it
}

TEST_F(WindowTest, RecentFileItemsShowPathsAndHideEmptySlots)
{
    WindowSurface &surface = viewer().ports.surface;
    surface.setCaption(QStringLiteral("mnuRecentLoaded1"), QStringLiteral("/data/Rock & Roll.lmd"));
    surface.setCaption(QStringLiteral("mnuRecentLoaded2"), QStringLiteral("/data/gone.lmd"));
    surface.setCaption(QStringLiteral("mnuRecentLoaded2"), QString());
    EXPECT_EQ(control("mnuRecentLoaded1")->text(), QStringLiteral("/data/Rock && Roll.lmd"));
    EXPECT_TRUE(control("mnuRecentLoaded1")->isVisible());
    EXPECT_FALSE(control("mnuRecentLoaded2")->isVisible());
}

// Exit, or Alt+F4 while the opening report is read (the close runs inside one of its lines):
// the goodbye is said once and is the last thing said.
TEST_F(WindowTest, ClosingSaysTheGoodbyeOnceAndNothingAfterIt)
{
    control("MnuExit")->trigger();
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(speech->spoken.count(QStringLiteral("Closing Lumora Sonified Review Program.")), 1);

    open();
    speech->onSpeak = [this](const QString &text) {
        if (text.startsWith(QLatin1String("Chart View Starts")) && !viewer().Closing)
            window->close();
    };
    window->loadAfterStartUp(generate(QStringLiteral("small.lmd"), {"--rows", "100"}));
    ASSERT_TRUE(viewer().Closing);
    viewer().speech.speakAsync(QStringLiteral("late"));
    EXPECT_EQ(speech->spoken.last().toStdString(), "Closing Lumora Sonified Review Program.");
    EXPECT_TRUE(speech->spokenAsync.isEmpty());
}

TEST(KeyNames, NameKeysAsTheProgramExpects)
{
    EXPECT_EQ(keyName(Qt::Key_Enter, Qt::KeypadModifier), QStringLiteral("Return"));
    EXPECT_EQ(keyName(Qt::Key_Left, Qt::ControlModifier | Qt::ShiftModifier), QStringLiteral("Ctrl+Shift+Left"));
    EXPECT_EQ(keyName(Qt::Key_Backtab, Qt::ShiftModifier), QStringLiteral("Shift+Tab"));
    EXPECT_EQ(keyName(Qt::Key_Shift, Qt::ShiftModifier), QString());
    EXPECT_EQ(WidgetSurface::toNameFilters(QStringLiteral("Lumora data (*.lmd)|*.lmd|Any (*.*)|*.*")),
              QStringList({QStringLiteral("Lumora data (*.lmd)"), QStringLiteral("Any (*.*)")}));
    EXPECT_EQ(WidgetSurface::toNameFilters(QStringLiteral("Text|*.txt;*.csv")), QStringList(QStringLiteral("Text (*.txt *.csv)")));
}


using ArchiveSupport::recordLine;

// The match list in the window: shown with its entries, announced when it takes the focus,
// walked by keys that reach the program first, left with Tab.
TEST_F(WindowTest, TheMatchListShowsTheFoundRecordingsAndIsWalkedByKeys)
{
    HttpTestServer server;
    server.serve("/varecords_sort.txt", (recordLine("12/23/2003", "1700", "12/23/2003", "1730", "First") +
                                         recordLine("12/23/2003", "1715", "12/23/2003", "1800", "Second")).toUtf8());
    viewer().ports.settings.write("Settings", "ArchiveURL", server.url());
    viewer().archive.programFolder = folder.path();
    viewer().archive.locale = QLocale(QLocale::English, QLocale::UnitedStates);
    auto *list = control<QListWidget>("List1");

    QTest::keyClicks(txtIn(), "VA");
    QTest::keyClick(txtIn(), Qt::Key_Return);
    QTest::keyClicks(txtIn(), "12/23/2003 17:20");
    QTest::keyClick(txtIn(), Qt::Key_Return);
    EXPECT_TRUE(list->isVisible());
    EXPECT_EQ(list->count(), 2);
    EXPECT_EQ(QApplication::focusWidget(), list);
    EXPECT_EQ(speech->spoken.last(), "Archive List has focus. Record  1 of  2");
    speech->spoken.clear();
    QTest::keyClick(list, Qt::Key_Down);
    EXPECT_EQ(speech->spoken, QStringList{"Record 2"});
    EXPECT_EQ(list->currentRow(), 1) << "the program's move, not a second one by the list";
    list->setCurrentRow(0);   // as a click picks an entry
    EXPECT_EQ(viewer().archive.List1.selected(), 0);

    // A running screen reader reads the entry it selects: the program adds only the record's
    // number, unless the user asks for everything to be said.
    window->screenReader().assume(true);
    speech->spoken.clear();
    QTest::keyClick(list, Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(speech->spoken, (QStringList{"Record 2"}));
    viewer().ports.settings.write("Settings", "SpeakFocusNames", "True");
    speech->spoken.clear();
    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_EQ(speech->spoken, (QStringList{"Record 2", list->item(1)->text()}));
    window->screenReader().assume(false);
    speech->spoken.clear();
    QTest::keyClick(list, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), txtIn());
    EXPECT_TRUE(speech->spoken.contains("Waiting for text."));
    viewer().archive.List1.clear();   // as loading a data file does
    QApplication::processEvents();
    EXPECT_FALSE(list->isVisible());
}

// The navigation rules are checked on the core; here, that the window's buttons, keys and
// pointer reach them and show what they did.
class NavigationWindowTest : public WindowTest {
protected:
    Viewer &v = viewer();
    StripChartModel &model = v.chart;

    void SetUp() override
    {
        window->loadAfterStartUp(generate(QStringLiteral("two.lmd"), {"--channels", "2", "--rows", "2000"}));
        ASSERT_TRUE(v.data.DataReady);
        speech->spoken.clear();
    }

    template <typename T = QPushButton> T *control(const char *name) { return window->findChild<T *>(QLatin1String(name)); }
    void click(const char *name) { QTest::mouseClick(control(name), Qt::LeftButton); }
    QString picture(const char *name) { return control(name)->property("picture").toString(); }
    bool pressed(const char *name) { return QAccessible::queryAccessibleInterface(control(name))->state().checked; }
    ChartWidget &chart() { return window->chart(); }
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

TEST_F(NavigationWindowTest, ButtonsKeysAndTheRightButtonMoveTheViewLightTheirPicturesAndTellTheirState)
{
    for (const char *name : {"cmdLeft", "cmdRight", "cmdUp", "cmdDown", "cmdIncX", "cmdDecX", "cmdIncY", "cmdDecY", "cmdCursor", "cmdZoom"})
        EXPECT_TRUE(control(name)->isVisible() && !control(name)->icon().isNull() && picture(name) == "plain") << name;
    // On-off buttons tell a screen reader whether they are on.
    for (const char *name : {"cmdCursor", "cmdZoom", "cmdAutoScale", "cmdAutoScrollEnable", "cmdOffset"})
        EXPECT_TRUE(QAccessible::queryAccessibleInterface(control(name))->state().checkable && !pressed(name)) << name;
    EXPECT_FALSE(QAccessible::queryAccessibleInterface(control("cmdLeft"))->state().checkable);
    click("cmdDecX");
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
}

TEST_F(NavigationWindowTest, CursorModeWalksTheSamplesWithKeysAndPointer)
{
    QTest::keyClick(control<QLineEdit>("txtIn"), Qt::Key_U, Qt::ControlModifier);
    EXPECT_EQ(QApplication::focusWidget(), &chart());
    QTest::keyClick(&chart(), Qt::Key_Right);
    EXPECT_EQ(model.cursorRow(), 1);
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
    EXPECT_TRUE(pressed("cmdOffset") && picture("cmdOffset") == "open");
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
    EXPECT_FALSE(control<QWidget>("Frame1")->isVisible() || pressed("cmdOffset"));

    // The channel menu keeps both ticks until the pop-up menu opens again.
    v.actions.run(QStringLiteral("mnuCH2"));
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
    const auto press = [this](const char *name) {
        QAccessible::queryAccessibleInterface(control(name))->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    };
    press("cmdCursor");
    QTRY_COMPARE(model.ToolBarMode(), 4);
    const double w = width();
    press("cmdIncX");
    QTRY_VERIFY(width() > w);
}

TEST_F(NavigationWindowTest, BrailleLineCaretMovesTheCursor)
{
    auto *line = control<QLineEdit>("BrailleView");
    EXPECT_TRUE(line->isVisible());
    QAccessibleInterface *a11y = QAccessible::queryAccessibleInterface(line);
    EXPECT_EQ(a11y->text(QAccessible::Name), "Braille view");
    int start = 0, end = 0;
    EXPECT_EQ(a11y->textInterface()->textAtOffset(0, QAccessible::WordBoundary, &start, &end), line->text());
    a11y->textInterface()->setCursorPosition(5);   // a routing key
    EXPECT_EQ(model.cursorRow(), 274);   // the middle of rows 250 to 299
    EXPECT_EQ(speech->spoken.last(), v.navigation.cursorReadoutText());

    // Reaching the line from the keyboard leaves the cursor where it was and says nothing of it.
    speech->spoken.clear();
    chart().setFocus();
    QTest::keyClick(&chart(), Qt::Key_Tab);
    QTRY_COMPARE(QApplication::focusWidget(), line);
    EXPECT_EQ(model.cursorRow(), 274);
    EXPECT_FALSE(speech->spoken.contains(v.navigation.cursorReadoutText())) << speech->spoken.join(u'|').toStdString();
    EXPECT_EQ(line->cursorPosition(), 5);

    // Turned on from its button, the cursor is read once.
    control("cmdCursor")->setFocus();
    QTest::keyClick(control("cmdCursor"), Qt::Key_Return);
    QTest::keyClick(control("cmdCursor"), Qt::Key_Return);
    speech->spoken.clear();
    QTest::keyClick(control("cmdCursor"), Qt::Key_Return);
    QTRY_COMPARE(model.ToolBarMode(), 4);
    QTest::qWait(100);
    EXPECT_EQ(speech->spoken, QStringList(v.navigation.cursorReadoutText()));
}

} // namespace
