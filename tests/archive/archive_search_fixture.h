#pragma once
#include "archive/archive_search.h"
#include "archive_support.h"
#include "data/load_fixture.h"
#include "support/http_test_server.h"
#include <QDir>
#include <QFile>

struct FakeDesktop : DesktopPort {
    QStringList opened;
    bool openWithDesktop(const QString &path) override { return opened << path, true; }
};

// An archive on 127.0.0.1 with a few December 2003 recordings, and a viewer pointed at it.
class ArchiveSearchTest : public LoadFixture {
protected:
    HttpTestServer server;
    FakeDesktop desktop;

    void SetUp() override
    {
        LoadFixture::SetUp();
        VeyraArchive &a = viewer.archive;
        a.programFolder = dir.path();
        a.locale = QLocale(QLocale::English, QLocale::UnitedStates);
        a.index.today = [] { return ArchiveSupport::day(2026, 12, 6); };
        viewer.setDesktop(&desktop);
        settings.write("Settings", "ArchiveURL", server.url("/archive"));   // no final "/"
        settings.write("Settings", "DataDirectory", path("downloads"));
        using ArchiveSupport::recordLine;
        serveIndex(QStringLiteral("Veyra Archive recordings\n\n") +
                   recordLine("12/22/2003", "2300", "12/23/2003", "0200", "Evening") +
                   recordLine("12/23/2003", "2300", "12/24/2003", "0100", "Late") +
                   recordLine("12/23/2003", "1700", "12/23/2003", "1730", "Meteor", {"sky.png", "rec.lmd", "notes.txt", "sound.wav"}) +
                   recordLine("12/23/2003", "1731", "12/23/2003", "1800", "After") +
                   recordLine("12/24/2003", "0100", "12/24/2003", "0200", "Next day") +
                   recordLine("1/5/2004", "0000", "1/5/2004", "0100", "Unsafe", {"", "../evil.lmd", "", ""}));
    }

    void serveIndex(const QString &text) { server.serve("/archive/varecords_sort.txt", text.toUtf8()); }
    QStringList enter(const QString &text)
    {
        speech.spoken.clear();
        surface.setFocus(QStringLiteral("txtIn"));   // the user goes back to the command box
        viewer.commandText = text;
        viewer.keyPress(QStringLiteral("Return"));
        return speech.spoken;
    }
    QStringList search(const QString &typed)
    {
        key(QStringLiteral("Escape"));   // out of any prompt still waiting
        enter(QStringLiteral("VA"));
        return enter(typed);
    }
    QStringList key(const QString &name)
    {
        speech.spoken.clear();
        viewer.keyPress(name);
        return speech.spoken;
    }
    const QStringList &entries() const { return viewer.archive.List1.entries(); }
    int requestsFor(const QByteArray &path) const { return int(server.requested.count(path)); }
};
