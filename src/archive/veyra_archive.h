#pragma once
#include "archive/archive_index.h"
#include "archive/downloader.h"
#include "archive/match_list.h"
#include "ports/desktop_port.h"
#include <QLocale>
#include <QStringList>
#include <QUrl>
#include <functional>

class Speech;
class WindowSurface;
class MessagePump;
class SettingsStore;

// The Veyra Archive as the command box and the match list reach it: the search on a typed
// date, and fetching a found recording's files. The archive's web address is the setting
// ArchiveURL; the index lies there as "varecords_sort.txt", the recordings under "vadataclean/".
class VeyraArchive {
public:
    VeyraArchive(Speech &speech, WindowSurface &surface, MessagePump &pump, SettingsStore &settings);

    Downloader downloader;
    ArchiveIndex index;
    MatchList List1;

    // How dates are typed and shown; the user's own locale unless a test says otherwise.
    QLocale locale = QLocale::system();
    // The program folder, where the index copy lives (set at start-up).
    QString programFolder;
    // Files of the program (its log, its help): no download is ever written over them.
    QStringList ownFiles;
    // Loads a downloaded data file as the recent-files menu does.
    std::function<void(const QString &path)> loadFile;
    DesktopPort *desktop = &noDesktop_;

    // The answer typed at the archive prompt. True when recordings were found and the focus
    // moved to the match list (the prompt then stays waiting).
    bool searchFlow(const QString &typed);
    // Fills the match list with the records that cover the typed moment.
    void DoFind(const QString &typed);

    double SearchMoment = 0;
    bool DateOnlySearch = false;

    // The address of `relative` in the archive named by ArchiveURL; empty when it is not set.
    // The setting's query (an access key, say) is kept, a fragment is dropped.
    QUrl archiveAddress(const QString &relative) const;
    // Where a record's files go: DataDirectory, or the program folder's "Downloads".
    QString downloadFolder() const;

private:
    void fetchFile(qsizetype record, QChar kind);
    bool isOwnFile(const QString &path) const;
    // Opens a downloaded sound, image or text file with the desktop, if it really is one.
    void openDownloaded(const QString &localPath, QChar kind);
    void speakNoArchive();

    Speech &speech_;
    WindowSurface &surface_;
    SettingsStore &settings_;
    NoDesktop noDesktop_;
};
