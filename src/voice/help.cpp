#include "voice/help.h"
#include "ports/message_pump.h"
#include "ports/window_surface.h"
#include "settings/program_folder.h"
#include "voice/speech.h"
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

QStringList Help::candidatePaths()
{
    const QString name = QString::fromLatin1(FileName);
    const QString exeDir = QCoreApplication::applicationDirPath();
    return {ProgramFolder::path() + u'/' + name,
            exeDir + u'/' + name,
            QDir::cleanPath(exeDir + QStringLiteral("/../share/lumora-viewer/") + name)};
}

void Help::LoadHelp() { LoadHelp(candidatePaths()); }

void Help::LoadHelp(const QStringList &candidates)
{
    HelpLines.clear();
    for (const QString &path : candidates) {
        if (QFileInfo(path).isFile()) {
            readFile(path);
            return;
        }
    }
    const QString first = candidates.isEmpty() ? QString::fromLatin1(FileName) : candidates.constFirst();
    speech_.speak(QStringLiteral("Lumora Sonify help file ") + QDir::toNativeSeparators(first) + QStringLiteral(" not found."));
}

void Help::readFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return;
    // A read error ends the reading; the lines read so far stay.
    while (!file.atEnd()) {
        QByteArray raw = file.readLine();
        while (raw.endsWith('\n') || raw.endsWith('\r'))
            raw.chop(1);
        // Our own file is UTF-8; one saved by an older editor in Latin-1 still reads.
        QString line = QString::fromUtf8(raw);
        if (line.contains(QChar::ReplacementCharacter))
            line = QString::fromLatin1(raw);
        if (line.size() > 2 && !line.startsWith(QLatin1String("\\\\")))
            HelpLines << line;
    }
}

namespace {
// Counts a reading under way for as long as it lasts, however it ends.
struct Reading {
    explicit Reading(int &count) : count_(count) { ++count_; }
    ~Reading() { --count_; }
    int &count_;
};
} // namespace

bool Help::carryOn(quint64 keysBefore)
{
    pump_.pump();
    surface_.repaint();
    return !speech_.AbortRequested && keys_ == keysBefore;
}

void Help::SpeakHelp(const QString &text)
{
    read(text.isEmpty() ? QString() : QStringLiteral("Help Matches for ") + text, HelpLines, text);
}

void Help::speakLines(const QStringList &lines)
{
    read(QString(), lines, QString());
}

void Help::read(const QString &heading, const QStringList &lines, const QString &word)
{
    speech_.AbortRequested = false;
    const quint64 keys = keys_;
    const Reading reading(reading_);
    if (!heading.isEmpty())
        speech_.speak(heading);
    const QStringList copy = lines;   // a shared copy: pumping may run anything
    for (const QString &line : copy) {
        if (word.isEmpty() || line.contains(word, Qt::CaseInsensitive))
            speech_.speak(line);
        if (!carryOn(keys))
            break;
    }
    speech_.AbortRequested = false;
}
