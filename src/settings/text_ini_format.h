#pragma once
#include <QMap>
#include <QString>
#include <optional>

// The settings file as plain "key=value" lines under "[Section]" headers, every value text.
// A value is what a person reads and types: `LocalName=Obs, Site` is the text "Obs, Site".
// A value that would not survive a plain line (leading or trailing blanks, a leading quote,
// control characters such as line breaks) is written in double quotes with backslash escapes.
// Files stay UTF-8 and editable by hand: changing a value rewrites that value's line only, so
// comments, blank lines and lines the program does not know stay where the user put them.
namespace TextIni {

// Keys before any header belong to this section, as in Qt's and Windows' INI files.
inline const QString GeneralSection = QStringLiteral("General");

// "Section/Key" -> value.
using Values = QMap<QString, QString>;
// "Section/Key" -> the new value, or nothing for a key to remove.
using Changes = QMap<QString, std::optional<QString>>;

QString path(const QString &section, const QString &key);

Values parse(QStringView text);

// The text with the changes made: a changed key's line takes the new value in place, a removed
// key's line goes, a new key goes at the end of its section (a new section at the end).
// Every other line stays as it was, with its line ending.
QString apply(const QString &text, const Changes &changes);

// One value as it appears after "key=", and back.
QString encodeValue(const QString &value);
QString decodeValue(QStringView text);

} // namespace TextIni
