#include "settings/recent_files.h"
#include "settings/qsettings_store.h"
#include "support/fakes.h"
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(RecentFiles, AListedPathMovesToTheFrontAndOnlyTheSamePathCounts)
{
    FakeSettings store;
    FakeSurface surface;
    RecentFiles recent{store, surface};
    for (const char *path : {"/d/1.lmd", "/d/2.lmd", "/d/3.lmd", "/d/4.lmd", "/d/5.lmd"})
        recent.AddRecentLoaded(QLatin1String(path));
    recent.AddRecentLoaded(QStringLiteral("/d/2.lmd"));
    EXPECT_EQ(recent.RecentLoaded, (RecentFiles::List{"/d/2.lmd", "/d/5.lmd", "/d/4.lmd", "/d/3.lmd", "/d/1.lmd"}));
    EXPECT_EQ(store.read("Recent", "RecentLoaded2", QString()), QStringLiteral("/d/5.lmd"));
    EXPECT_EQ(surface.captions.value(QStringLiteral("mnuRecentLoaded1")), QStringLiteral("/d/2.lmd"));

    // A sixth path drops the oldest; the saved list is a list of its own.
    recent.AddRecentLoaded(QStringLiteral("/d/6.lmd"));
    EXPECT_EQ(recent.RecentLoaded, (RecentFiles::List{"/d/6.lmd", "/d/2.lmd", "/d/5.lmd", "/d/4.lmd", "/d/3.lmd"}));

#if !defined(Q_OS_WIN) && !defined(Q_OS_MACOS)
    // Letter case makes another file here.
    recent.AddRecentLoaded(QStringLiteral("/D/5.LMD"));
    EXPECT_EQ(recent.RecentLoaded, (RecentFiles::List{"/D/5.LMD", "/d/6.lmd", "/d/2.lmd", "/d/5.lmd", "/d/4.lmd"}));
#endif
}

TEST(RecentFiles, BothListsComeBackFromTheStoreIntoTheirOwnMenus)
{
    FakeSettings store;
    FakeSurface surface;
    {
        RecentFiles before{store, surface};
        before.AddRecentLoaded(QStringLiteral("/d/loaded.lmd"));
        before.AddRecentSaved(QStringLiteral("/d/saved-old.lmd"));
        before.AddRecentSaved(QStringLiteral("/d/saved.lmd"));
    }
    surface.captions.clear();
    RecentFiles after{store, surface};
    after.GetRecentFiles();
    EXPECT_EQ(after.RecentLoaded, (RecentFiles::List{"/d/loaded.lmd", "", "", "", ""}));
    EXPECT_EQ(after.RecentSaved, (RecentFiles::List{"/d/saved.lmd", "/d/saved-old.lmd", "", "", ""}));
    EXPECT_EQ(surface.captions.value(QStringLiteral("mnuRecentLoaded1")), QStringLiteral("/d/loaded.lmd"));
    EXPECT_EQ(surface.captions.value(QStringLiteral("mnuRecentSaved2")), QStringLiteral("/d/saved-old.lmd"));
}

// Two running copies share one settings file: each list change starts from the stored lists,
// and a copy that writes its lists again (as closing does) does not put back older ones.
TEST(RecentFiles, TwoRunningCopiesKeepEachOthersFiles)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("viewer.conf"));
    QSettingsStore storeA(path), storeB(path);
    FakeSurface surfaceA, surfaceB;
    RecentFiles a{storeA, surfaceA}, b{storeB, surfaceB};
    a.GetRecentFiles();
    b.GetRecentFiles();
    a.AddRecentLoaded(QStringLiteral("/d/x.lmd"));
    b.AddRecentLoaded(QStringLiteral("/d/y.lmd"));
    EXPECT_EQ(b.RecentLoaded, (RecentFiles::List{"/d/y.lmd", "/d/x.lmd", "", "", ""}));
    EXPECT_EQ(surfaceB.captions.value(QStringLiteral("mnuRecentLoaded2")), QStringLiteral("/d/x.lmd"));

    storeA.write(QStringLiteral("Settings"), QStringLiteral("LastLoadDir"), QStringLiteral("/d"));   // A sees B's lists now
    a.SaveRecentFiles();
    b.SaveRecentFiles();
    QSettingsStore fresh(path);
    RecentFiles after{fresh, surfaceA};
    after.GetRecentFiles();
    EXPECT_EQ(after.RecentLoaded, (RecentFiles::List{"/d/y.lmd", "/d/x.lmd", "", "", ""}));

    a.AddRecentLoaded(QStringLiteral("/d/x.lmd"));   // listed: moves to the front of the stored list
    EXPECT_EQ(a.RecentLoaded, (RecentFiles::List{"/d/x.lmd", "/d/y.lmd", "", "", ""}));
}
