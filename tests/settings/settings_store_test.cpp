#include "settings/qsettings_store.h"
#include "settings/text_ini_format.h"
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

class SettingsFileTest : public ::testing::Test {
protected:
    QTemporaryDir folder;
    QString path = folder.filePath(QStringLiteral("viewer.ini"));

    void writeFile(const QByteArray &text)
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }
    QByteArray fileText()
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
};

TEST_F(SettingsFileTest, EveryValueReadsBackAsTheTextWritten)
{
    const QStringList values = {QStringLiteral("Obs, Site"),    QStringLiteral("\"quoted\" words"),
                                QStringLiteral("  leading blank"), QStringLiteral("trailing blank "),
                                QStringLiteral("Ærø Observatoriet, Ålborg"), QStringLiteral("C:\\Data\\x\\n"),
                                QStringLiteral("two\nlines\ttab"),  QStringLiteral("@Variant(not one)"),
                                QStringLiteral("a = b ; c # d"),     QString(),
                                QStringLiteral("\""),               QStringLiteral("1/1/1999")};
    {
        QSettingsStore store(path);
        for (int i = 0; i < values.size(); ++i)
            store.write(QStringLiteral("Settings"), QStringLiteral("Key%1").arg(i), values[i]);
    }
    QSettingsStore again(path);
    for (int i = 0; i < values.size(); ++i)
        EXPECT_EQ(again.read(QStringLiteral("Settings"), QStringLiteral("Key%1").arg(i), QStringLiteral("absent")), values[i]) << i;
    EXPECT_EQ(again.read(QStringLiteral("Settings"), QStringLiteral("Other"), QStringLiteral("absent")), QStringLiteral("absent"));

    // Plain values stay plain lines a person can read and change.
    const QString text = QString::fromUtf8(fileText());
    EXPECT_TRUE(text.contains(QStringLiteral("[Settings]\n")));
    EXPECT_TRUE(text.contains(QStringLiteral("Key0=Obs, Site\n")));
    EXPECT_TRUE(text.contains(QStringLiteral("Key4=Ærø Observatoriet, Ålborg\n")));
    EXPECT_TRUE(text.contains(QStringLiteral("Key2=\"  leading blank\"\n")));
}

TEST_F(SettingsFileTest, HandWrittenFileReadsAsTyped)
{
    writeFile("; my station\n[Settings]\nLocalName=Obs, Site\n  QTH = Rural, far away  \nAuthor=\"  J. Doe\"\n"
              "DataDirectory=C:\\Lumora\\data\n[Colors]\r\nBackGroundColor=&HFFFFFF\r\n[General]\nTop=1\n");
    QSettingsStore store(path);
    const auto settings = [&](const char *key) { return store.read(QStringLiteral("Settings"), QLatin1String(key), QStringLiteral("?")); };
    EXPECT_EQ(settings("LocalName"), QStringLiteral("Obs, Site"));
    EXPECT_EQ(settings("QTH"), QStringLiteral("Rural, far away"));
    EXPECT_EQ(settings("Author"), QStringLiteral("  J. Doe"));
    EXPECT_EQ(settings("DataDirectory"), QStringLiteral("C:\\Lumora\\data"));
    EXPECT_EQ(store.read(QStringLiteral("Colors"), QStringLiteral("BackGroundColor"), {}), QStringLiteral("&HFFFFFF"));

    // Writing one key keeps the others as they were.
    store.write(QStringLiteral("Settings"), QStringLiteral("LocalRun"), QStringLiteral("OK"));
    store.sync();
    QSettingsStore again(path);
    EXPECT_EQ(again.read(QStringLiteral("Settings"), QStringLiteral("LocalName"), {}), QStringLiteral("Obs, Site"));
    EXPECT_EQ(again.read(QStringLiteral("Settings"), QStringLiteral("LocalRun"), {}), QStringLiteral("OK"));
}

TEST_F(SettingsFileTest, TwoProcessesWritingAtOnceLoseNothing)
{
    constexpr int Keys = 40;
    const auto writer = [&](const char *who) {
        QSettingsStore store(path);
        for (int i = 0; i < Keys; ++i) {
            store.write(QStringLiteral("Recent"), QStringLiteral("%1_%2").arg(QLatin1String(who)).arg(i), QStringLiteral("path, %1").arg(i));
            store.sync();
        }
    };
    pid_t children[2];
    const char *names[2] = {"first", "second"};
    for (int c = 0; c < 2; ++c) {
        children[c] = fork();
        ASSERT_GE(children[c], 0);
        if (children[c] == 0) {
            writer(names[c]);
            _exit(0);
        }
    }
    for (pid_t child : children) {
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    QSettingsStore store(path);
    for (const char *who : names)
        for (int i = 0; i < Keys; ++i)
            EXPECT_EQ(store.read(QStringLiteral("Recent"), QStringLiteral("%1_%2").arg(QLatin1String(who)).arg(i), {}),
                      QStringLiteral("path, %1").arg(i)) << who << i;
}

} // namespace
