#include "data/data_set.h"
#include "settings/qsettings_store.h"
#include "settings/text_ini_format.h"
#include "session/viewer.h"
#include "support/fakes.h"
#include "support/files.h"
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

class SettingsFileTest : public ::testing::Test {
protected:
    QTemporaryDir folder;
    QString path = folder.filePath(QStringLiteral("viewer.ini"));

    QByteArray fileText() const { return readFile(path); }
};

// Each value is read back from the file by a store of its own, so the file's text is what
// carries it: blanks at either end, quotes, control characters (one followed by a hex digit
// must not swallow it), backslashes that are no escape.
TEST_F(SettingsFileTest, EveryValueComesBackFromTheFileAsWritten)
{
    const QStringList values = {QStringLiteral("Obs, Site"),    QStringLiteral("\"quoted\" words"),
                                QStringLiteral("  leading blank"), QStringLiteral("trailing blank "),
                                QStringLiteral("Ærø Observatoriet, Ålborg"), QStringLiteral("C:\\Data\\x\\n"),
                                QStringLiteral("two\nlines\ttab"),  QStringLiteral("@Variant(not one)"),
                                QStringLiteral("a = b ; c # d"),     QString(),
                                QStringLiteral("\""),               QStringLiteral("1/1/1999"),
                                QStringLiteral("\x01" "F"),         QStringLiteral("end\x1f"),
                                QStringLiteral("\x7f" "7e"),        QStringLiteral("\t")};
    {
        QSettingsStore store(path);
        for (int i = 0; i < values.size(); ++i)
            store.write(QStringLiteral("Settings"), QStringLiteral("Key%1").arg(i), values[i]);
    }
    const TextIni::Values read = TextIni::parse(QString::fromUtf8(fileText()));
    QSettingsStore again(path);
    for (int i = 0; i < values.size(); ++i) {
        const QString key = QStringLiteral("Key%1").arg(i);
        EXPECT_EQ(read.value(QStringLiteral("Settings/") + key, QStringLiteral("absent")), values[i]) << i;
        EXPECT_EQ(again.read(QStringLiteral("Settings"), key, QStringLiteral("absent")), values[i]) << i;
    }
    EXPECT_EQ(again.read(QStringLiteral("Settings"), QStringLiteral("Other"), QStringLiteral("absent")), QStringLiteral("absent"));

    // Plain values stay plain lines a person can read and change.
    const QString text = QString::fromUtf8(fileText());
    EXPECT_TRUE(text.startsWith(QStringLiteral("[Settings]\nKey0=Obs, Site\n")));
    EXPECT_TRUE(text.contains(QStringLiteral("\nKey4=Ærø Observatoriet, Ålborg\n")));
}

TEST_F(SettingsFileTest, HandWrittenFileReadsAsTyped)
{
    writeFile(path, "Top=1\n; my station\n[Settings]\nLocalName=Obs, Site\n  QTH = Rural, far away  \nAuthor=\"  J. Doe\"\n"
              "DataDirectory=C:\\Lumora\\data\n[Colors]\r\nBackGroundColor=&HFFFFFF\r\n[general]\nLeft=2\n");
    QSettingsStore store(path);
    const auto settings = [&](const char *key) { return store.read(QStringLiteral("Settings"), QLatin1String(key), QStringLiteral("?")); };
    EXPECT_EQ(settings("LocalName"), QStringLiteral("Obs, Site"));
    EXPECT_EQ(settings("QTH"), QStringLiteral("Rural, far away"));
    EXPECT_EQ(settings("Author"), QStringLiteral("  J. Doe"));
    EXPECT_EQ(settings("DataDirectory"), QStringLiteral("C:\\Lumora\\data"));
    EXPECT_EQ(store.read(QStringLiteral("Colors"), QStringLiteral("BackGroundColor"), {}), QStringLiteral("&HFFFFFF"));
    // Keys above the first header, and under a [General] header in any letter case.
    EXPECT_EQ(store.read(QStringLiteral("General"), QStringLiteral("Top"), {}), QStringLiteral("1"));
    EXPECT_EQ(store.read(QStringLiteral("General"), QStringLiteral("Left"), {}), QStringLiteral("2"));
    EXPECT_EQ(store.read(QStringLiteral("Settings"), QStringLiteral("Top"), QStringLiteral("?")), QStringLiteral("?"));
}

// A change rewrites its own line and nothing else; a new key joins the end of its section.
TEST(TextIniChanges, OnlyTheChangedLinesMove)
{
    const auto set = [](const char *key, const char *value) { return TextIni::Changes{{QLatin1String(key), QString::fromUtf8(value)}}; };
    const auto apply = [](const char *text, const TextIni::Changes &changes) {
        return TextIni::apply(QString::fromUtf8(text), changes).toStdString();
    };
    TextIni::Changes several = {{QStringLiteral("A/x"), QStringLiteral("10 ")},
                                {QStringLiteral("A/new"), QStringLiteral("n")},
                                {QStringLiteral("B/y"), std::nullopt},
                                {QStringLiteral("C/z"), QStringLiteral("z")}};
    EXPECT_EQ(apply("; top\r\n[A]\r\n  x = 1\r\n\r\n; about B\r\n[B]\r\ny=2\r\njunk\r\ny=3\r\n", several),
              "; top\r\n[A]\r\n  x = \"10 \"\r\nnew=n\r\n\r\n; about B\r\n[B]\r\njunk\r\n\r\n[C]\r\nz=z\r\n");
    EXPECT_EQ(apply("[A]\nx=1", set("A/y", "2")), "[A]\nx=1\ny=2\n");
    EXPECT_EQ(apply("k=v\n[S]\n", set("General/n", "1")), "k=v\nn=1\n[S]\n");
    EXPECT_EQ(apply("[S]\n", set("General/n", "1")), "[S]\n\n[General]\nn=1\n");
    EXPECT_EQ(apply("", set("S/k", "v")), "[S]\nk=v\n");
    EXPECT_EQ(apply("[S]\nk=v\n", TextIni::Changes{{QStringLiteral("S/gone"), std::nullopt}}), "[S]\nk=v\n");
}

// A start writes the pen colours and the program folder, as it always has; everything else a
// person put in the file stays, and a start with nothing new to write leaves the file alone.
TEST_F(SettingsFileTest, HandEditsSurviveEveryStart)
{
    const QByteArray handWritten = "; Lumora settings, edited by hand\n# keep this\n\n[Settings]\nLocalName=Obs, Site\n\n"
                                   "this line is not a setting\nDataDirectory=/data/radio\n[Mine]\nWhatever=stays\n"
                                   "[Colors]\nChannel0PenColor=255\n";
    writeFile(path, handWritten);
    const auto start = [&] {
        FakeSpeech speech;
        FakeSurface surface;
        FakePump pump;
        QSettingsStore settings(path);
        Viewer viewer{Ports{speech, surface, pump, settings}};
        viewer.startUp();
        viewer.close();
    };
    start();
    const QList<QByteArray> after = fileText().split('\n');
    qsizetype at = 0;
    for (const QByteArray &line : handWritten.split('\n')) {
        while (at < after.size() && after[at] != line)
            ++at;
        ASSERT_LT(at, after.size()) << "lost or moved: " << line.toStdString();
        ++at;
    }
    QSettingsStore written(path);
    EXPECT_EQ(written.read(QStringLiteral("Colors"), QStringLiteral("Channel7PenColor"), {}), QStringLiteral("65280"));
    EXPECT_EQ(written.read(QStringLiteral("Settings"), QStringLiteral("LumoraPath"), {}), Viewer::programFolder());

    const QByteArray once = fileText();
    const QDateTime longAgo = QDateTime(QDate(2001, 1, 1), QTime(0, 0), Qt::UTC);
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite) && file.setFileTime(longAgo, QFileDevice::FileModificationTime));
    }
    start();
    EXPECT_EQ(fileText(), once);
    EXPECT_EQ(QFileInfo(path).lastModified().toUTC(), longAgo) << "rewritten with nothing changed";
}

// While an update runs, no other process can take the file's lock; afterwards it can. Two
// processes writing at once lose nothing: each write merges with the file under the lock.
TEST_F(SettingsFileTest, WritesHoldTheFileLockAndTwoProcessesWritingAtOnceLoseNothing)
{
    const QString lockPath = path + QLatin1String(".lock");
    const auto lockedElsewhere = [&] {
        const pid_t child = fork();
        if (child == 0) {
            QLockFile other(lockPath);
            _exit(other.tryLock(0) ? 0 : 1);
        }
        int status = 0;
        waitpid(child, &status, 0);
        return WIFEXITED(status) && WEXITSTATUS(status) == 1;
    };
    QSettingsStore store(path);
    bool duringUpdate = false;
    store.update([&] {
        store.write(QStringLiteral("Recent"), QStringLiteral("RecentLoaded1"), QStringLiteral("/d/x.lmd"));
        duringUpdate = lockedElsewhere();
    });
    EXPECT_TRUE(duringUpdate);
    EXPECT_FALSE(lockedElsewhere());
    EXPECT_EQ(QSettingsStore(path).read(QStringLiteral("Recent"), QStringLiteral("RecentLoaded1"), {}), QStringLiteral("/d/x.lmd"));

    const auto writer = [&](const QString &who) {
        for (int i = 0; i < 40; ++i)
            store.write(QStringLiteral("Recent"), who + QString::number(i), QStringLiteral("path, %1").arg(i));
    };
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        writer(QStringLiteral("child"));
        _exit(0);
    }
    writer(QStringLiteral("parent"));
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    store.write(QStringLiteral("Recent"), QStringLiteral("last"), QStringLiteral("x"));
    for (const QString who : {QStringLiteral("child"), QStringLiteral("parent")})
        for (int i = 0; i < 40; ++i)
            EXPECT_EQ(store.read(QStringLiteral("Recent"), who + QString::number(i), {}), QStringLiteral("path, %1").arg(i))
                << who.toStdString() << i;
}

// A stored time zone as a careless edit or a damaged file leaves it: read as something usable.
TEST(SettingsValues, ATimeZoneNoZoneCanBeReadsAsZero)
{
    FakeSettings settings;
    DataSet data;
    for (const char *zone : {"1e300", "-1e300", "inf", "nan", "40000", "25"}) {
        settings.values[QStringLiteral("Settings/TZ")] = QLatin1String(zone);
        data.getStaticHeaderInfo(settings);
        EXPECT_EQ(data.header.TimeZone, 0) << zone;
    }
    settings.values[QStringLiteral("Settings/TZ")] = QStringLiteral("-5.4");
    data.getStaticHeaderInfo(settings);
    EXPECT_EQ(data.header.TimeZone, -5);
}

} // namespace
