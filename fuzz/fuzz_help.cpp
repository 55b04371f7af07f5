// libFuzzer target: the help file reader. The input's first line is the word asked for
// (F1 with that text typed), the rest is the help file.
#include "fuzz_support.h"
#include "support/fakes.h"
#include "voice/help.h"
#include "voice/speech.h"
#include <QFile>
#include <cstring>

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    Fuzz::scratch();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *bytes, size_t size)
{
    const char *text = reinterpret_cast<const char *>(bytes);
    const char *lineEnd = static_cast<const char *>(std::memchr(text, '\n', size));
    const size_t wordLength = lineEnd ? size_t(lineEnd - text) : size;
    const QString word = QString::fromLatin1(text, qsizetype(wordLength));

    static const QString path = Fuzz::scratch().filePath(QLatin1String(Help::FileName));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        if (lineEnd)
            file.write(lineEnd + 1, qint64(size - wordLength - 1));
    }

    FakeSpeech speechPort;
    FakeSurface surface;
    FakePump pump;
    Speech speech(speechPort, pump, surface);
    Help help(speech, pump, surface);
    help.LoadHelp({path});
    for (const QString &line : help.HelpLines)
        if (line.size() <= 2 || line.startsWith(QLatin1String("\\\\")))
            __builtin_trap();   // such lines are never kept
    help.SpeakHelp(word);
    // Escape while the reading goes on ends it after the line being spoken.
    speechPort.onSpeak = [&speech](const QString &) { speech.AbortRequested = true; };
    help.SpeakHelp(QString());
    return 0;
}
