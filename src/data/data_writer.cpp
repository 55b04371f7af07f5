#include "data/data_writer.h"
#include "data/busy_pointer.h"
#include "data/data_change_guard.h"
#include "data/data_set.h"
#include "data/file_naming.h"
#include "data/file_write.h"
#include "ports/message_pump.h"
#include "ports/settings_store.h"
#include "ports/timed_pump.h"
#include "ports/window_surface.h"
#include "view/strip_chart_model.h"
#include "view/view_window.h"
#include "voice/number_forms.h"
#include "voice/speech.h"
#include <QDir>
#include <QFileInfo>
#include <QtEndian>
#include <exception>
#include <vector>

namespace {

const QString Section = QStringLiteral("Settings");
const QString NotEnoughData = QStringLiteral("There is not enough data to save.");
const QString BadFile = QStringLiteral("BADFILE");

using FileWrite::failureOf;
using FileWrite::writeAll;
using SaveFailure = FileWrite::Failure;

} // namespace

DataWriter::DataWriter(DataSet &data, StripChartModel &chart, ViewWindow &view, Speech &speech,
                       WindowSurface &surface, MessagePump &pump, SettingsStore &settings)
    : openFile([](const QString &path) { return std::make_unique<QSaveFile>(path); }),
      data_(data), chart_(chart), view_(view), speech_(speech), surface_(surface), pump_(pump), settings_(settings)
{
}

bool DataWriter::settingOn(const QString &key, const QString &fallback) const
{
    return settings_.read(Section, key, fallback).compare(QLatin1String("True"), Qt::CaseInsensitive) == 0;
}

void DataWriter::mnuSave()
{
    CheckForSave();
}

void DataWriter::cmdSaveView()
{
    if (data_.LastIndex == 0) {
        speakNothingToSave();
        return;
    }
    const FileHeader kept = data_.header;
    viewSave_ = true;
    CheckForSave();
    viewSave_ = false;
    data_.header = kept;
}

void DataWriter::speakNothingToSave()
{
    // The save commands stay enabled after a load that failed: they must not fail silently.
    speech_.speak(QStringLiteral("No file loaded."));
}

void DataWriter::CheckForSave()
{
    settings_.write(Section, QStringLiteral("LocalRun"), QStringLiteral("OK"));
    if (data_.LastIndex <= 0) {
        speakNothingToSave();
        return;
    }

    const QString proposed = NameDataFile(data_.DataFileName);
    if (proposed == BadFile) {
        speech_.messageBox(QString(), NotEnoughData);
        return;
    }

    // DataFileName names a file that holds the data: it changes only once a save succeeded.
    QString target = proposed;
    // A view save always asks, whatever the setting says.
    if (viewSave_ || settingOn(QStringLiteral("PromptBeforeSaving"), QStringLiteral("True"))) {
        const auto chosen = askForPath(proposed);
        if (!chosen)
            return;
        target = *chosen;
    }
    surface_.repaint();
    SaveDataFile(target);
}

std::optional<QString> DataWriter::askForPath(const QString &proposed)
{
    FileDialogRequest request;
    request.title = QStringLiteral("Save Data File (Cancel to Abort Save)");
    request.filter = QStringLiteral("*lumora data| *.lmd");
    request.defaultSuffix = QStringLiteral("lmd");
    request.initialPath = proposed;
    const auto answer = surface_.saveFileDialog(request);
    if (!answer || answer->trimmed().isEmpty())
        return std::nullopt;

    QString path = answer->trimmed();
    // A bare name goes into the folder the dialog proposed, not wherever the current folder is.
    if (QFileInfo(path).isRelative())
        path = QFileInfo(proposed).dir().filePath(path);
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".lmd");
    return QDir::toNativeSeparators(QDir::cleanPath(path));
}

bool DataWriter::saveRange(int &first, int &last)
{
    if (!data_.DataReady || data_.LastIndex < 2)
        return false;
    last = qMin(data_.LastIndex, chart_.rowCount() - 1);
    first = 0;
    if (viewSave_) {
        view_.FindXaxisMinIndex();
        view_.FindXaxisMaxIndex();
        first = view_.ViewStartIndex;
        last = qMin(last, view_.ViewStopIndex);
    }
    // Fewer than three records make a file that loads as one without data.
    return first >= 0 && last - first >= 2;
}

QString DataWriter::NameDataFile(const QString &currentName)
{
    Q_UNUSED(currentName);
    int first = 0, last = 0;
    if (!saveRange(first, last))
        return BadFile;
    return FileNaming::proposedPath(chart_.GetTime(first), data_.LoggedUsingUT, data_.header.LocalName,
                                    FileNaming::FolderLayout::fromSettings(settings_));
}

bool DataWriter::SaveDataFile(const QString &path)
{
    int first = 0, last = 0;
    if (!saveRange(first, last)) {
        speech_.messageBox(QString(), NotEnoughData);
        return false;
    }

    BusyPointer busy(surface_);
    surface_.setLabel(QStringLiteral("LBLLR"), QLatin1String(" Saving ") + path);

    const QByteArray notes = data_.GetModifiedNotes().toLatin1();
    const int channels = data_.ChannelCount;
    FileHeader header = data_.header;
    header.StartTime = chart_.GetTime(first);
    header.EndTime = chart_.GetTime(last);
    header.NotesLength = qint32(notes.size());
    header.NumChannels = qint16(channels);

    std::unique_ptr<QSaveFile> file = openFile(path);
    std::optional<SaveFailure> failure = FileWrite::refusedTarget(path);
    try {
        if (!failure && !file->open(QIODevice::WriteOnly))
            failure = failureOf(*file);
        if (!failure && (!writeAll(*file, header.encode().constData(), FileHeader::Size)
                         || !writeAll(*file, notes.constData(), notes.size())))
            failure = failureOf(*file);

        const int stride = channels + 1;
        constexpr int BlockRecords = 8192;
        std::vector<double> block(size_t(BlockRecords) * stride);
        const DataChangeGuard guard(data_, chart_);
        TimedPump slices(pump_);

        for (int r = first; !failure && r <= last;) {
            const int n = qMin(BlockRecords, last - r + 1);
            // Fetched per block: a pump in between may have rebuilt the chart's columns.
            const SampleColumn &times = chart_.times();
            std::vector<const SampleColumn *> columns;
            for (int ch = 0; ch < channels; ++ch)
                columns.push_back(&chart_.column(ch));
            double *out = block.data();
            for (int k = 0; k < n; ++k, ++r) {
                *out++ = times.at(size_t(r));
                for (const auto *column : columns)
                    *out++ = column->at(size_t(r));
            }
            if constexpr (Q_BYTE_ORDER == Q_BIG_ENDIAN)
                qToLittleEndian<double>(block.data(), qsizetype(n) * stride, block.data());
            if (!writeAll(*file, reinterpret_cast<const char *>(block.data()), qint64(n) * stride * 8))
                failure = failureOf(*file);
            if (slices.maybePump())
                guard.check();
        }
        // The file replaces the target only once every byte is on disk.
        if (!failure && !FileWrite::commit(*file))
            failure = failureOf(*file);
    } catch (const std::exception &e) {
        failure = SaveFailure{int(QFileDevice::UnspecifiedError), QString::fromLocal8Bit(e.what())};
    }

    if (failure) {
        file->cancelWriting();
        file.reset();
        surface_.setLabel(QStringLiteral("LBLLR"), QString());
        speech_.messageBox(QString(), QLatin1String("There was an error saving ") + path + QLatin1String("\r\n")
                                          + NumberForms::signPadded(failure->number) + QLatin1String("\r\n")
                                          + failure->description);
        return false;
    }

    data_.header = header;
    data_.DataFileName = path;
    surface_.setLabel(QStringLiteral("LBLLR"), QLatin1String(" Saved ") + path);
    // A user who cannot see the label still learns that the file is safely written.
    speech_.speak(QLatin1String("Saved ") + QFileInfo(path).fileName() + QLatin1Char('.'));
    speech_.speakFolder(QFileInfo(path).absolutePath());
    surface_.setEnabled(QStringLiteral("mnuDataFileInfo"), true);
    if (hooks.addRecentSaved)
        hooks.addRecentSaved(path);
    if (settingOn(QStringLiteral("AutoTitle"), QStringLiteral("False")))
        DoAutoTitle();
    return true;
}

void DataWriter::DoAutoTitle()
{
    chart_.setTitle(NumberForms::shortDate(data_.header.StartTime) + QLatin1String("  by  ")
                    + data_.header.LocalName.trimmed() + QLatin1String("  in  ") + data_.header.Location.trimmed());
    if (hooks.applyTitleAppearance)
        hooks.applyTitleAppearance();
    chart_.EndUpdate();
}
