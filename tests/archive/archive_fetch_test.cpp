#include "archive_search_fixture.h"
#include <QFileInfo>

using ArchiveSupport::recordLine;

// Fetching a found recording's files: where they go, what is opened, what is refused.
namespace {

const QByteArray Png = QByteArray::fromHex("89504e470d0a1a0a0000000d49484452") + QByteArray(32, '\0');
const QByteArray Wav("RIFF\x24\0\0\0WAVEfmt ", 16);

class ArchiveFetchTest : public ArchiveSearchTest {
protected:
    // One recording on 2/2/2004 with these image, data, text and sound files, found and selected.
    void findRecording(const QStringList &files)
    {
        serveIndex(recordLine("2/2/2004", "0000", "2/2/2004", "0100", "Files", files));
        viewer.archive.index.ArchiveRecords.clear();   // read the new index
        QFile::remove(path(QLatin1String(ArchiveIndex::LocalFileName)));
        search("2/2/2004");
        ASSERT_EQ(entries().size(), 1);
        viewer.archive.List1.select(0);
    }
    void serveFile(const QByteArray &name, const QByteArray &bytes) { server.serve("/archive/vadataclean/" + name, bytes); }
    QString savedIn(const QString &name, const QString &folder, const char *kind) const
    {
        return QStringLiteral("Saved %1 in %2; not opened, it is not %3 file.").arg(name, QDir::toNativeSeparators(folder), QLatin1String(kind));
    }
};

TEST_F(ArchiveFetchTest, OnlyTheKindTheKeyStandsForIsOpened)
{
    // Right bytes under a name of another kind are not enough.
    const QString folder = path("downloads");
    ASSERT_NO_FATAL_FAILURE(findRecording({"sky.html", "", "", ""}));
    serveFile("sky.html", Png);
    EXPECT_EQ(key("I").last(), savedIn("sky.html", folder, "an image"));

    // A right name on the wrong bytes is not enough.
    ASSERT_NO_FATAL_FAILURE(findRecording({"sky.png", "", "notes.txt", "tune.wav"}));
    serveFile("sky.png", "#!/bin/sh\necho not a picture\n");
    serveFile("notes.txt", "[Desktop Entry]\nType=Application\nExec=true\n");
    serveFile("tune.wav", "<html><body>not a sound</body></html>");
    EXPECT_EQ(key("I").last(), savedIn("sky.png", folder, "an image"));
    EXPECT_EQ(key("T").last(), savedIn("notes.txt", folder, "a text"));
    EXPECT_EQ(key("W").last(), savedIn("tune.wav", folder, "a sound"));

    serveFile("sky.png", Png);
    serveFile("notes.txt", "Meteor scatter, 23 December.\n");
    serveFile("tune.wav", Wav);
    EXPECT_EQ(key("I").mid(1), (QStringList{"Finished downloading.", "Saved sky.png"}));   // the folder was said
    key("T");
    key("W");
    const QString in = QDir::toNativeSeparators(folder) + u'/';
    EXPECT_EQ(desktop.opened, (QStringList{in + "sky.png", in + "notes.txt", in + "tune.wav"}));
}

TEST_F(ArchiveFetchTest, DownloadsHaveAFolderOfTheirOwnAndNeverReplaceTheProgramsFiles)
{
    settings.remove("Settings", "DataDirectory");
    ASSERT_NO_FATAL_FAILURE(findRecording({"", "rec.lmd", "", "sound.wav"}));
    serveFile("sound.wav", Wav);
    EXPECT_EQ(key("W").mid(2), (QStringList{"Saved sound.wav", "In folder " + QDir::toNativeSeparators(path("Downloads")) + "."}));

    // With the program folder chosen for downloads, its own files are still not written over.
    settings.write("Settings", "DataDirectory", dir.path());
    viewer.archive.ownFiles = {path("LoadErr.txt"), path("LMSonifyHelp.txt")};
    writeFile(path("LoadErr.txt"), "the log");
    ASSERT_NO_FATAL_FAILURE(findRecording({"", "VArecords.txt", "loaderr.txt", "LMSonifyHelp.txt"}));
    const QByteArray index = readFile(path("VArecords.txt"));
    serveFile("VArecords.txt", "planted");
    serveFile("loaderr.txt", "planted");
    serveFile("LMSonifyHelp.txt", "planted");
    const int asked = int(server.requested.size());
    for (const char *k : {"S", "T", "W"}) {
        const QStringList said = key(QLatin1String(k));
        EXPECT_TRUE(said.value(said.size() - 1).contains(" is the name of one of this program's own files, so it was not downloaded."))
            << k << ": " << said.join(" | ").toStdString();
    }
    EXPECT_EQ(server.requested.size(), asked) << "nothing is even asked for";
    EXPECT_FALSE(QFile::exists(path("LMSonifyHelp.txt")));
    EXPECT_EQ(readFile(path("LoadErr.txt")), "the log");
    EXPECT_EQ(readFile(path("VArecords.txt")), index);
}

TEST_F(ArchiveFetchTest, TheArchiveAddressKeepsItsQuery)
{
    settings.write("Settings", "ArchiveURL", server.url("/archive?key=1#top"));
    server.serve("/archive/varecords_sort.txt?key=1", recordLine("2/2/2004", "0000", "2/2/2004", "0100", "Q", {"", "", "", "s.wav"}).toUtf8());
    server.serve("/archive/vadataclean/s.wav?key=1", Wav);
    QFile::remove(path(QLatin1String(ArchiveIndex::LocalFileName)));
    search("2/2/2004");
    ASSERT_EQ(entries().size(), 1);
    viewer.archive.List1.select(0);
    key("W");
    EXPECT_TRUE(QFileInfo(path("downloads/s.wav")).isFile());
}

TEST_F(ArchiveFetchTest, ARecordingLargerThanMaxDownloadMBIsRefused)
{
    settings.write("Settings", "MaxDownloadMB", "1");
    ASSERT_NO_FATAL_FAILURE(findRecording({"", "big.lmd", "", ""}));
    serveFile("big.lmd", QByteArray((1 << 20) + 1, 'b'));
    EXPECT_EQ(key("S").last(), "Error downloading:The file is larger than the setting MaxDownloadMB (1 MB) allows.");
    EXPECT_FALSE(QFile::exists(path("downloads/big.lmd")));
}

} // namespace
