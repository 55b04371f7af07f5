#include "app/form_review.h"
#include "session/viewer.h"
#include "support/fakes.h"
#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

// A scan of 15 s, chosen from the menus or typed, and stopped with Escape as the user does.
class MenuFocusTest : public ::testing::Test {
protected:
    FakeSpeech *speech = new FakeSpeech;
    FormReview window{std::unique_ptr<SpeechPort>(speech), std::make_unique<FakeSettings>()};
    QTemporaryDir folder;
    QElapsedTimer clock;

    void SetUp() override
    {
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        const QString path = folder.filePath(QStringLiteral("scan.lmd"));
        QProcess gen;
        gen.start(QStringLiteral(LMDGEN_PATH), {QStringLiteral("--rows"), QStringLiteral("1500"), path});
        ASSERT_TRUE(gen.waitForFinished(60000));
        window.loadAfterStartUp(path);
        window.viewer().scan.ScanSpeed = 100;
        txtIn()->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), txtIn());
    }

    template <typename T> T *control(const char *name) { return window.findChild<T *>(QLatin1String(name)); }
    QLineEdit *txtIn() { return control<QLineEdit>("txtIn"); }

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

TEST_F(MenuFocusTest, AMenuCommandRunsWithTheFocusBackWhereItWas)
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
}

TEST_F(MenuFocusTest, EscapeOnTheMenuBarStopsRunningWork)
{
    whenTheScanSounds([&] {
        window.menuBar()->setFocus();
        QTest::keyClick(window.menuBar(), Qt::Key_Escape);
    });
    QTest::keyClicks(txtIn(), QStringLiteral("SCAN"));
    QTest::keyClick(txtIn(), Qt::Key_Return);
    EXPECT_TRUE(scanEndedSoon()) << clock.elapsed() << " ms";
}

} // namespace
