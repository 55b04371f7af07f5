#pragma once
#include <QDateTime>
#include <QString>

class SettingsStore;

// How a saved data file and its folders are named: the file after the time of its first
// sample, the folders after the station, the month and the day.
namespace FileNaming {

// Every character other than a digit, an ASCII letter or "_" becomes "_"; then trailing
// "_" are dropped from a result longer than 2 characters, never its first character.
// "My Station" + blanks -> "My_Station", 20 blanks -> "_", "Obs.Site #2" -> "Obs_Site__2".
QString NameDir(const QString &text);

// The path without trailing "\" and "/" characters.
QString SlantTrim(const QString &path);

// A day number (days since 30 Dec 1899, fraction = time of day) as a date and time,
// to the nearest second. Invalid for a day outside the years 100 to 9999 or not a number.
QDateTime dateTimeOfDay(double day);

// The moment a saved file is named after: the first sample's, or the clock's now (Universal
// Time or local, as the file was logged) when that time stamp is no day of the calendar.
QDateTime nameTimeFor(double firstSampleTime, bool loggedUsingUT);

// "yymmddhhnnss.lmd", with "UT" in front when the clock was Universal Time.
QString dataFileNameFor(double firstSampleTime, bool loggedUsingUT);

// The folder layout options and the data folder, read from the "Settings" section.
struct FolderLayout {
    QString dataDirectory;
    bool byMonth = true;
    bool byDay = true;
    static FolderLayout fromSettings(const SettingsStore &settings);
};

// The proposed full path of a data file whose first sample is at `firstSampleTime`:
// data folder[/station/yymm][/yymmdd]/name.lmd. Creates the station folder (always) and the
// month and day folders that the layout uses; creation failures surface when the file is written.
QString proposedPath(double firstSampleTime, bool loggedUsingUT, const QString &localName, const FolderLayout &layout);

} // namespace FileNaming
