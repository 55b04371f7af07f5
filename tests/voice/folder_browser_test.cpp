#include "support/fakes.h"
#include "support/files.h"
#include "voice/folder_browser.h"
#include "voice/speech.h"
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct FolderFixture : ::testing::Test {
    FakeSpeech voice;
    FakeSurface surface;
    FakePump pump;
    Speech speech{voice, pump, surface};
    FolderBrowser folders{speech, surface};
    QTemporaryDir tmp;
    QString root;

    // root: y.txt, z.LMD, LMD, alpha/, beta/x.lmd, beta/gamma/w.lmd
    void SetUp() override
    {
        root = QDir::toNativeSeparators(tmp.path());
        QDir d(tmp.path());
        d.mkpath("alpha");
        d.mkpath("beta/gamma");
        for (const char *f : {"y.txt", "z.LMD", "LMD", "beta/x.lmd", "beta/gamma/w.lmd"})
            writeFile(d.filePath(f), {});
    }
};

} // namespace

TEST(PathText, NamesFoldersAndParents)
{
    const QString s = QDir::separator();
    EXPECT_EQ(FileNameOf(s + "a" + s + "b.lmd"), "b.lmd");
    EXPECT_EQ(FileNameOf("b.lmd"), "b.lmd");
    EXPECT_EQ(FolderOfPath(s + "a" + s + "b.lmd"), s + "a" + s);
    EXPECT_EQ(FolderOfPath("b.lmd"), "");
    EXPECT_EQ(ParentFolderOf(s + "data" + s + "sub"), s + "data" + s);
    EXPECT_EQ(ParentFolderOf(s + "data" + s), s);
    EXPECT_EQ(ParentFolderOf(s), s);   // nothing above the root
    EXPECT_EQ(ParentFolderOf("data"), "data");
}

TEST_F(FolderFixture, FolderListingSaysOneLevelAndFileListingWalksTheTree)
{
    folders.SpeakFolderNames(root);
    EXPECT_EQ(voice.spoken, QStringList({" 2 directories.", "alpha", "beta"}));
    EXPECT_FALSE(surface.busy);
    voice.spoken.clear();
    folders.SpeakFolderNames(root + QDir::separator() + "missing");
    EXPECT_EQ(voice.spoken, QStringList({" 0 directories."}));

    // Files: the whole tree, filtered by ending.
    voice.spoken.clear();
    folders.SpeakFileNames(root, "lmd");
    ASSERT_GE(voice.spoken.size(), 2);
    EXPECT_EQ(voice.spoken.mid(0, 2), QStringList({" 3 directories.", " 5 files."}));
    QStringList heard = voice.spoken.mid(2);
    heard.sort();
    // The ending is a plain suffix of the full path: the file named LMD matches too.
    EXPECT_EQ(heard, QStringList({"LMD", "w.lmd", "x.lmd", "z.LMD"}));
    EXPECT_EQ(FileNameOf(folders.LastAnnouncedFile), voice.spoken.last());
    EXPECT_TRUE(QFile::exists(folders.LastAnnouncedFile));
}

TEST_F(FolderFixture, EscapeStopsEitherListingAfterTheCurrentName)
{
    // Escape is pressed while the first name is being said.
    voice.onSpeak = [this](const QString &text) {
        if (!text.endsWith('.'))
            pump.script.push_back([this] { speech.AbortRequested = true; });
    };
    folders.SpeakFileNames(root);
    EXPECT_EQ(voice.spoken.size(), 3);
    EXPECT_EQ(FileNameOf(folders.LastAnnouncedFile), voice.spoken.last());
    EXPECT_FALSE(speech.AbortRequested);

    voice.spoken.clear();
    folders.SpeakFolderNames(root);
    EXPECT_EQ(voice.spoken, QStringList({" 2 directories.", "alpha"}));
    EXPECT_FALSE(speech.AbortRequested);
}
