#include "data/file_naming.h"
#include "support/fakes.h"
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace FileNaming;

TEST(SaveNaming, FolderNamesKeepOnlyLettersDigitsAndUnderscores)
{
    EXPECT_EQ(NameDir(QStringLiteral("My Station          ")), QStringLiteral("My_Station"));
    EXPECT_EQ(NameDir(QString(20, QLatin1Char(' '))), QStringLiteral("_"));
    EXPECT_EQ(NameDir(QStringLiteral("Obs.Site #2")), QStringLiteral("Obs_Site__2"));
    EXPECT_EQ(NameDir(QStringLiteral("Zürich")), QStringLiteral("Z_rich"));
    EXPECT_EQ(NameDir(QString()), QString());
    // Two characters or fewer keep their trailing underscore.
    EXPECT_EQ(NameDir(QStringLiteral("a.")), QStringLiteral("a_"));

    EXPECT_EQ(SlantTrim(QStringLiteral("C:\\data\\")), QStringLiteral("C:\\data"));
    EXPECT_EQ(SlantTrim(QStringLiteral("C:\\data")), QStringLiteral("C:\\data"));
    EXPECT_EQ(SlantTrim(QStringLiteral("/srv/obs//")), QStringLiteral("/srv/obs"));
    EXPECT_EQ(SlantTrim(QString()), QString());
}

TEST(SaveNaming, FileNameIsTheFirstSampleTime)
{
    const double day = 45372 + (21 * 3600 + 5 * 60 + 9) / 86400.0;   // 2024-03-21 21:05:09
    EXPECT_EQ(dataFileNameFor(day, false), QStringLiteral("240321210509.lmd"));
    EXPECT_EQ(dataFileNameFor(day, true), QStringLiteral("UT240321210509.lmd"));
    // Half a second before midnight names the next day, never "24" hours or "60" seconds.
    EXPECT_EQ(dataFileNameFor(45372 + 86399.6 / 86400.0, false), QStringLiteral("240322000000.lmd"));
}

TEST(SaveNaming, FoldersFollowTheLayoutAndTheStationFolderIsAlwaysMade)
{
    QTemporaryDir tmp;
    const QString sep = QDir::separator();
    const QString base = QDir::toNativeSeparators(tmp.path());
    const double day = 45372.5;   // 2024-03-21 12:00:00
    struct Case {
        bool month, day;
        QString folder;
    } cases[] = {{false, false, base},
                 {true, false, base + sep + "Obs_Site__2" + sep + "2403"},
                 {false, true, base + sep + "240321"},
                 {true, true, base + sep + "Obs_Site__2" + sep + "2403" + sep + "240321"}};
    for (const Case &c : cases) {
        FolderLayout layout;
        layout.dataDirectory = base + sep;   // a trailing separator is trimmed
        layout.byMonth = c.month;
        layout.byDay = c.day;
        const QString proposed = proposedPath(day, true, QStringLiteral("Obs.Site #2         "), layout);
        EXPECT_EQ(proposed, c.folder + sep + "UT240321120000.lmd") << c.month << c.day;
        EXPECT_TRUE(QFileInfo(c.folder).isDir());
        EXPECT_TRUE(QFileInfo(base + sep + "Obs_Site__2").isDir());
    }
}

TEST(SaveNaming, LayoutSettingsDefaultToOrganizedFolders)
{
    FakeSettings s;
    FolderLayout layout = FolderLayout::fromSettings(s);
    EXPECT_TRUE(layout.byMonth);
    EXPECT_TRUE(layout.byDay);
    EXPECT_FALSE(layout.dataDirectory.isEmpty());

    s.write(QStringLiteral("Settings"), QStringLiteral("OrganizeByMonth"), QStringLiteral("False"));
    s.write(QStringLiteral("Settings"), QStringLiteral("OrganizeByDay"), QStringLiteral("true"));
    s.write(QStringLiteral("Settings"), QStringLiteral("DataDirectory"), QStringLiteral("/srv/obs"));
    layout = FolderLayout::fromSettings(s);
    EXPECT_FALSE(layout.byMonth);
    EXPECT_TRUE(layout.byDay);
    EXPECT_EQ(layout.dataDirectory, QStringLiteral("/srv/obs"));
}
