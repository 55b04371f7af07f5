#include "load_fixture.h"
#include <QDir>

using LoadDialog = LoadFixture;

TEST_F(LoadDialog, AsksInTheLastFolderAndRemembersTheChosenOne)
{
    settings.write(QStringLiteral("Settings"), QStringLiteral("DataDirectory"), QStringLiteral("/data/obs"));
    settings.remove(QStringLiteral("Settings"), QStringLiteral("LastLoadDir"));
    const QString file = generate(QStringLiteral("pick.lmd"), {"--rows", "10"});
    surface.dialogAnswers.push_back(file);

    viewer.loader.LoadDataFile();

    ASSERT_EQ(surface.dialogs.size(), 1);
    const FileDialogRequest &r = surface.dialogs[0];
    EXPECT_EQ(r.filter, QStringLiteral("Lumora data (*.lmd)|*.lmd|dat file (*.dat)|*.dat|Any (*.*)|*.*"));
    EXPECT_EQ(r.initialPath, QStringLiteral("/data/obs/*.lmd"));
    EXPECT_EQ(settings.read(QStringLiteral("Settings"), QStringLiteral("LastLoadDir"), QString()),
              dir.path() + QDir::separator());
    EXPECT_TRUE(viewer.data.FileLoaded);

    // The next dialog opens where the last file came from.
    viewer.loader.LoadDataFile();
    ASSERT_EQ(surface.dialogs.size(), 2);
    EXPECT_EQ(surface.dialogs[1].initialPath, dir.path() + QDir::separator() + QStringLiteral("*.lmd"));
}

TEST_F(LoadDialog, CancelOnlyClearsFileLoaded)
{
    load(generate(QStringLiteral("kept.lmd"), {"--rows", "10"}));
    ASSERT_TRUE(viewer.data.FileLoaded);
    speech.spoken.clear();
    const QString title = surface.windowTitle;

    viewer.actions.run(QStringLiteral("MnuLoadDataFile"));

    EXPECT_FALSE(viewer.data.FileLoaded);
    EXPECT_TRUE(viewer.data.DataReady);
    EXPECT_EQ(viewer.chart.rowCount(), 10);
    EXPECT_EQ(surface.windowTitle, title);
    EXPECT_TRUE(speech.spoken.isEmpty());
}
