#include "data/file_naming.h"
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cmath>
#include <gtest/gtest.h>

using namespace FileNaming;

TEST(SaveNaming, FolderAndFileNames)
{
    EXPECT_EQ(NameDir(QStringLiteral("My Station          ")), QStringLiteral("My_Station"));
    EXPECT_EQ(NameDir(QString(20, QLatin1Char(' '))), QStringLiteral("_"));
    EXPECT_EQ(NameDir(QStringLiteral("Obs.Site #2")), QStringLiteral("Obs_Site__2"));
    EXPECT_EQ(NameDir(QStringLiteral("a.")), QStringLiteral("a_"));   // two characters keep theirs
    EXPECT_EQ(SlantTrim(QStringLiteral("C:\\data\\")), QStringLiteral("C:\\data"));
    EXPECT_EQ(SlantTrim(QStringLiteral("/srv/obs//")), QStringLiteral("/srv/obs"));

    const double day = 45372 + (21 * 3600 + 5 * 60 + 9) / 86400.0;   // 2024-03-21 21:05:09
    EXPECT_EQ(dataFileNameFor(day, false), QStringLiteral("240321210509.lmd"));
    EXPECT_EQ(dataFileNameFor(day, true), QStringLiteral("UT240321210509.lmd"));
    // Half a second before midnight names the next day, never "24" hours or "60" seconds.
    EXPECT_EQ(dataFileNameFor(45372 + 86399.6 / 86400.0, false), QStringLiteral("240322000000.lmd"));
}

TEST(SaveNaming, TimeStampsOffTheCalendarAreNamedFromTheClock)
{
    const auto stamp = [](const QDateTime &t) { return t.toString(QStringLiteral("yyMMddHHmmss")); };
    const double offCalendar[] = {NAN, INFINITY, -INFINITY, 1e300, -1e300, 9.3e18, 3e6, -7e5};
    for (double day : offCalendar) {
        SCOPED_TRACE(day);
        const QString before = stamp(QDateTime::currentDateTimeUtc());
        const QString name = dataFileNameFor(day, true);
        const QString after = stamp(QDateTime::currentDateTimeUtc());
        ASSERT_EQ(name.size(), 18) << name.toStdString();
        EXPECT_GE(name.mid(2, 12), before);
        EXPECT_LE(name.mid(2, 12), after);
        EXPECT_FALSE(dateTimeOfDay(day).isValid());
    }
    // The first and last days of the calendar still name themselves.
    EXPECT_EQ(dataFileNameFor(-657434.0, false), QStringLiteral("000101000000.lmd"));
    EXPECT_EQ(dataFileNameFor(2958465.5, false), QStringLiteral("991231120000.lmd"));
}

TEST(SaveNaming, FoldersFollowTheLayoutAndTheStationFolderIsAlwaysMade)
{
    QTemporaryDir tmp;
    const QString sep = QDir::separator(), base = QDir::toNativeSeparators(tmp.path());
    const QString station = base + sep + "Obs_Site__2";
    const struct {
        bool month, day;
        QString folder;
    } cases[] = {{false, false, base},
                 {true, false, station + sep + "2403"},
                 {false, true, base + sep + "240321"},
                 {true, true, station + sep + "2403" + sep + "240321"}};
    for (const auto &c : cases) {
        const FolderLayout layout{base + sep, c.month, c.day};   // the trailing separator is trimmed
        EXPECT_EQ(proposedPath(45372.5, true, QStringLiteral("Obs.Site #2         "), layout),
                  c.folder + sep + "UT240321120000.lmd");
        EXPECT_TRUE(QFileInfo(c.folder).isDir());
        EXPECT_TRUE(QFileInfo(station).isDir());
    }
}
