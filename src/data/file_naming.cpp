#include "data/file_naming.h"
#include "ports/settings_store.h"
#include <QDir>
#include "settings/program_folder.h"
#include <cmath>

namespace FileNaming {

namespace {

bool allowedInFolderName(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= '0' && u <= '9') || (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || u == '_';
}

bool isOn(const SettingsStore &s, const QString &key)
{
    return s.read(QStringLiteral("Settings"), key, QStringLiteral("True")).compare(QLatin1String("True"), Qt::CaseInsensitive) == 0;
}

// Folder + separator + child, creating the result when it does not exist yet.
QString ensureFolder(const QString &base, const QString &child)
{
    const QString path = base + QDir::separator() + child;
    if (!QFileInfo(path).isDir())
        QDir().mkpath(path);
    return path;
}

} // namespace

QString NameDir(const QString &text)
{
    QString out = text;
    for (QChar &c : out) {
        if (!allowedInFolderName(c))
            c = QLatin1Char('_');
    }
    if (out.size() > 2) {
        while (out.size() > 1 && out.endsWith(QLatin1Char('_')))
            out.chop(1);
    }
    return out;
}

QString SlantTrim(const QString &path)
{
    qsizetype end = path.size();
    while (end > 0 && (path[end - 1] == QLatin1Char('\\') || path[end - 1] == QLatin1Char('/')))
        --end;
    return path.left(end);
}

QDateTime dateTimeOfDay(double day)
{
    // 1 January 100 to 31 December 9999; the test also turns NaN away.
    if (!(day >= -657434.0 && day < 2958466.0))
        return QDateTime();
    const qint64 seconds = std::llround(day * 86400.0);
    const qint64 days = seconds >= 0 ? seconds / 86400 : -((-seconds + 86399) / 86400);
    const qint64 inDay = seconds - days * 86400;
    const QDate date = QDate(1899, 12, 30).addDays(days);
    return QDateTime(date, QTime(0, 0).addSecs(int(inDay)), Qt::UTC);
}

QDateTime nameTimeFor(double firstSampleTime, bool loggedUsingUT)
{
    const QDateTime t = dateTimeOfDay(firstSampleTime);
    if (t.isValid())
        return t;
    // A time stamp off the calendar would name every such file alike, so that one save replaced
    // the other: the clock the logger would have used names it instead.
    const QDateTime now = loggedUsingUT ? QDateTime::currentDateTimeUtc() : QDateTime::currentDateTime();
    const QTime clock = now.time();
    return QDateTime(now.date(), QTime(clock.hour(), clock.minute(), clock.second()), Qt::UTC);
}

QString dataFileNameFor(double firstSampleTime, bool loggedUsingUT)
{
    const QDateTime t = nameTimeFor(firstSampleTime, loggedUsingUT);
    const QString stamp = QStringLiteral("%1").arg(t.date().year() % 100, 2, 10, QLatin1Char('0'))
                          + t.toString(QStringLiteral("MMddHHmmss"));
    return (loggedUsingUT ? QStringLiteral("UT") : QString()) + stamp + QStringLiteral(".lmd");
}

FolderLayout FolderLayout::fromSettings(const SettingsStore &s)
{
    FolderLayout layout;
    const QString program = ProgramFolder::path();
    layout.dataDirectory = ProgramFolder::expandFolder(s.read(QStringLiteral("Settings"), QStringLiteral("DataDirectory"), QString()), program);
    if (layout.dataDirectory.isEmpty())
        layout.dataDirectory = program;
    layout.byMonth = isOn(s, QStringLiteral("OrganizeByMonth"));
    layout.byDay = isOn(s, QStringLiteral("OrganizeByDay"));
    return layout;
}

QString proposedPath(double firstSampleTime, bool loggedUsingUT, const QString &localName, const FolderLayout &layout)
{
    const QDateTime t = nameTimeFor(firstSampleTime, loggedUsingUT);
    const QString yy = QStringLiteral("%1").arg(t.date().year() % 100, 2, 10, QLatin1Char('0'));
    const QString mm = t.toString(QStringLiteral("MM"));
    const QString dd = t.toString(QStringLiteral("dd"));
    const QString station = NameDir(localName);

    QString base = QDir::toNativeSeparators(layout.dataDirectory);
    // The station folder is made even when the month layout does not put the file in it,
    // so the logger's folder tree stays complete.
    ensureFolder(SlantTrim(base), station);
    base = SlantTrim(base);
    if (layout.byMonth)
        base = ensureFolder(base + QDir::separator() + station, yy + mm);
    base = SlantTrim(base);
    if (layout.byDay)
        base = ensureFolder(base, yy + mm + dd);
    base = SlantTrim(base);
    return base + QDir::separator() + dataFileNameFor(firstSampleTime, loggedUsingUT);
}

} // namespace FileNaming
