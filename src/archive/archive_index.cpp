#include "archive/archive_index.h"
#include "archive/archive_dates.h"
#include "archive/downloader.h"
#include "ports/message_pump.h"
#include "ports/settings_store.h"
#include "ports/timed_pump.h"
#include "voice/number_forms.h"
#include "voice/speech.h"
#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstdio>

namespace {

constexpr qsizetype ProgressEvery = 500;
// Lines read between two looks at the clock: a look costs more than reading a short line.
constexpr qsizetype LinesPerClockLook = 16;
constexpr qint64 ReadSlice = qint64(1) << 20;

double currentDay()
{
    return double(QDate::currentDate().toJulianDay() - QDate(1899, 12, 30).toJulianDay());
}

QString tooLarge(qint64 limit)
{
    return QStringLiteral("The file is larger than the index limit (%1 MB) allows.").arg(limit >> 20);
}

} // namespace

ArchiveIndex::ArchiveIndex(Speech &speech, MessagePump &pump, SettingsStore &settings, Downloader &downloader)
    : today(currentDay), speech_(speech), pump_(pump), settings_(settings), downloader_(downloader)
{
}

bool ArchiveIndex::fetchIndex()
{
    // An error page or a login form served in the index's place must never replace the copy
    // in hand: the body is read as an index before it takes the copy's place.
    const bool hadCopy = QFile::exists(localIndexPath);
    DownloadOptions options;
    options.maxBytes = sizeLimit;
    options.capName = QStringLiteral("the index limit");
    options.check = [hadCopy](const QString &bodyPath) {
        QFile body(bodyPath);
        if (body.open(QIODevice::ReadOnly) && readsAsArchiveIndex(body.readAll()))
            return QString();
        return QStringLiteral("The file the server sent is not an archive index.")
            + (hadCopy ? QStringLiteral(" The index from before is kept.") : QString());
    };
    if (!downloader_.doDownload(remoteIndexUrl, localIndexPath, options))
        return false;
    // Only a copy that really arrived counts as fresh.
    settings_.write(QStringLiteral("Settings"), QStringLiteral("LastIndexDownload"), lastIndexDownloadText(today() + 1));
    return true;
}

void ArchiveIndex::PrepareArchiveIndex(double requested)
{
    if (highestRecord() >= 1)
        return;
    if (!QFile::exists(localIndexPath))
        fetchIndex();
    else {
        const double fresh = readLastIndexDownload(
            settings_.read(QStringLiteral("Settings"), QStringLiteral("LastIndexDownload"), QStringLiteral("1/1/1999")));
        if (requested > fresh) {
            speech_.speak(QStringLiteral("Index older than requested file."));
            fetchIndex();   // on failure the older copy is still read
        }
    }
    // Only a missing copy is an error here: an Escape pressed meanwhile does not stop the reader.
    if (!ReadInRecs())
        speech_.speak(QStringLiteral("Error reading index."));
}

bool ArchiveIndex::ReadInRecs()
{
    ArchiveRecords.clear();
    QFile file(localIndexPath);
    if (!file.exists()) {
        speech_.speak(QStringLiteral("Veyra Archive Record index not found."));
        speech_.AbortRequested = true;
        return false;
    }
    QString problem;
    QByteArray bytes;
    if (!file.open(QIODevice::ReadOnly))
        problem = file.errorString();
    else if (file.size() > sizeLimit)
        problem = tooLarge(sizeLimit);
    TimedPump slices(pump_);
    if (problem.isEmpty()) {
        speech_.speak(QStringLiteral("Converting Veyra Archive Record index. Please wait."));
        pump_.pump();
        // A slice at a time, so that Escape is heard while a large file comes off the disk.
        bytes.resize(file.size());
        qsizetype have = 0;
        while (have < bytes.size() && !speech_.AbortRequested) {
            const qint64 got = file.read(bytes.data() + have, std::min<qint64>(ReadSlice, bytes.size() - have));
            if (got <= 0)
                break;
            have += got;
            slices.maybePump();
        }
        bytes.truncate(have);   // a file cut short meanwhile is read as far as it goes
        if (file.error() != QFileDevice::NoError)
            problem = file.errorString();
    }
    file.close();
    if (!problem.isEmpty()) {
        speech_.speak(QStringLiteral("Error reading Veyra Record File\r\n") + problem);
        return true;
    }
    qsizetype announced = -1, lines = 0;
    const IndexReading reading = readArchiveIndex(bytes, ArchiveRecords, [&](qsizetype count) {
        // Each count is said once, however many header lines come before the next record.
        if (count % ProgressEvery == 0 && count != announced) {
            announced = count;
            speech_.speakAsync(QStringLiteral("record ") + NumberForms::signPadded(double(count)));
            pump_.pump();
        } else if (++lines % LinesPerClockLook != 0 || !slices.maybePump()) {
            return true;
        }
        return !speech_.AbortRequested;
    });
    if (reading.stopped) {
        speech_.speak(QStringLiteral("Index reading cancelled by user."));
        speech_.AbortRequested = false;
    } else if (reading.unreadable > 0) {
        speech_.speak(QStringLiteral("%1 %2 of the index could not be read.")
                          .arg(reading.unreadable)
                          .arg(reading.unreadable == 1 ? QStringLiteral("record") : QStringLiteral("records")));
    }
    return true;
}
