#include "data/delimited_export.h"
#include "data/busy_pointer.h"
#include "data/data_change_guard.h"
#include "data/data_set.h"
#include "data/file_write.h"
#include "ports/message_pump.h"
#include "ports/timed_pump.h"
#include "ports/window_surface.h"
#include "view/strip_chart_model.h"
#include "view/view_window.h"
#include "voice/number_forms.h"
#include "voice/speech.h"
#include <QDir>
#include <QFileInfo>
#include <cmath>
#include <exception>

namespace {

DelimitedExport::ExportFailure failureOf(const QFileDevice &file)
{
    const FileWrite::Failure failure = FileWrite::failureOf(file);
    return {failure.number, failure.description};
}

} // namespace

DelimitedExport::DelimitedExport(DataSet &data, StripChartModel &chart, ViewWindow &view, Speech &speech,
                                 WindowSurface &surface, MessagePump &pump)
    : openFile([](const QString &path) { return std::make_unique<QSaveFile>(path); }),
      data_(data), chart_(chart), view_(view), speech_(speech), surface_(surface), pump_(pump)
{
}

QByteArray DelimitedExport::exportLine(double elapsedSeconds, double value)
{
    const double rounded = std::floor(elapsedSeconds * 1000.0 + 0.5) / 1000.0;
    // QByteArray::number ignores the locale: the point is always ".".
    return QByteArray::number(rounded == 0 ? 0.0 : rounded, 'f', 3) + ','
           + NumberForms::signPadded(value).toLatin1() + "\r\n";
}

QString DelimitedExport::automaticName(const QString &loadedFileName)
{
    const QString name = loadedFileName.left(loadedFileName.size() - 3) + QLatin1String("txt");
    const bool namesDataFile = name == loadedFileName
                               || (QFileInfo::exists(name) && QFileInfo(name) == QFileInfo(loadedFileName));
    if (!namesDataFile)
        return name;
    // The data file is itself a ".txt": the export must not write over it.
    const QFileInfo data(loadedFileName);
    return data.dir().filePath(data.completeBaseName() + QLatin1String("-export.txt"));
}

void DelimitedExport::mnuExportToTabDelimitedFile()
{
    if (!data_.DataReady) {
        speech_.speak(QStringLiteral("Please load a file before attempting to export."));
        return;
    }

    BusyPointer busy(surface_);
    std::unique_ptr<QSaveFile> file = openFile(ExportFileName);
    std::optional<ExportFailure> failure;
    try {
        if (ExportFileName.trimmed().isEmpty())
            failure = ExportFailure{int(QFileDevice::OpenError),
                                    QStringLiteral("No export file name was given yet. Type EXPORT to give one.")};
        else if (const auto refused = FileWrite::refusedTarget(ExportFileName))
            failure = ExportFailure{refused->number, refused->description};
        else if (!file->open(QIODevice::WriteOnly))
            failure = failureOf(*file);
        else
            failure = writeRows(*file);
        // The file replaces an earlier one only once every line is on disk.
        if (!failure && !FileWrite::commit(*file))
            failure = failureOf(*file);
    } catch (const std::exception &e) {
        failure = ExportFailure{int(QFileDevice::UnspecifiedError), QString::fromLocal8Bit(e.what())};
    }

    if (!failure) {
        speech_.speak(QStringLiteral("File Exported Successfully"));
        speech_.speakFolder(QFileInfo(ExportFileName).absolutePath());
        return;
    }
    file->cancelWriting();
    speech_.speak(QLatin1String("There was an error exporting ") + ExportFileName + QLatin1String("\r\n")
                  + NumberForms::signPadded(failure->number) + QLatin1String("\r\n") + failure->description);
}

std::optional<DelimitedExport::ExportFailure> DelimitedExport::writeRows(QSaveFile &file)
{
    view_.FindXaxisMinIndex();
    view_.FindXaxisMaxIndex();
    const int channel = chart_.CursorChannel();
    const int last = qMin(view_.ViewStopIndex, qMin(data_.LastIndex, chart_.rowCount() - 1));
    const double origin = chart_.GetTime(0);
    const DataChangeGuard guard(data_, chart_);
    TimedPump slices(pump_);
    constexpr int BlockRows = 4096;
    for (int r = qMax(0, view_.ViewStartIndex); r <= last;) {
        // Fetched per block: a pump in between may have rebuilt the chart's columns.
        const SampleColumn &times = chart_.times();
        const SampleColumn &values = chart_.column(channel);
        QByteArray lines;
        for (const int end = qMin(last, r + BlockRows - 1); r <= end; ++r)
            lines += exportLine((times.at(size_t(r)) - origin) * 86400.0, values.at(size_t(r)));
        if (!FileWrite::writeAll(file, lines.constData(), lines.size()))
            return failureOf(file);
        if (slices.maybePump())
            guard.check();
    }
    return std::nullopt;
}
