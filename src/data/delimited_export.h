#pragma once
#include <QByteArray>
#include <QSaveFile>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

class DataSet;
class StripChartModel;
class ViewWindow;
class Speech;
class WindowSurface;
class MessagePump;

// Writes the visible rows of the cursor channel as text lines "seconds,value" for other tools.
class DelimitedExport {
public:
    using FileFactory = std::function<std::unique_ptr<QSaveFile>(const QString &path)>;

    DelimitedExport(DataSet &data, StripChartModel &chart, ViewWindow &view, Speech &speech, WindowSurface &surface,
                    MessagePump &pump);

    // Where the export writes; set by the command box's EXPORT answer, empty until then.
    QString ExportFileName;
    // Opens the file the export goes through. Tests replace it to make writes fail.
    FileFactory openFile;

    void mnuExportToTabDelimitedFile();
    // The name EXPORT proposes when given none: the loaded file's with "txt" for its last three
    // characters (data.lmd -> data.txt), or NAME-export.txt when that would name the data file.
    static QString automaticName(const QString &loadedFileName);
    // One line: elapsed seconds rounded half up to 3 decimals, ",", the sign-padded value, CR LF.
    // "." is the decimal point whatever the locale, so the comma stays the only delimiter.
    static QByteArray exportLine(double elapsedSeconds, double value);

    // Why an export failed: an error number and its description, as the user hears them.
    struct ExportFailure {
        int number;
        QString description;
    };

private:
    std::optional<ExportFailure> writeRows(QSaveFile &file);

    DataSet &data_;
    StripChartModel &chart_;
    ViewWindow &view_;
    Speech &speech_;
    WindowSurface &surface_;
    MessagePump &pump_;
};
