#pragma once
#include <QSettings>
#include <QString>

// The settings file as plain "key=value" lines under "[Section]" headers, every value text.
// Qt's own INI format turns a value with a comma into a list (read back as empty text) and
// may wrap values in "@Variant(...)"; this one keeps what a person reads and types:
// `LocalName=Obs, Site` is the text "Obs, Site". A value that would not survive a plain line
// (leading or trailing blanks, a leading quote, line breaks) is written in double quotes
// with backslash escapes. Files stay UTF-8 and editable by hand.
namespace TextIni {

// The QSettings format for such files (registered on first use, with the ".conf" suffix).
QSettings::Format format();

bool read(QIODevice &device, QSettings::SettingsMap &map);
bool write(QIODevice &device, const QSettings::SettingsMap &map);

// One value as it appears after "key=", and back.
QString encodeValue(const QString &value);
QString decodeValue(QStringView text);

} // namespace TextIni
