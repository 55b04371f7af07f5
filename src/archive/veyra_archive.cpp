#include "archive/veyra_archive.h"
#include "archive/archive_dates.h"
#include "archive/archive_search.h"
#include "ports/settings_store.h"
#include "ports/window_surface.h"
#include "voice/number_forms.h"
#include "voice/speech.h"
#include <QDir>
#include <QUrl>

namespace {

const QString Section = QStringLiteral("Settings");

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

QString VeyraArchive::archiveUrl() const
{
    QString url = settings_.read(Section, QStringLiteral("ArchiveURL"), QString()).trimmed();
    if (!url.isEmpty() && !url.endsWith(u'/'))
        url += u'/';
    return url;
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
    const QString base = archiveUrl();
    if (base.isEmpty()) {
        speakNoArchive();
        return false;
    }
    const auto moment = parseArchiveMoment(typed, locale);
    if (!moment) {
        speech_.speak(typed + QStringLiteral(" cannot be interpreted as a date."));
        return false;
    }
    index.localIndexPath = QDir(programFolder).filePath(QLatin1String(ArchiveIndex::LocalFileName));
    index.remoteIndexUrl = base + QLatin1String(ArchiveIndex::RemoteFileName);
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
    const QString base = archiveUrl();
    if (base.isEmpty()) {
        speakNoArchive();
        return;
    }
    const QString url = base + QStringLiteral("vadataclean/") + QString::fromLatin1(QUrl::toPercentEncoding(name));
    QString folder = settings_.read(Section, QStringLiteral("DataDirectory"), QString());
    if (folder.isEmpty())   // an empty setting also means the program folder
        folder = programFolder;
    const QString localPath = QDir::toNativeSeparators(QDir(folder).filePath(name));
    // A failed or cancelled download has said why; nothing is loaded or opened then.
    if (!downloader.doDownload(url, localPath))
        return;
    if (kind == u'S') {
        if (loadFile)
            loadFile(localPath);
    } else if (!desktop->openWithDesktop(localPath)) {
        speech_.speak(QStringLiteral("No program was found to open ") + name + u'.');
    }
}
