#include "voice/speech.h"
#include "ports/message_pump.h"
#include "ports/speech_port.h"
#include <QDir>

void Speech::speak(const QString &text)
{
    if (!silent_)
        port_.speak(text);
}

void Speech::speakFolder(const QString &folder)
{
    const QString native = QDir::toNativeSeparators(QDir::cleanPath(folder));
    if (native == lastFolder_)
        return;
    lastFolder_ = native;
    if (!silent_)
        port_.speak(QStringLiteral("In folder ") + native + u'.');
}

void Speech::folderSpoken(const QString &folder)
{
    lastFolder_ = QDir::toNativeSeparators(QDir::cleanPath(folder));
}

void Speech::speakReadout(const QString &text)
{
    if (!silent_)
        port_.speakReadout(text);
}

void Speech::speakAsync(const QString &text)
{
    if (!silent_)
        port_.speakAsync(text);
}

void Speech::setVoiceStyle(const VoiceStyle &style)
{
    port_.setVoiceStyle(style);
}

bool Speech::pumpAndTest()
{
    pump_.pump();
    return AbortRequested;
}

void Speech::messageBox(const QString &title, const QString &text, MessageIcon icon)
{
    QString spoken = text;
    spoken.replace(QLatin1String("\r\n"), QLatin1String(" "));
    // A title that ends its own sentence ("File Load Warning!") needs no full stop after it.
    const bool ended = title.endsWith(u'.') || title.endsWith(u'!') || title.endsWith(u'?');
    if (!silent_)
        port_.speak(title.isEmpty() ? spoken : title + (ended ? QLatin1String(" ") : QLatin1String(". ")) + spoken);
    surface_.messageBox(title, text, icon);
}
