#include "app/chart_widget.h"
#include "app/form_review.h"
#include "app/key_names.h"
#include "app/widget_surface.h"
#include "session/viewer.h"
#include "support/fakes.h"
#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class WindowTest : public ::testing::Test {
protected:
    FakeSpeech *speech = new FakeSpeech;
    FormReview window{std::unique_ptr<SpeechPort>(speech), std::make_unique<FakeSettings>()};
    QTemporaryDir folder;

    void SetUp() override
    {
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }

    template <typename T> T *control(const char *name) { return window.findChild<T *>(QLatin1String(name)); }
    bool enabled(const char *menu) { return control<QMenu>(menu)->menuAction()->isEnabled(); }
    QLineEdit *txtIn() { return control<QLineEdit>("txtIn"); }

    QString generate(const QStringList &args)
    {
        const QString path = folder.filePath(QStringLiteral("small.lmd"));
        QProcess gen;
        gen.start(QStringLiteral(LMDGEN_PATH), QStringList(args) << path);
        EXPECT_TRUE(gen.waitForFinished(60000));
        EXPECT_EQ(gen.exitCode(), 0);
        return path;
    }
};

TEST_F(WindowTest, StartsReadyForTypingWithTheMenusOfAnEmptyWindow)
{
    EXPECT_EQ(QApplication::focusWidget(), txtIn());
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Lumora Sonified Chart Viewer "));

    EXPECT_FALSE(enabled("mnuInfo"));
    EXPECT_TRUE(enabled("MnuFile"));
    for (const char *off : {"mnuDataFileInfo", "mnuSave", "mnuScan", "mnuCursor", "mnuClipSpikes", "mnuExportToTabDelimitedFile"})
        EXPECT_FALSE(control<QAction>(off)->isEnabled()) << off;
    EXPECT_TRUE(control<QAction>("MnuLoadDataFile")->isEnabled());
    EXPECT_TRUE(control<QPushButton>("cmdSaveView")->isHidden());
    EXPECT_FALSE(control<QWidget>("List1")->isVisible());

    // A blind user finds every control by its spoken name, and every menu item runs by name.
    for (QWidget *w : window.findChildren<QWidget *>()) {
        if ((qobject_cast<QPushButton *>(w) || qobject_cast<QLineEdit *>(w) || qobject_cast<ChartWidget *>(w)) && w->isVisible())
            EXPECT_FALSE(w->accessibleName().isEmpty()) << w->objectName().toStdString();
    }
    QStringList names;
    for (QAction *a : window.findChildren<QAction *>()) {
        if (!a->isSeparator() && !a->text().isEmpty() && a->menu() == nullptr) {
            EXPECT_FALSE(a->objectName().isEmpty()) << a->text().toStdString();
            EXPECT_FALSE(names.contains(a->objectName())) << a->objectName().toStdString();
            names << a->objectName();
        }
    }
    EXPECT_EQ(control<QAction>("mnuDataFileInfo")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_I));
}

TEST_F(WindowTest, LoadingAFileShowsItAndEnablesTheChartMenus)
{
    const QString path = generate({QStringLiteral("--channels"), QStringLiteral("2"), QStringLiteral("--rows"), QStringLiteral("500")});
    window.loadAfterStartUp(path);

    EXPECT_TRUE(window.viewer().data.DataReady);
    EXPECT_EQ(control<QLabel>("LBLLR")->text(), QStringLiteral("Samples Loaded:  500"));
    EXPECT_TRUE(window.windowTitle().endsWith(QStringLiteral("File Loaded: ") + path)) << window.windowTitle().toStdString();
    EXPECT_TRUE(enabled("mnuInfo"));
    EXPECT_TRUE(control<QAction>("mnuScan")->isEnabled());
    EXPECT_FALSE(control<QPushButton>("cmdSaveView")->isHidden());
    EXPECT_TRUE(speech->spoken.contains(QStringLiteral("Samples Loaded:  500")));

    // Read at every visit of the chart: channels and time span only, the rest is INFO's.
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^2 channels, View from \\d\\d:\\d\\d:\\d\\d to \\d\\d:\\d\\d:\\d\\d\\.$"))
                    .match(window.chart().accessibleDescription())
                    .hasMatch())
        << window.chart().accessibleDescription().toStdString();

    // The menu shortcuts work from the command box, where the focus nearly always is.
    QSignalSpy cursorItem(control<QAction>("mnuCursor"), &QAction::triggered);
    QTest::keyClick(txtIn(), Qt::Key_U, Qt::ControlModifier);
    EXPECT_EQ(cursorItem.count(), 1);
    speech->spoken.clear();
    QTest::keyClick(txtIn(), Qt::Key_I, Qt::ControlModifier);
    EXPECT_FALSE(speech->spoken.isEmpty());   // the spoken INFO report

    const QImage picture = window.chart().grab().toImage();
    int red = 0;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            red += picture.pixelColor(x, y) == QColor(255, 0, 0);
    EXPECT_GT(red, 200);   // channel 0's pen
}

TEST_F(WindowTest, KeysReachTheProgramFirstAndThenTheCommandBox)
{
    QTest::keyClick(txtIn(), Qt::Key_Escape);
    EXPECT_TRUE(window.viewer().speech.AbortRequested);

    // Ordinary typing still lands in the box, once per key.
    QTest::keyClicks(txtIn(), QStringLiteral("ab c"));
    EXPECT_FALSE(window.viewer().speech.AbortRequested);
    EXPECT_EQ(txtIn()->text(), QStringLiteral("ab c"));
}

TEST_F(WindowTest, ControlColumnMovesAndHidesWithoutLosingTheChartOrHiddenButtons)
{
    QWidget &chart = window.chart();
    QAction *hide = control<QAction>("mnuPopUpHideShowControls");
    EXPECT_EQ(chart.x(), 105);
    EXPECT_FALSE(hide->isEnabled());   // nothing to make room for yet

    window.viewer().actions.run(QStringLiteral("mnuPopUpControlsRightLeft"));
    EXPECT_EQ(chart.x(), 7);
    EXPECT_GT(control<QPushButton>("cmdFullView")->x(), chart.geometry().right());
    window.viewer().actions.run(QStringLiteral("mnuPopUpControlsRightLeft"));
    EXPECT_EQ(chart.x(), 105);

    window.loadAfterStartUp(generate({QStringLiteral("--rows"), QStringLiteral("100")}));
    window.viewer().ports.surface.setVisible(QStringLiteral("cmdOffset"), false);
    ASSERT_TRUE(hide->isEnabled());
    window.viewer().actions.run(QStringLiteral("mnuPopUpHideShowControls"));
    EXPECT_EQ(hide->text(), QStringLiteral("Show Controls"));
    EXPECT_TRUE(control<QPushButton>("cmdLeft")->isHidden());
    EXPECT_LE(chart.geometry().right(), window.centralWidget()->width());
    window.viewer().actions.run(QStringLiteral("mnuPopUpHideShowControls"));
    EXPECT_FALSE(control<QPushButton>("cmdLeft")->isHidden());
    EXPECT_TRUE(control<QPushButton>("cmdOffset")->isHidden());   // the program hid it
}

TEST_F(WindowTest, RecentFileItemsShowPathsAndHideEmptySlots)
{
    WindowSurface &surface = window.viewer().ports.surface;
    surface.setCaption(QStringLiteral("mnuRecentLoaded1"), QStringLiteral("/data/Rock & Roll.lmd"));
    surface.setCaption(QStringLiteral("mnuRecentLoaded2"), QStringLiteral("/data/gone.lmd"));
    surface.setCaption(QStringLiteral("mnuRecentLoaded2"), QString());
    EXPECT_EQ(control<QAction>("mnuRecentLoaded1")->text(), QStringLiteral("/data/Rock && Roll.lmd"));
    EXPECT_TRUE(control<QAction>("mnuRecentLoaded1")->isVisible());
    EXPECT_FALSE(control<QAction>("mnuRecentLoaded2")->isVisible());
}

TEST_F(WindowTest, ExitClosesTheWindowWithTheGoodbye)
{
    control<QAction>("MnuExit")->trigger();
    EXPECT_FALSE(window.isVisible());
    EXPECT_TRUE(window.viewer().Closing);
    EXPECT_EQ(speech->spoken.count(QStringLiteral("Closing Lumora Sonified Review Program.")), 1);
}

TEST_F(WindowTest, NothingIsSaidAfterTheGoodbyeWhenTheWindowClosesDuringALoad)
{
    // Alt+F4 while the opening report is read: the close runs inside one of its lines.
    const QString path = generate({QStringLiteral("--rows"), QStringLiteral("100")});
    speech->onSpeak = [this](const QString &text) {
        if (text.startsWith(QLatin1String("Chart View Starts")) && !window.viewer().Closing)
            window.close();
    };
    window.loadAfterStartUp(path);

    ASSERT_TRUE(window.viewer().Closing);
    EXPECT_EQ(speech->spoken.last().toStdString(), "Closing Lumora Sonified Review Program.");
    // Said once more, nothing would reach the user either.
    window.viewer().speech.speakAsync(QStringLiteral("late"));
    EXPECT_EQ(speech->spoken.last().toStdString(), "Closing Lumora Sonified Review Program.");
    EXPECT_TRUE(speech->spokenAsync.isEmpty());
}

TEST_F(WindowTest, QuitTypedInTheCommandBoxClosesTheWindow)
{
    QTest::keyClicks(txtIn(), QStringLiteral("QUIT"));
    QTest::keyClick(txtIn(), Qt::Key_Return);
    EXPECT_FALSE(window.isVisible());
}

TEST(KeyNames, NameKeysAsTheProgramExpects)
{
    EXPECT_EQ(keyName(Qt::Key_Escape, Qt::NoModifier), QStringLiteral("Escape"));
    EXPECT_EQ(keyName(Qt::Key_Enter, Qt::KeypadModifier), QStringLiteral("Return"));
    EXPECT_EQ(keyName(Qt::Key_Up, Qt::ShiftModifier), QStringLiteral("Shift+Up"));
    EXPECT_EQ(keyName(Qt::Key_Left, Qt::ControlModifier | Qt::ShiftModifier), QStringLiteral("Ctrl+Shift+Left"));
    EXPECT_EQ(keyName(Qt::Key_Backtab, Qt::ShiftModifier), QStringLiteral("Shift+Tab"));
    EXPECT_EQ(keyName(Qt::Key_F11, Qt::NoModifier), QStringLiteral("F11"));
    EXPECT_EQ(keyName(Qt::Key_S, Qt::NoModifier), QStringLiteral("S"));
    EXPECT_EQ(keyName(Qt::Key_Shift, Qt::ShiftModifier), QString());
}

TEST(FileDialogFilters, BecomeQtNameFilters)
{
    EXPECT_EQ(WidgetSurface::toNameFilters(QStringLiteral("Lumora data (*.lmd)|*.lmd|dat file (*.dat)|*.dat|Any (*.*)|*.*")),
              QStringList({QStringLiteral("Lumora data (*.lmd)"), QStringLiteral("dat file (*.dat)"), QStringLiteral("Any (*.*)")}));
    EXPECT_EQ(WidgetSurface::toNameFilters(QStringLiteral("Text|*.txt;*.csv")), QStringList(QStringLiteral("Text (*.txt *.csv)")));
}

} // namespace
