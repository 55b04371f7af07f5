#include "app/chart_painter.h"
#include "app/chart_widget.h"
#include "app/form_review.h"
#include "app/qt_speech.h"
#include "session/startup_log.h"
#include "session/viewer.h"
#include "settings/qsettings_store.h"
#include "support/fakes.h"
#include <QAccessible>
#include <QAction>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class WindowLifeTest : public ::testing::Test {
protected:
    QTemporaryDir folder;
    QString iniPath = folder.filePath(QStringLiteral("viewer.ini"));
    FakeSpeech *speech = nullptr;

    std::unique_ptr<FormReview> open()
    {
        speech = new FakeSpeech;
        auto window = std::make_unique<FormReview>(std::unique_ptr<SpeechPort>(speech), std::make_unique<QSettingsStore>(iniPath));
        window->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        return window;
    }
    QString generate(const QString &name, const QStringList &args)
    {
        const QString path = folder.filePath(name);
        QProcess gen;
        gen.start(QStringLiteral(LMDGEN_PATH), QStringList(args) << path);
        EXPECT_TRUE(gen.waitForFinished(60000));
        return path;
    }
    template <typename T> static T *control(FormReview &w, const char *name) { return w.findChild<T *>(QLatin1String(name)); }
};

TEST_F(WindowLifeTest, RestartFindsEverythingAsItWasLeft)
{
    {
        QFile ini(iniPath);
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write("[Colors]\nBackGroundColor=&H202020\nGridBackGroundColor=&H303030\n"
                  "[Settings]\nTitleFontBold=True\nLocalName=Obs, Site\n[TickGrid]\nXAxisTickMajorCount=3\n");
    }
    const QString first = generate(QStringLiteral("first.lmd"), {QStringLiteral("--rows"), QStringLiteral("80")});
    const QString secondUpper = generate(QStringLiteral("secondUpper.lmd"), {QStringLiteral("--channels"), QStringLiteral("2"), QStringLiteral("--rows"), QStringLiteral("90")});
    const QString second = folder.filePath(QStringLiteral("second.lmd"));
    QFile::copy(secondUpper, second);
    {
        auto window = open();
        window->loadAfterStartUp(first);
        window->loadAfterStartUp(secondUpper);
        window->loadAfterStartUp(second);
        window->viewer().actions.run(QStringLiteral("mnuSoundSine"));
        window->viewer().actions.run(QStringLiteral("mnuSoundAmplitude"));
        window->viewer().ports.settings.write(QStringLiteral("Settings"), QStringLiteral("LastLoadDir"), folder.path() + u'/');
        window->close();
    }

    auto window = open();
    Viewer &v = window->viewer();
    // Case-different names are different files, newest first.
    EXPECT_EQ(control<QAction>(*window, "mnuRecentLoaded1")->text(), second);
    EXPECT_EQ(control<QAction>(*window, "mnuRecentLoaded2")->text(), secondUpper);
    EXPECT_EQ(control<QAction>(*window, "mnuRecentLoaded3")->text(), first);
    EXPECT_FALSE(control<QAction>(*window, "mnuRecentLoaded4")->isVisible());
    EXPECT_TRUE(control<QAction>(*window, "mnuSoundSine")->isChecked());
    EXPECT_TRUE(control<QAction>(*window, "mnuSoundAmplitude")->isChecked());
    EXPECT_TRUE(v.tone.SineWave && v.tone.AmplitudeMode);
    EXPECT_EQ(v.ports.settings.read(QStringLiteral("Settings"), QStringLiteral("LastLoadDir"), {}), folder.path() + u'/');
    EXPECT_EQ(v.ports.settings.read(QStringLiteral("Settings"), QStringLiteral("LocalName"), {}), QStringLiteral("Obs, Site"));
    EXPECT_EQ(v.data.header.LocalName.trimmed(), QStringLiteral("Obs, Site"));
    EXPECT_EQ(v.chart.appearance().background, 0x202020u);
    EXPECT_TRUE(v.chart.appearance().titleBold);
    EXPECT_EQ(v.chart.appearance().xTickMajorCount, 3);

    // The chart is painted in the stored colours.
    const QImage picture = window->chart().grab().toImage();
    EXPECT_EQ(picture.pixelColor(2, 2), QColor(0x20, 0x20, 0x20));

    // A recent entry opens its file.
    control<QAction>(*window, "mnuRecentLoaded3")->trigger();
    EXPECT_EQ(v.data.DataFileName, first);
    EXPECT_FALSE(control<QPushButton>(*window, "cmdLeft")->isHidden());
    EXPECT_TRUE(control<QPushButton>(*window, "cmdOffset")->isEnabled());
}

TEST_F(WindowLifeTest, AFailingStartUpStepIsLoggedAndTheWindowStillOpens)
{
    const QString log = StartUpSteps::logPath(Viewer::programFolder());
    QFile::remove(log);
    StartUpSteps::probe = [](int checkpoint) {
        if (checkpoint == 24)
            throw StartUpError(429, QStringLiteral("The voice could not be created"));
    };
    auto window = open();
    StartUpSteps::probe = nullptr;

    QFile file(log);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(file.readAll());
    EXPECT_TRUE(text.endsWith(QStringLiteral("   429    The voice could not be created    LN = 24\r\n"))) << text.toStdString();
    EXPECT_EQ(speech->spoken.value(0), text.trimmed());
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Lumora Sonified Chart Viewer "));
    EXPECT_EQ(control<QLabel>(*window, "LBLLR")->text(), QStringLiteral("Review and Edit Files Only with this Window"));
    EXPECT_FALSE(control<QLabel>(*window, "LBLLR")->isHidden());
    file.close();
    QFile::remove(log);
}

// The window's own voice is made at its start-up step: a voice that cannot be made is logged
// with that step's checkpoint, the window still opens, and it says that speech is not available.
TEST_F(WindowLifeTest, AVoiceThatCannotBeMadeIsLoggedAtItsStep)
{
    const QString log = StartUpSteps::logPath(Viewer::programFolder());
    QFile::remove(log);
    FormReview::voiceFactory = []() -> std::unique_ptr<QtSpeech> { throw std::runtime_error("no voice here"); };
    auto window = std::make_unique<FormReview>(nullptr, std::make_unique<QSettingsStore>(iniPath));
    FormReview::voiceFactory = nullptr;
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));

    QFile file(log);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(file.readAll());
    EXPECT_TRUE(text.endsWith(QStringLiteral("   1    no voice here    LN = 24\r\n"))) << text.toStdString();
    EXPECT_EQ(text.count(QStringLiteral("\r\n")), 1) << text.toStdString();
    QTRY_COMPARE(control<QLabel>(*window, "LBLCS")->text(), QStringLiteral("Speech is not available."));
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Lumora Sonified Chart Viewer "));
    file.close();
    QFile::remove(log);
}

// Every control a screen reader can reach says what it is.
void expectNamed(QAccessibleInterface *node, int depth, int &interactive)
{
    if (!node || depth > 30)
        return;
    const QAccessible::State state = node->state();
    if (state.invisible)
        return;
    static const QList<QAccessible::Role> interactiveRoles = {
        QAccessible::PushButton, QAccessible::EditableText, QAccessible::List, QAccessible::MenuItem,
        QAccessible::CheckBox, QAccessible::RadioButton, QAccessible::ComboBox, QAccessible::Chart,
        QAccessible::ButtonMenu, QAccessible::ListItem};
    if (interactiveRoles.contains(node->role()) || state.focusable) {
        ++interactive;
        const QString name = node->text(QAccessible::Name);
        const QObject *object = node->object();
        EXPECT_FALSE(name.trimmed().isEmpty()) << "role " << node->role() << " "
                                               << (object ? object->objectName().toStdString() : std::string("?"));
    }
    for (int i = 0; i < node->childCount(); ++i)
        expectNamed(node->child(i), depth + 1, interactive);
}

TEST_F(WindowLifeTest, ScreenReadersFindNamedControlsInTabOrderAndAChartThatDescribesItself)
{
    auto window = open();
    const QString file = generate(QStringLiteral("two.lmd"), {QStringLiteral("--channels"), QStringLiteral("2"), QStringLiteral("--rows"), QStringLiteral("300")});
    window->loadAfterStartUp(file);
    window->findChild<QListWidget *>(QStringLiteral("List1"))->addItem(QStringLiteral("a record"));

    int interactive = 0;
    expectNamed(QAccessible::queryAccessibleInterface(window.get()), 0, interactive);
    EXPECT_GT(interactive, 15);

    QAccessibleInterface *chart = QAccessible::queryAccessibleInterface(&window->chart());
    ASSERT_NE(chart, nullptr);
    EXPECT_EQ(chart->role(), QAccessible::Chart);
    // One short sentence, heard each time the chart takes the focus: the channels, the view's
    // time span and, while it is shown, the cursor's time.
    StripChartModel &model = window->viewer().chart;
    const auto time = [&model](int row) { return ChartPainter::timeOfDay(model.GetTime(row)); };
    EXPECT_EQ(chart->text(QAccessible::Description),
              QStringLiteral("2 channels, View from %1 to %2.").arg(time(0), time(299)));
    model.setXAxisMin(model.GetTime(100));
    EXPECT_EQ(chart->text(QAccessible::Description),
              QStringLiteral("2 channels, View from %1 to %2.").arg(time(100), time(299)));
    model.setToolBarMode(4);
    model.setCursorRow(150);
    QTest::qWait(400);
    EXPECT_EQ(chart->text(QAccessible::Description),
              QStringLiteral("2 channels, View from %1 to %2, Cursor at %3.").arg(time(100), time(299), time(150)));

    // Tab: command box, match list, buttons, chart, braille line.
    QStringList order;
    QWidget *w = window->findChild<QWidget *>(QStringLiteral("txtIn"));
    for (int i = 0; i < 200 && !order.contains(w->objectName()); i = i + 1, w = w->nextInFocusChain()) {
        if (qobject_cast<QLineEdit *>(w) || qobject_cast<QListWidget *>(w) || qobject_cast<QPushButton *>(w) || qobject_cast<ChartWidget *>(w))
            order << w->objectName();
    }
    ASSERT_GE(order.size(), 4);
    EXPECT_EQ(order.mid(0, 3), QStringList({"txtIn", "List1", "cmdLeft"}));
    EXPECT_EQ(order.mid(order.size() - 2), QStringList({"iStripChartX1", "BrailleView"}));

    // No menu shortcut takes a key a screen reader keeps for itself.
    for (QAction *action : window->findChildren<QAction *>()) {
        for (const QKeySequence &keys : action->shortcuts()) {
            for (int i = 0; i < keys.count(); ++i) {
                const Qt::Key key = keys[i].key();
                EXPECT_TRUE(key != Qt::Key_Insert && key != Qt::Key_CapsLock) << action->objectName().toStdString();
            }
        }
    }
    // Insert reaches the focused control untouched, so Insert combinations stay the screen reader's.
    EXPECT_FALSE(window->viewer().keyPress(QStringLiteral("Insert")));
}

} // namespace
