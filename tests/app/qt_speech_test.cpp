#include "app/qt_speech.h"
#include "support/sound_server.h"
#include <QMap>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>
#include <gtest/gtest.h>

namespace {

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
    const QString spdSay = QStandardPaths::findExecutable(QStringLiteral("spd-say"));
    if (spdSay.isEmpty() || QStandardPaths::findExecutable(QStringLiteral("speech-dispatcher")).isEmpty())
        GTEST_SKIP() << "needs speech-dispatcher and spd-say";
    if (const QString problem = useSoundServer(); !problem.isEmpty())
        GTEST_SKIP() << problem.toStdString();

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

} // namespace
