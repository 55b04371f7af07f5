#include "data/data_loader.h"
#include "data/data_set.h"
#include "data/machine_memory.h"
#include "data/parallel_record_reader.h"
#include "ports/message_pump.h"
#include "ports/settings_store.h"
#include "ports/window_surface.h"
#include "view/strip_chart_model.h"
#include "voice/number_forms.h"
#include "voice/speech.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <new>
#include <stdexcept>

namespace {

QString notEnoughMemory(qint64 records)
{
    if (records <= 0)
        return QStringLiteral("There is not enough memory to load this file.");
    return QStringLiteral("There is not enough memory to load %1 records.").arg(records);
}

const QString CrLf = QStringLiteral("\r\n");
const QString AbortTitle = QStringLiteral("File Load Aborted");

void call(const std::function<void()> &hook)
{
    if (hook)
        hook();
}

struct LoadError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

void readExactly(QFile &file, char *into, qint64 bytes)
{
    if (file.read(into, bytes) == bytes)
        return;
    // A read that simply ends early found a shorter file than its size promised.
    if (file.error() == QFileDevice::NoError || file.atEnd())
        throw LoadError(FileChangedWhileRead.toStdString());
    throw LoadError("The file could not be read: " + file.errorString().toStdString());
}

} // namespace

QString DataLoader::baseTitle() const
{
    return hooks.baseTitle ? hooks.baseTitle() : QString();
}

void DataLoader::LoadData(const QString &fileName, int &first, int &last)
{
    const bool partial = first >= 1 || last >= 1;

    const auto opened = std::make_shared<QFile>(fileName);
    QFile &file = *opened;
    if (fileName.isEmpty() || !QFileInfo(fileName).isFile() || !file.open(QIODevice::ReadOnly)) {
        speech_.speak(fileName + QLatin1String(" not found in current directory."));
        return;
    }
    call(hooks.loadStarting);
    kept_ = {};

    call(hooks.hideArchiveList);
    call(hooks.hideArrows);
    data_.FileLoaded = false;
    data_.getBlankHeaderInfo();
    data_.DataReady = false;

    chart_.ClearData();
    chart_.setTitle(QString());
    data_.Notes.clear();
    surface_.setLabel(QStringLiteral("LBLLR"), fileName + QLatin1String(" Loading... Please Wait"));

    const qint64 fileLength = file.size();
    if (fileLength < FileHeader::Size) {
        clearDataSet();
        speech_.messageBox(AbortTitle, QLatin1String("The file: ") + fileName + CrLf + QLatin1String("Appears to have no data."));
        surface_.setWindowTitle(baseTitle());
        restoreIdleLabel();
        return;
    }

    int count = 0;
    qint64 recordsWanted = 0;
    double firstMax = 0;
    try {
        pump_.pump();
        surface_.repaint();
        char raw[FileHeader::Size];
        readExactly(file, raw, FileHeader::Size);
        data_.header = FileHeader::decode(raw);
        const FileHeader &h = data_.header;

        // A negative notes length, or one that runs past the end, would read beyond the file.
        const bool badNotes = h.NotesLength < 0 || h.NotesLength > fileLength - FileHeader::Size;
        if (h.NumChannels > 9 || h.NumChannels < 1 || badNotes) {
            clearDataSet();
            speech_.messageBox(AbortTitle, QLatin1String("The file: ") + fileName + CrLf
                                               + QLatin1String("Is corrupted or not a valid data file."));
            surface_.setWindowTitle(baseTitle());
            restoreIdleLabel();
            return;
        }

        QByteArray notes(h.NotesLength, Qt::Uninitialized);
        readExactly(file, notes.data(), h.NotesLength);
        data_.Notes = QString::fromLatin1(notes);

        chart_.RemoveAllChannels();
        data_.ChannelCount = h.NumChannels;
        const qint64 recordBytes = 8LL * (h.NumChannels + 1);
        const qint64 records = (fileLength - FileHeader::Size - h.NotesLength) / recordBytes;
        data_.LastIndex = int(qMin<qint64>(records - 1, INT_MAX));

        if (records < 3) {
            clearDataSet();
            speech_.messageBox(QStringLiteral("File Load Warning!"),
                               fileName + CrLf + QLatin1String("does not appear to have any data"), MessageIcon::Critical);
            surface_.setWindowTitle(baseTitle());
            loadTail(fileName, 0, partial);
            return;
        }

        data_.LoggedUsingUT = false;
        data_.Notes = data_.SplitNotes(data_.Notes);
        chart_.setTimeLabelFormat(data_.LoggedUsingUT ? QStringLiteral("hh:nn:ss' UT'") : QStringLiteral("hh:nn:ss"));
        data_.LoadedFileName.clear();
        surface_.setBusy(true);
        chart_.BeginUpdate();
        chart_.ClearData();
        pump_.pump();

        const int lastRecord = data_.LastIndex;
        if (last == 0 || last > lastRecord)
            last = lastRecord;
        if (first > last || first < 0)
            first = 0;
        recordsWanted = qint64(last) - first + 1;

        if (data_.ChannelCount > StripChartModel::MaxChannels)
            throw LoadError("The chart can show at most 8 channels.");
        int channels = data_.ChannelCount;
        SetupChannels(channels);

        firstMax = readRecords(file, first, last, count);
        kept_ = {opened, FileHeader::Size + h.NotesLength + (first + qint64(count)) * recordBytes, int(recordBytes)};
    } catch (const std::exception &e) {
        file.close();
        // Whatever the reader got as far as, a load that failed shows nothing of it.
        clearDataSet();
        chart_.EndUpdate();
        const bool outOfMemory = dynamic_cast<const std::bad_alloc *>(&e) != nullptr;
        speech_.messageBox(QString(), QLatin1String("There was an error loading ") + fileName + CrLf
                                          + (outOfMemory ? notEnoughMemory(recordsWanted)
                                                         : QString::fromStdString(e.what())));
        surface_.setWindowTitle(baseTitle());
        loadTail(fileName, count, partial);
        return;
    }

    data_.DataReady = true;
    data_.FileLoaded = true;
    for (const char *menu : {"mnuInfo", "MnuTools", "mnuExportToTabDelimitedFile", "mnuScan", "mnuClipSpikes",
                             "mnuCursor", "mnuDataFileInfo", "mnuSave"})
        surface_.setEnabled(QLatin1String(menu), true);
    surface_.setVisible(QStringLiteral("cmdSaveView"), true);
    call(hooks.showArrows);

    data_.header.StartTime = chart_.GetTime(0);
    data_.header.EndTime = chart_.GetTime(count - 1);
    data_.LastIndex = count - 1;
    chart_.setXAxisMin(data_.header.StartTime);
    chart_.setXAxisMax(data_.header.EndTime);
    chart_.EndUpdate();
    data_.CalcAvgRate(chart_);
    data_.DataFileName = fileName;
    if (hooks.addRecentLoaded)
        hooks.addRecentLoaded(fileName);
    call(hooks.speakChartId);
    surface_.setWindowTitle(baseTitle() + QLatin1String("  File Loaded: ") + fileName);
    if (chart_.YAxisMax() == 0)
        chart_.setYAxisMax(firstMax);
    if (settings_.read(QStringLiteral("Settings"), QStringLiteral("AutoTitle"), QStringLiteral("False"))
            .compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
        call(hooks.autoTitle);
    call(hooks.fullView);
    chart_.EndUpdate();
    call(hooks.showLegend);
    data_.LoadedFileName = fileName;
    call(hooks.closeChartViews);
    loadTail(fileName, count, partial);
}

double DataLoader::readRecords(QFile &file, int first, int last, int &count)
{
    const int channels = chart_.channelCount();
    // Out of the rows asked for, so the count ends at the total ("12000 of 12000").
    const QString progressTail = QLatin1String(" of ") + NumberForms::signPadded(last - first + 1)
                                 + QLatin1String(" Samples Loaded");
    const auto showCount = [&](qint64 rows) {
        surface_.setWindowTitle(baseTitle() + QLatin1String("  ") + NumberForms::signPadded(int(rows)) + progressTail);
    };
    const qint64 rows = last - first + 1LL;
    const qint64 limit = availableMemory ? availableMemory() : machineMemoryBytes();
    if (limit > 0 && rows > limit / (8LL * (channels + 1)))
        throw LoadError(notEnoughMemory(rows).toStdString());
    // The rows arrive in columns of their own, so the window never draws a half-read chart.
    // The readers share this one open file: whatever is renamed over its path meanwhile stays out.
    RecordColumns read = readRecordColumns(file.handle(), file.pos() + first * 8LL * (channels + 1), channels, rows,
                                           [&](qint64 done) {
                                               pump_.pump();
                                               showCount(done);
                                           });
    if (read.failed)
        throw LoadError(read.error == FileChangedWhileRead ? read.error.toStdString()
                                                           : "The file could not be read: " + read.error.toStdString());
    count = int(read.times.size());
    chart_.adoptRows(std::move(read.times), std::move(read.values), read.ascending);
    showCount(count);
    chart_.EndUpdate();
    chart_.BeginUpdate();
    // What channelMax(0) would give, without a second pass over the rows.
    return read.firstMax == -INFINITY ? 0 : read.firstMax;
}

void DataLoader::restoreIdleLabel()
{
    // Nothing is loaded any more: the label must not go on saying "Loading".
    surface_.setLabel(QStringLiteral("LBLLR"), QStringLiteral("Review and Edit Files Only with this Window"));
}

void DataLoader::loadTail(const QString &fileName, int count, bool partial)
{
    Q_UNUSED(fileName);
    surface_.setEnabled(QStringLiteral("mnuRecallXY"), false);
    call(hooks.forgetRememberedView);
    const QString label = QLatin1String("Samples Loaded: ") + NumberForms::signPadded(count);
    surface_.setLabel(QStringLiteral("LBLLR"), label);
    speech_.speak(label);
    if (partial)
        surface_.setLabel(QStringLiteral("LBLLR"), label + QLatin1String(" (Partial Load)"));
    surface_.setBusy(false);
    // The offset panel needs loaded channels to offset.
    surface_.setEnabled(QStringLiteral("cmdOffset"), data_.DataReady);
    call(hooks.layout);
}

void DataLoader::clearDataSet()
{
    chart_.ClearData();
    data_.FileLoaded = false;
    data_.DataReady = false;
    data_.LastIndex = 0;
    data_.LoadedFileName.clear();
    data_.ChannelCount = 1;
    int one = 1;
    SetupChannels(one);
}

void DataLoader::LoadDataFile()
{
    data_.FileLoaded = false;
    const QString section = QStringLiteral("Settings");
    QString dataDir = settings_.read(section, QStringLiteral("DataDirectory"), QString());
    if (dataDir.isEmpty())   // the program folder, which start-up made the current one
        dataDir = QDir::currentPath();
    const QString folder = settings_.read(section, QStringLiteral("LastLoadDir"), dataDir + QDir::separator());

    FileDialogRequest request;
    request.title = QStringLiteral("Load Data File");
    request.filter = QStringLiteral("Lumora data (*.lmd)|*.lmd|dat file (*.dat)|*.dat|Any (*.*)|*.*");
    request.defaultSuffix = QStringLiteral("lmd");
    request.initialPath = folder + QLatin1String("*.lmd");
    const auto chosen = surface_.openFileDialog(request);
    if (!chosen || chosen->isEmpty())
        return;

    const QString path = QDir::toNativeSeparators(*chosen);
    const qsizetype slash = path.lastIndexOf(QDir::separator());
    settings_.write(section, QStringLiteral("LastLoadDir"), path.left(slash + 1));
    int first = 0, last = 0;
    LoadData(path, first, last);
}

void DataLoader::MnuLoadDataFile()
{
    LoadDataFile();
    if (data_.FileLoaded)
        call(hooks.dataFileInfo);
    call(hooks.closeOffsetPanel);
}

void DataLoader::SetupChannels(int &count)
{
    count = qBound(1, count, StripChartModel::MaxChannels);
    chart_.RemoveAllChannels();
    for (int i = 0; i < count; ++i)
        chart_.AddChannel(data_.ChannelNames[i], data_.ChannelColours[i]);
    for (int i = 1; i <= StripChartModel::MaxChannels; ++i)
        surface_.setVisible(QStringLiteral("mnuCH%1").arg(i), i <= count);
    chart_.setToolBarMode(0);
    chart_.setCursorChannel(0);
    call(hooks.refreshChannelMenus);
}
