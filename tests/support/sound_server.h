#pragma once
#include <QFileInfo>
#include <QString>
#include <QtGlobal>

// The sound server that ctest starts for the tests that play sound or speak (the fixture
// "sound_server", folder in LUMORA_SOUND_SERVER). Points this process's sound and speech at it;
// call it before any sound device is touched. Returns why there is none (the test then skips),
// or nothing.
inline QString useSoundServer()
{
    const QString folder = qEnvironmentVariable("LUMORA_SOUND_SERVER");
    if (folder.isEmpty())
        return QStringLiteral("no sound server: run through ctest, whose fixture sound_server starts one");
    const QString socket = folder + QLatin1String("/pulse/native");
    if (!QFileInfo(socket).exists())
        return QStringLiteral("the sound server did not start (pulseaudio missing? see %1/pulseaudio.log)").arg(folder);
    qputenv("XDG_RUNTIME_DIR", folder.toUtf8());
    qputenv("PULSE_RUNTIME_PATH", (folder + QLatin1String("/pulse")).toUtf8());
    qputenv("PULSE_SERVER", (QLatin1String("unix:") + socket).toUtf8());
    return {};
}
