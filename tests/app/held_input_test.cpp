#include "app/form_review.h"
#include "app/key_queue.h"
#include "app/screen_reader_status.h"
#include "session/viewer.h"
#include "support/fakes.h"
#include "support/files.h"
#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <gtest/gtest.h>
#include <qpa/qwindowsysteminterface.h>

namespace {

// A voice that takes its time, waiting as the real one does: with the whole event loop.
struct SlowSpeech : FakeSpeech {
    int lengthMs = 0;
    int stops = 0;
    QEventLoop *waiting = nullptr;
    void speak(const QString &text) override
    {
        FakeSpeech::speak(text);
        if (lengthMs <= 0)
            return;
        QEventLoop loop;
        waiting = &loop;
        QTimer::singleShot(lengthMs, &loop, &QEventLoop::quit);
        loop.exec();
        waiting = nullptr;
    }
    void speakAsync(const QString &text) override { spoken << text; }
    void stop() override
    {
        ++stops;
        if (waiting)
            waiting->quit();
    }
};

// Where the accessibility bridge sits: an application-wide filter that sees input first.
struct DesktopSide : QObject {
    QElapsedTimer *clock = nullptr;
    QLineEdit *box = nullptr;
    QList<qint64> keyTimes;
    QStringList boxWhenSeen;
    bool eventFilter(QObject *o, QEvent *e) override
    {
        // Each key passes the platform window first, then the focused widget.
        if (e->type() == QEvent::KeyPress && e->spontaneous() && o->isWidgetType()) {
            keyTimes << clock->elapsed();
            boxWhenSeen << box->text();
        }
        return false;
    }
};

class HeldInputTest : public ::testing::Test {
protected:
    SlowSpeech *speech = new SlowSpeech;
    FakeSettings *settings = new FakeSettings;
    FormReview window{std::unique_ptr<SpeechPort>(speech), std::unique_ptr<SettingsStore>(settings)};
    QElapsedTimer clock;
    QList<qint64> sentAt;
    QTemporaryDir folder;

    void SetUp() override
    {
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        txtIn()->setFocus();
        clock.start();
    }

    template <typename T> T *control(const char *name) { return window.findChild<T *>(QLatin1String(name)); }
    QLineEdit *txtIn() { return control<QLineEdit>("txtIn"); }
    void load(int rows)
    {
        window.loadAfterStartUp(generateData(folder, QStringLiteral("data.lmd"), {"--rows", QString::number(rows)}));
        ASSERT_TRUE(window.viewer().data.DataReady);
    }

    // A key as the keyboard gives it: through the platform's input queue, atMs from now.
    void pressLater(int atMs, Qt::Key key, const QString &text = {})
    {
        QTimer::singleShot(atMs, &window, [this, key, text] {
            sentAt << clock.elapsed();
            QWindow *w = window.windowHandle();
            QWindowSystemInterface::handleKeyEvent<QWindowSystemInterface::AsynchronousDelivery>(w, QEvent::KeyPress, key, Qt::NoModifier, text);
            QWindowSystemInterface::handleKeyEvent<QWindowSystemInterface::AsynchronousDelivery>(w, QEvent::KeyRelease, key, Qt::NoModifier, text);
        });
    }
};

TEST_F(HeldInputTest, KeysReachTheDesktopAtOnceAndTheProgramAfterTheUtteranceInOrderUnlessEscapeCameFirst)
{
    DesktopSide desktop;
    desktop.clock = &clock;
    desktop.box = txtIn();
    qApp->installEventFilter(&desktop);
    pressLater(100, Qt::Key_A, QStringLiteral("a"));
    pressLater(200, Qt::Key_B, QStringLiteral("b"));
    pressLater(300, Qt::Key_Home);
    pressLater(400, Qt::Key_C, QStringLiteral("c"));

    speech->lengthMs = 800;
    window.viewer().speech.speak(QStringLiteral("A long report."));
    const QString boxAtEnd = txtIn()->text();
    QTest::qWait(50);
    qApp->removeEventFilter(&desktop);

    ASSERT_EQ(desktop.keyTimes.size(), 4);
    for (int i = 0; i < 4; ++i)
        EXPECT_LT(desktop.keyTimes[i] - sentAt[i], 50) << "key " << i << " held back from the desktop";
    EXPECT_EQ(desktop.boxWhenSeen, QStringList(4, QString())) << "the program handled a key during the utterance";
    EXPECT_EQ(boxAtEnd, QString());
    EXPECT_EQ(txtIn()->text(), QStringLiteral("cab")) << "held keys run after the utterance, in order";

    // Escape stops the utterance at once and forgets the keys held before it.
    sentAt.clear();
    txtIn()->clear();
    pressLater(100, Qt::Key_Z, QStringLiteral("z"));
    pressLater(200, Qt::Key_Escape);

    speech->lengthMs = 3000;
    window.viewer().speech.speak(QStringLiteral("A very long report."));
    const qint64 ended = clock.elapsed();
    QTest::qWait(50);

    ASSERT_EQ(sentAt.size(), 2);
    EXPECT_LT(ended - sentAt[1], 100) << "Escape did not stop the utterance at once";
    EXPECT_EQ(speech->stops, 1);
    EXPECT_TRUE(window.viewer().speech.AbortRequested);
    EXPECT_EQ(txtIn()->text(), QString()) << "a key pressed before Escape still ran";
}

TEST_F(HeldInputTest, TheNextKeyCutsTheCursorReadoutShortAndStaleReadoutsAreSkipped)
{
    load(500);
    Viewer &v = window.viewer();
    v.actions.run(QStringLiteral("mnuCursor"));
    const int start = v.chart.cursorRow();
    speech->spoken.clear();

    // Right at 0, 150 and 300 ms, each readout 1 s long: each key cuts the last readout short.
    speech->lengthMs = 1000;
    for (int at : {0, 150, 300})
        pressLater(at, Qt::Key_Right);
    QTest::qWait(1500);
    EXPECT_EQ(v.chart.cursorRow(), start + 3);
    EXPECT_EQ(speech->spoken.size(), 3);
    EXPECT_EQ(speech->stops, 2);

    // Keys held behind another utterance: only the readout of the last step is heard, and a
    // report that is no readout is not cut short.
    speech->spoken.clear();
    for (int at : {50, 100, 150})
        pressLater(at, Qt::Key_Left);
    speech->lengthMs = 400;
    v.speech.speak(QStringLiteral("A report."));
    QTest::qWait(100);
    EXPECT_EQ(v.chart.cursorRow(), start);
    ASSERT_EQ(speech->spoken.size(), 2);
    EXPECT_EQ(speech->spoken.last(), v.navigation.cursorReadoutText());
    EXPECT_EQ(speech->stops, 2);
}

// Any key cuts the help short and ends it; a click waits for the utterance like a key.
TEST_F(HeldInputTest, AnyKeyCutsTheHelpShortAndClicksWaitToo)
{
    window.viewer().help.HelpLines = {QStringLiteral("First help line."), QStringLiteral("Second help line.")};
    speech->lengthMs = 1500;
    pressLater(200, Qt::Key_Up);
    QTest::keyClick(txtIn(), Qt::Key_F1);
    EXPECT_LT(clock.elapsed(), 1000) << "the key waited for the end of the line";
    EXPECT_EQ(speech->spoken, QStringList{QStringLiteral("First help line.")});
    EXPECT_EQ(speech->stops, 1);

    QPushButton *zoom = control<QPushButton>("cmdZoom");
    QSignalSpy clicked(zoom, &QPushButton::clicked);
    QTimer::singleShot(100, &window, [zoom] { QTest::mouseClick(zoom, Qt::LeftButton); });
    speech->lengthMs = 500;
    window.viewer().speech.speak(QStringLiteral("Something."));
    EXPECT_EQ(clicked.count(), 0);
    QTest::qWait(50);
    EXPECT_EQ(clicked.count(), 1);
}

TEST_F(HeldInputTest, OpenMenusAndTheMenuBarKeepEscapeAndReturn)
{
    txtIn()->setText(QStringLiteral("LIMITS"));
    QMenu *file = control<QMenu>("MnuFile");
    window.menuBar()->setActiveAction(file->menuAction());
    QTRY_VERIFY(file->isVisible());

    QTest::keyClick(file, Qt::Key_Escape);
    EXPECT_FALSE(file->isVisible());
    EXPECT_FALSE(window.viewer().speech.AbortRequested) << "the window took the menu's Escape";

    window.menuBar()->setFocus();
    QTest::keyClick(window.menuBar(), Qt::Key_Escape);
    QTest::keyClick(window.menuBar(), Qt::Key_Return);
    EXPECT_FALSE(window.viewer().speech.AbortRequested);
    for (const QString &said : std::as_const(speech->spoken))
        EXPECT_FALSE(said.startsWith(QStringLiteral("Chart View Starts"))) << "the command box took the menu bar's Return";
    EXPECT_EQ(txtIn()->text(), QStringLiteral("LIMITS"));
}

TEST_F(HeldInputTest, FocusNamesAreSpokenOncePerChangeAndLeftToARunningScreenReader)
{
    const auto focusAndCount = [this](const char *button, const QString &name) {
        speech->spoken.clear();
        window.viewer().ports.surface.setVisible(QLatin1String(button), true);   // hidden until a file is loaded
        control<QPushButton>(button)->setFocus(Qt::TabFocusReason);
        txtIn()->setFocus(Qt::TabFocusReason);
        return int(speech->spoken.count(name));
    };
    EXPECT_EQ(focusAndCount("cmdLeft", QStringLiteral("Left Scroll Arrow.")), 1);
    window.screenReader().assume(true);
    EXPECT_EQ(focusAndCount("cmdRight", QStringLiteral("Right Scroll Arrow.")), 0);
    settings->write(QStringLiteral("Settings"), QStringLiteral("SpeakFocusNames"), QStringLiteral("True"));
    EXPECT_EQ(focusAndCount("cmdRight", QStringLiteral("Right Scroll Arrow.")), 1);
    window.screenReader().assume(false);
    settings->write(QStringLiteral("Settings"), QStringLiteral("SpeakFocusNames"), QStringLiteral("False"));
    EXPECT_EQ(focusAndCount("cmdFullView", QStringLiteral("Full View.")), 0);
}

// A shortcut held while the program spoke runs afterwards if its item is still enabled;
// otherwise the key goes on to the focused control like any other key.
TEST(KeyQueue, AHeldShortcutRunsOnlyWhileItsItemIsEnabled)
{
    QWidget window;
    auto *box = new QLineEdit(&window);
    box->setFocus();
    QAction item{QStringLiteral("Cursor")};
    int runs = 0;
    QObject::connect(&item, &QAction::triggered, [&runs] { ++runs; });
    KeyQueue queue{&window};
    for (const bool enabled : {true, false}) {
        queue.utteranceStarted();
        queue.holdKey(QKeyEvent(QEvent::KeyPress, Qt::Key_U, Qt::NoModifier, QStringLiteral("u")), &item);
        item.setEnabled(enabled);
        queue.utteranceEnded();
        QCoreApplication::processEvents();
        EXPECT_EQ(runs, 1) << enabled;
        EXPECT_EQ(box->text(), QLatin1String(enabled ? "" : "u")) << "the key is not lost";
    }
    EXPECT_EQ(queue.size(), 0);
}

// A scan of 15 s, chosen from the menus or typed, and stopped with Escape as the user does.
class MenuFocusTest : public HeldInputTest {
protected:
    void SetUp() override
    {
        HeldInputTest::SetUp();
        load(1500);
        window.viewer().scan.ScanSpeed = 100;
        txtIn()->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), txtIn());
    }

    // Once the scan sounds, `press` runs a moment later; the clock starts here.
    void whenTheScanSounds(std::function<void()> press)
    {
        speech->onSpeak = [this, press](const QString &text) {
            if (text == QLatin1String("Chart Sound On"))
                QTimer::singleShot(300, &window, press);
        };
        clock.start();
    }
    bool scanEndedSoon()
    {
        for (int i = 0; i < 400 && !speech->spoken.contains(QStringLiteral("Chart Sound Off.")); ++i)
            QTest::qWait(50);
        return clock.elapsed() < 5000 && !window.viewer().scan.ScanStarted;
    }
};

// The second scan is typed, and stopped with Escape on the menu bar.
TEST_F(MenuFocusTest, AMenuCommandRunsWithTheFocusBackWhereItWasAndEscapeOnTheMenuBarStopsIt)
{
    QWidget *focusDuringScan = nullptr;
    whenTheScanSounds([&] {
        focusDuringScan = window.focusWidget();
        QTest::keyClick(focusDuringScan ? focusDuringScan : &window, Qt::Key_Escape);
    });
    // As a user finds the way: opens one menu, leaves it, and opens Tools from the menu bar.
    QTest::keyClick(txtIn(), Qt::Key_I, Qt::AltModifier);
    QMenu *info = control<QMenu>("mnuInfo");
    QTRY_VERIFY(info->isVisible());
    QTest::keyClick(info, Qt::Key_Escape);
    QTRY_VERIFY(!info->isVisible());
    QWidget *there = window.focusWidget() ? window.focusWidget() : &window;
    QTest::keyClick(there, Qt::Key_T, Qt::AltModifier);
    QMenu *tools = control<QMenu>("MnuTools");
    QTRY_VERIFY(tools->isVisible());
    QTest::keyClick(tools, Qt::Key_A);   // Sc&an
    EXPECT_TRUE(scanEndedSoon()) << clock.elapsed() << " ms";
    EXPECT_EQ(focusDuringScan, txtIn()) << (focusDuringScan ? focusDuringScan->metaObject()->className() : "none");
    EXPECT_EQ(window.focusWidget(), txtIn());

    speech->spoken.clear();
    whenTheScanSounds([&] {
        window.menuBar()->setFocus();
        QTest::keyClick(window.menuBar(), Qt::Key_Escape);
    });
    QTest::keyClicks(txtIn(), QStringLiteral("SCAN"));
    QTest::keyClick(txtIn(), Qt::Key_Return);
    EXPECT_TRUE(scanEndedSoon()) << clock.elapsed() << " ms";
}

} // namespace
