#include "session/startup_log.h"
#include "voice/speech.h"
#include <QFile>
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
    QFile log(logPath(programFolder_));
    if (log.open(QIODevice::WriteOnly | QIODevice::Append))
        log.write(line.toUtf8());
    try {
        speech_.speak(line.trimmed());
    } catch (const std::exception &) {
        // Nothing more can be said; the line is in the log.
    }
}
