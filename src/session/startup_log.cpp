#include "session/startup_log.h"
#include "voice/speech.h"
#include <QFile>
#include <QSaveFile>
#include <new>

namespace {
// Numbers for errors that carry none of their own.
constexpr int OutOfMemory = 7;
constexpr int UnexpectedError = 1;
}

StartUpSteps::StartUpSteps(Speech &speech, const QString &programFolder)
    : speech_(speech), programFolder_(programFolder)
{
}

QString StartUpSteps::logPath(const QString &programFolder)
{
    return programFolder + QLatin1String("/LoadErr.txt");
}

void StartUpSteps::appendToLog(const QString &path, const QByteArray &line)
{
    QFile log(path);
    if (!log.open(QIODevice::ReadOnly | QIODevice::WriteOnly | QIODevice::Append))
        return;
    log.write(line);
    log.flush();

    // Only the newest LogLines lines are kept. A log grown huge elsewhere is not read whole:
    // its tail holds all that can be kept.
    constexpr qint64 MostRead = 4 << 20;
    const qint64 readFrom = qMax<qint64>(0, log.size() - MostRead);
    log.seek(readFrom);
    const QByteArray text = log.readAll();
    log.close();
    // The newest lines start after the (LogLines + 1)-th line break from the end, counting the
    // one that ends the last line.
    const int breaks = text.endsWith('\n') ? LogLines + 1 : LogLines;
    qsizetype keepFrom = -1;
    int seen = 0;
    for (qsizetype at = text.size() - 1; at >= 0; --at) {
        at = text.lastIndexOf('\n', at);
        if (at < 0)
            break;
        if (++seen == breaks) {
            keepFrom = at + 1;
            break;
        }
    }
    if (keepFrom < 0) {
        if (readFrom == 0)
            return;   // no more lines than are kept
        keepFrom = text.indexOf('\n') + 1;   // the first line read is only a part of one
    }
    QSaveFile trimmed(path);
    trimmed.setDirectWriteFallback(true);
    if (trimmed.open(QIODevice::WriteOnly)) {
        trimmed.write(text.constData() + keepFrom, text.size() - keepFrom);
        trimmed.commit();
    }
}

QString StartUpSteps::errorLine(const QDateTime &when, int number, const QString &description, int checkpoint)
{
    return when.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")) + QLatin1String("   ") + QString::number(number)
           + QLatin1String("    ") + description + QLatin1String("    LN = ") + QString::number(checkpoint)
           + QLatin1String("\r\n");
}

void StartUpSteps::run(int checkpoint, const std::function<void()> &step)
{
    checkpoint_ = checkpoint;
    try {
        if (probe)
            probe(checkpoint);
        step();
    } catch (const StartUpError &e) {
        report(e.number(), QString::fromStdString(e.what()));
    } catch (const std::bad_alloc &) {
        report(OutOfMemory, QStringLiteral("Out of memory"));
    } catch (const std::exception &e) {
        report(UnexpectedError, QString::fromStdString(e.what()));
    }
}

void StartUpSteps::report(int number, const QString &description)
{
    const QString line = errorLine(QDateTime::currentDateTime(), number, description, checkpoint_);
    // The log first: the voice may be the very thing that failed.
    appendToLog(logPath(programFolder_), line.toUtf8());
    try {
        speech_.speak(line.trimmed());
    } catch (const std::exception &) {
        // Nothing more can be said; the line is in the log.
    }
}
