#include "app/qt_speech.h"
#include "support/sound_server.h"
#include <QProcess>
#include <QStandardPaths>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// Against a real speech-dispatcher on the tests' own sound server, while another client talks
// as a screen reader would.
class QtSpeech : public ::testing::Test {
protected:
    using Stage = ::QtSpeech::Stage;
    struct Report {
        qint64 seq;
        Stage stage;
        bool operator==(const Report &) const = default;
    };
    std::unique_ptr<::QtSpeech> speech;
    QList<Report> reports;
    QString spdSay = QStandardPaths::findExecutable(QStringLiteral("spd-say"));

    void SetUp() override
    {
        if (spdSay.isEmpty() || QStandardPaths::findExecutable(QStringLiteral("speech-dispatcher")).isEmpty())
            GTEST_SKIP() << "needs speech-dispatcher and spd-say";
        if (const QString problem = useSoundServer(); !problem.isEmpty())
            GTEST_SKIP() << problem.toStdString();
        speech = std::make_unique<::QtSpeech>();
        if (!speech->waitForConnection(30000))
            GTEST_SKIP() << "speech-dispatcher could not be reached: " << speech->problem().toStdString();
        QObject::connect(speech.get(), &::QtSpeech::stageChanged,
                         [this](qint64 seq, const QString &, Stage stage) { reports.append({seq, stage}); });
    }
    QList<Stage> stagesOf(qint64 seq) const
    {
        QList<Stage> stages;
        for (const Report &r : reports)
            if (r.seq == seq)
                stages << r.stage;
        return stages;
    }
    qsizetype indexOf(qint64 seq, Stage stage) const { return reports.indexOf(Report{seq, stage}); }
};

// Another client talking at the same priority: nothing of ours is lost, nothing overlaps, and
// everything is heard in the program's order.
TEST_F(QtSpeech, EveryUtteranceBeginsAndEndsInOrderWhileAnotherClientTalks)
{
    QProcess other;
    other.start(QStringLiteral("sh"), {"-c", "while true; do \"$0\" -w -P message 'Other program.'; done", spdSay});
    ASSERT_TRUE(other.waitForStarted());
    QTest::qWait(400);   // its speech is under way
    speech->speakAsync(QStringLiteral("Loading."));
    speech->speak(QStringLiteral("Top  4"));
    speech->speak(QStringLiteral("Bottom  0"));
    other.kill();
    other.waitForFinished();

    // Each utterance: sent, queued by the server, begun, ended; the next begins only after.
    for (qint64 seq = 1; seq <= 3; ++seq)
        EXPECT_EQ(stagesOf(seq), (QList<Stage>{Stage::Waiting, Stage::Queued, Stage::Begun, Stage::Ended})) << "utterance " << seq;
    EXPECT_LT(indexOf(1, Stage::Ended), indexOf(2, Stage::Begun));
    EXPECT_LT(indexOf(2, Stage::Ended), indexOf(3, Stage::Begun));
}

// Beside a screen reader, another client's MESSAGE (Orca speaks at that priority) cuts our
// line short at once instead of waiting for its end; our next line follows, whole.
TEST_F(QtSpeech, BesideAScreenReaderItsSpeechCutsOursShortAndOursGoesOnAfter)
{
    speech->setYielding(true);
    QString notes = QStringLiteral("Additional Notes");
    for (int i = 0; i < 12; ++i)
        notes += QStringLiteral(" The dish was pointed at the zenith for the whole night.");
    speech->speakAsync(notes);
    ASSERT_TRUE(QTest::qWaitFor([&] { return indexOf(1, Stage::Begun) >= 0; }, 20000));
    QTest::qWait(300);
    ASSERT_EQ(QProcess::execute(spdSay, {"-P", "message", "Command text."}), 0);
    speech->speak(QStringLiteral("Name Hilltop Dish"));

    EXPECT_EQ(stagesOf(1).value(stagesOf(1).size() - 1), Stage::Cancelled) << "the long line was not cut short";
    EXPECT_EQ(stagesOf(2).value(stagesOf(2).size() - 1), Stage::Ended);
    EXPECT_LT(indexOf(1, Stage::Cancelled), indexOf(2, Stage::Begun));
}

} // namespace
