#include "archive/veyra_archive.h"
#include "archive/archive_dates.h"
#include "archive/archive_search.h"
#include "archive/download_words.h"
#include "archive/open_kinds.h"
#include "settings/program_folder.h"
#include "util/leading_number.h"
#include "ports/settings_store.h"
#include "ports/window_surface.h"
#include "voice/number_forms.h"
#include "voice/speech.h"
#include <QDir>
#include <QFileInfo>
#include <algorithm>

namespace {

const QString Section = QStringLiteral("Settings");
constexpr qint64 DefaultMaxDownloadMB = 512;

struct FileKind {
    QString ArchiveRecord::*field;
    const char *missing;
};

FileKind kindOf(QChar key)
{
    switch (key.unicode()) {
    case u'S': return {&ArchiveRecord::DataFile, "No Lumora file associated with this record."};
    case u'W': return {&ArchiveRecord::SoundFile, "No sound file associated with this record."};
    case u'I': return {&ArchiveRecord::ImageFile, "No image file associated with this record."};
    default: return {&ArchiveRecord::TextFile, "No text file associated with this record."};
    }
}

} // namespace

VeyraArchive::VeyraArchive(Speech &speech, WindowSurface &surface, MessagePump &pump, SettingsStore &settings)
    : downloader(speech, pump), index(speech, pump, settings, downloader), List1(speech, surface),
      speech_(speech), surface_(surface), settings_(settings)
{
    List1.fetchFile = [this](qsizetype record, QChar kind) { fetchFile(record, kind); };
}

QUrl VeyraArchive::archiveAddress(const QString &relative) const
{
    const QString setting = settings_.read(Section, QStringLiteral("ArchiveURL"), QString()).trimmed();
    if (setting.isEmpty())
        return QUrl();
    QUrl url(setting);
    url.setFragment(QString());
    QString path = url.path(QUrl::FullyDecoded);
    if (!path.endsWith(u'/'))
        path += u'/';
    url.setPath(path + relative, QUrl::DecodedMode);
    return url;
}

QString VeyraArchive::downloadFolder() const
{
    return ProgramFolder::downloadFolder(settings_.read(Section, QStringLiteral("DataDirectory"), QString()), programFolder);
}

bool VeyraArchive::isOwnFile(const QString &path) const
{
    const QString target = QFileInfo(path).absoluteFilePath();
    QStringList own = ownFiles;
    own << QDir(programFolder).filePath(QLatin1String(ArchiveIndex::LocalFileName));
    for (const QString &file : own) {
        if (target.compare(QFileInfo(file).absoluteFilePath(), Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

void VeyraArchive::speakNoArchive()
{
    speech_.speak(QStringLiteral("No archive address is set: put the archive's web address as ArchiveURL in the "
                                 "Settings section of the program's settings, then search again."));
}

bool VeyraArchive::searchFlow(const QString &answer)
{
    // A copy: the command box may be emptied (Escape) while the index is fetched.
    const QString typed = answer;
    // What the user typed is judged first: a typing slip is worth hearing before the setting.
    const auto moment = parseArchiveMoment(typed, locale);
    if (!moment) {
        speech_.speak(typed + QStringLiteral(" cannot be interpreted as a date."));
        return false;
    }
    const QUrl indexAddress = archiveAddress(QLatin1String(ArchiveIndex::RemoteFileName));
    if (indexAddress.isEmpty()) {
        speakNoArchive();
        return false;
    }
    index.localIndexPath = QDir(programFolder).filePath(QLatin1String(ArchiveIndex::LocalFileName));
    index.remoteIndexUrl = indexAddress.toString(QUrl::FullyEncoded);
    index.PrepareArchiveIndex(*moment);
    // Even an index of one recording is searched.
    if (index.highestRecord() >= 1)
        DoFind(typed);
    else
        List1.clear();
    const qsizetype found = List1.entries().size();
    speech_.speak(QStringLiteral("Matching Files for ") + typed + QStringLiteral("  ") + NumberForms::signPadded(double(found)));
    if (found == 0)
        return false;
    surface_.setFocus(QStringLiteral("List1"));
    return true;
}

void VeyraArchive::DoFind(const QString &answer)
{
    const QString typed = answer;
    List1.clear();
    SearchMoment = parseArchiveMoment(typed, locale).value_or(0);
    DateOnlySearch = isDateOnly(SearchMoment);
    speech_.speak(QStringLiteral("Searching Records."));
    const auto entries = matchEntries(index.ArchiveRecords, SearchMoment, locale, speech_);
    if (!entries) {
        speech_.speak(QStringLiteral("Search cancelled by user."));
        speech_.AbortRequested = false;
        return;
    }
    List1.setEntries(*entries);
}

void VeyraArchive::fetchFile(qsizetype record, QChar kind)
{
    const FileKind file = kindOf(kind);
    static const ArchiveRecord empty;
    const ArchiveRecord &r = record > 0 && record < index.ArchiveRecords.size() ? index.ArchiveRecords[record] : empty;
    const QString name = r.*file.field;
    if (name.isEmpty()) {
        speech_.speak(QLatin1String(file.missing));
        return;
    }
    if (!isPlainFileName(name)) {
        speech_.speak(QStringLiteral("The file name of this record is not safe to use, so it was not downloaded."));
        return;
    }
    const QUrl url = archiveAddress(QStringLiteral("vadataclean/") + name);
    if (url.isEmpty()) {
        speakNoArchive();
        return;
    }
    const QString localPath = QDir(downloadFolder()).filePath(name);
    if (isOwnFile(localPath)) {
        speech_.speak(DownloadWords::shortened(name) + QStringLiteral(" is the name of one of this program's own files, so it "
                                                                       "was not downloaded. Set DataDirectory to a folder for downloads."));
        return;
    }
    DownloadOptions options;
    const qint64 megabytes = qint64(leadingNumber(settings_.read(Section, QStringLiteral("MaxDownloadMB"), QString::number(DefaultMaxDownloadMB))));
    options.maxBytes = std::clamp(megabytes > 0 ? megabytes : DefaultMaxDownloadMB, qint64(1), qint64(1) << 30) << 20;
    options.capName = QStringLiteral("the setting MaxDownloadMB");
    // W, I and T say themselves where the file went: it may not be opened.
    options.announceSaved = kind == u'S';
    // A failed or cancelled download has said why; nothing is loaded or opened then.
    if (!downloader.doDownload(url.toString(QUrl::FullyEncoded), localPath, options))
        return;
    if (kind == u'S') {
        if (loadFile)
            loadFile(localPath);
    } else {
        openDownloaded(localPath, kind);
    }
}

void VeyraArchive::openDownloaded(const QString &localPath, QChar kind)
{
    const QString name = DownloadWords::shortened(QFileInfo(localPath).fileName());
    if (!OpenKinds::fits(localPath, kind)) {
        const QString folder = QFileInfo(localPath).absolutePath();
        speech_.speak(QStringLiteral("Saved ") + name + QStringLiteral(" in ") + QDir::toNativeSeparators(folder)
                      + QStringLiteral("; not opened, it is not a%1 %2 file.")
                            .arg(kind == u'I' ? QStringLiteral("n") : QString(), OpenKinds::kindWord(kind)));
        speech_.folderSpoken(folder);
        return;
    }
    downloader.announceSaved(localPath);
    if (!desktop->openWithDesktop(localPath))
        speech_.speak(QStringLiteral("No program was found to open ") + name + u'.');
}
