#include "archive/archive_index.h"
#include "archive/archive_dates.h"
#include "archive/downloader.h"
#include "ports/message_pump.h"
#include "ports/settings_store.h"
#include "ports/timed_pump.h"
#include "voice/number_forms.h"
#include "voice/speech.h"
#include <QDate>
#include <QFile>
#include <QStringDecoder>

namespace {

constexpr qsizetype ProgressEvery = 500;

QString field(QStringView &line) { return GetVAParam(line).toString(); }

ArchiveRecord recordFrom(QStringView line)
{
    line = line.mid(1);   // the leading "|"
    ArchiveRecord r;
    r.SortTime = CvrtVASortDate(GetVAParam(line));
    const QString f2 = field(line);
    r.Label = f2 + u' ' + GetVAParam(line).toString();
    GetVAParam(line);   // field 4 is not kept
    r.Text5 = field(line);
    r.Value6 = archiveValue(GetVAParam(line));
    r.Value7 = archiveValue(GetVAParam(line));
    for (QString *text : {&r.Text8, &r.Text9, &r.Text10, &r.Text11, &r.Text12})
        *text = field(line);
    for (double *time : {&r.StartTime, &r.EndTime, &r.Time3, &r.Time4}) {
        const double date = CvrtVADate(GetVAParam(line));
        *time = date + CvrtVATime(GetVAParam(line));
    }
    r.Detail = field(line);
    for (QString *text : {&r.Text22, &r.Text23, &r.Text24, &r.Text25, &r.ImageFile, &r.DataFile, &r.TextFile, &r.SoundFile})
        *text = field(line);
    return r;
}

// The index is plain bytes; a file written as UTF-8 keeps its accents, anything else is Latin-1.
QString decodeIndex(const QByteArray &bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8(bytes);
    if (!utf8.hasError())
        return text;
    return QString::fromLatin1(bytes);
}

double currentDay()
{
    return double(QDate::currentDate().toJulianDay() - QDate(1899, 12, 30).toJulianDay());
}

} // namespace

void parseArchiveIndex(QStringView text, ArchiveRecordTable &records, const std::function<void(qsizetype)> &progress)
{
    qsizetype stored = 0;
    records.reserve(records.size() + text.count(u'\n') + 1);   // one slot per line at most
    // Fewer than 10 characters after a line cannot hold a record: the reading ends there.
    do {
        const qsizetype lf = text.indexOf(u'\n');
        QStringView line = lf < 0 ? text : text.left(lf + 1);
        text = lf < 0 ? QStringView() : text.mid(lf + 1);
        if (progress)
            progress(stored);
        // Lines ending in CR LF are read as lines ending in LF.
        while (line.endsWith(u'\n') || line.endsWith(u'\r'))
            line.chop(1);
        if (!line.startsWith(QLatin1String("|2")) || line.size() + 1 < 11)   // + 1: its LF
            continue;
        records.append(recordFrom(line));
        ++stored;
    } while (text.size() >= 10);
}

ArchiveIndex::ArchiveIndex(Speech &speech, MessagePump &pump, SettingsStore &settings, Downloader &downloader)
    : today(currentDay), speech_(speech), pump_(pump), settings_(settings), downloader_(downloader)
{
}

bool ArchiveIndex::fetchIndex()
{
    if (!downloader_.doDownload(remoteIndexUrl, localIndexPath))
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
    ArchiveRecords = {ArchiveRecord()};
    QFile file(localIndexPath);
    if (!file.exists()) {
        speech_.speak(QStringLiteral("Veyra Archive Record index not found."));
        speech_.AbortRequested = true;
        return false;
    }
    try {
        if (!file.open(QIODevice::ReadOnly))
            throw ArchiveFormatError(file.errorString().toStdString());
        speech_.speak(QStringLiteral("Converting Veyra Archive Record index. Please wait."));
        pump_.pump();
        const QString text = decodeIndex(file.readAll());
        file.close();
        TimedPump slices(pump_);
        qsizetype announced = -1;
        parseArchiveIndex(text, ArchiveRecords, [&](qsizetype count) {
            // Each count is said once, however many header lines come before the next record.
            if (count % ProgressEvery == 0 && count != announced) {
                announced = count;
                speech_.speakAsync(QStringLiteral("record ") + NumberForms::signPadded(double(count)));
                pump_.pump();
            }
            slices.maybePump();
        });
    } catch (const std::exception &e) {
        speech_.speak(QStringLiteral("Error reading Veyra Record File\r\n") + QString::fromUtf8(e.what()));
    }
    return true;
}
