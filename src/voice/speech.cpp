#include "voice/speech.h"
#include "ports/message_pump.h"
#include "ports/speech_port.h"

void Speech::speak(const QString &text)
{
    port_.speak(text);
}

void Speech::speakReadout(const QString &text)
{
    port_.speakReadout(text);
}

void Speech::speakAsync(const QString &text)
{
    port_.speakAsync(text);
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
    port_.speak(title.isEmpty() ? spoken : title + (ended ? QLatin1String(" ") : QLatin1String(". ")) + spoken);
    surface_.messageBox(title, text, icon);
}
