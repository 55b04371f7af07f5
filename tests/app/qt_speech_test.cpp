#include "app/qt_speech.h"
#include "support/sound_server.h"
#include <QMap>
#include <QProcess>
#include <algorithm>
#include <QStandardPaths>
#include <QTest>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

// Starts what the real-server tests need; false (with the reason) when this machine lacks it.
bool realServerReady(std::string &why)
{
    if (QStandardPaths::findExecutable(QStringLiteral("spd-say")).isEmpty()
        || QStandardPaths::findExecutable(QStringLiteral("speech-dispatcher")).isEmpty()) {
        why = "needs speech-dispatcher and spd-say";
        return false;
    }
    if (const QString problem = useSoundServer(); !problem.isEmpty()) {
        why = problem.toStdString();
        return false;
    }
    return true;
}

struct Report {
    qint64 seq;
    QString text;
    QtSpeech::Stage stage;
};

// Against a real speech-dispatcher on PulseAudio's null sink, while another client (as a
// screen reader would) keeps talking at the same priority: nothing of ours is lost, nothing
// overlaps, and everything is heard in the program's order.
TEST(QtSpeech, EveryUtteranceBeginsAndEndsInOrderWhileAnotherClientTalks)
{
    std::string why;
    if (!realServerReady(why))
        GTEST_SKIP() << why;
    const QString spdSay = QStandardPaths::findExecutable(QStringLiteral("spd-say"));

    QtSpeech speech;
    if (!speech.waitForConnection(30000))
        GTEST_SKIP() << "speech-dispatcher could not be reached: " << speech.problem().toStdString();

    QList<Report> reports;
    QObject::connect(&speech, &QtSpeech::stageChanged, [&](qint64 seq, const QString &text, QtSpeech::Stage stage) {
        reports.append({seq, text, stage});
    });

    QProcess other;
    other.start(QStringLiteral("sh"), {QStringLiteral("-c"),
                                       QStringLiteral("while true; do \"$0\" -w -P message 'Other program.'; done"),
                                       spdSay});
    ASSERT_TRUE(other.waitForStarted());
    QTest::qWait(400);   // its speech is under way

    const QStringList said = {QStringLiteral("Top  4"), QStringLiteral("Bottom  0")};
    speech.speakAsync(QStringLiteral("Loading."));
    for (const QString &text : said)
        speech.speak(text);

    other.kill();
    other.waitForFinished();

    // Each utterance: sent, queued by the server, begun, ended; the next begins only after.
    QMap<qint64, QList<QtSpeech::Stage>> stages;
    QList<qint64> begunOrder;
    qint64 open = 0;
    for (const Report &r : std::as_const(reports)) {
        stages[r.seq] << r.stage;
        if (r.stage == QtSpeech::Stage::Begun) {
            EXPECT_EQ(open, 0) << "utterance " << r.seq << " began while " << open << " was still speaking";
            open = r.seq;
            begunOrder << r.seq;
        } else if (r.stage == QtSpeech::Stage::Ended && open == r.seq) {
            open = 0;
        }
    }
    const QList<QtSpeech::Stage> whole = {QtSpeech::Stage::Waiting, QtSpeech::Stage::Queued, QtSpeech::Stage::Begun,
                                         QtSpeech::Stage::Ended};
    ASSERT_EQ(stages.size(), 3);
    for (auto it = stages.cbegin(); it != stages.cend(); ++it)
        EXPECT_EQ(it.value(), whole) << "utterance " << it.key();
    EXPECT_EQ(begunOrder, QList<qint64>({1, 2, 3}));
}

// Beside a screen reader, another client's MESSAGE (Orca speaks at that priority) cuts our
// line short at once instead of waiting for its end; our next line follows, whole.
TEST(QtSpeech, BesideAScreenReaderItsSpeechCutsOursShortAndOursGoesOnAfter)
{
    std::string why;
    if (!realServerReady(why))
        GTEST_SKIP() << why;
    QtSpeech speech;
    if (!speech.waitForConnection(30000))
        GTEST_SKIP() << "speech-dispatcher could not be reached: " << speech.problem().toStdString();
    speech.setYielding(true);

    QList<Report> reports;
    QObject::connect(&speech, &QtSpeech::stageChanged, [&](qint64 seq, const QString &text, QtSpeech::Stage stage) {
        reports.append({seq, text, stage});
    });
    const auto reached = [&](qint64 seq, QtSpeech::Stage stage) {
        return std::any_of(reports.cbegin(), reports.cend(), [&](const Report &r) { return r.seq == seq && r.stage == stage; });
    };

    QString notes = QStringLiteral("Additional Notes");
    for (int i = 0; i < 12; ++i)
        notes += QStringLiteral(" The dish was pointed at the zenith for the whole night.");
    speech.speakAsync(notes);
    ASSERT_TRUE(QTest::qWaitFor([&] { return reached(1, QtSpeech::Stage::Begun); }, 20000));
    QTest::qWait(300);
    ASSERT_EQ(QProcess::execute(QStandardPaths::findExecutable(QStringLiteral("spd-say")),
                                {QStringLiteral("-P"), QStringLiteral("message"), QStringLiteral("Command text.")}),
              0);
    speech.speak(QStringLiteral("Name Hilltop Dish"));

    QList<QtSpeech::Stage> first, second;
    int cut = -1, nextBegun = -1;
    for (int i = 0; i < reports.size(); ++i) {
        (reports[i].seq == 1 ? first : second) << reports[i].stage;
        if (reports[i].seq == 1 && reports[i].stage == QtSpeech::Stage::Cancelled)
            cut = i;
        if (reports[i].seq == 2 && reports[i].stage == QtSpeech::Stage::Begun)
            nextBegun = i;
    }
    EXPECT_EQ(first.value(first.size() - 1), QtSpeech::Stage::Cancelled) << "the long line was not cut short";
    EXPECT_EQ(second.value(second.size() - 1), QtSpeech::Stage::Ended);
    EXPECT_GE(nextBegun, 0);
    EXPECT_LT(cut, nextBegun);
}

} // namespace
