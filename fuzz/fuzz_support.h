#pragma once
// What the fuzz targets share: a scratch home for the program, and data files made by lmdgen.
#include <QByteArray>
#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>

namespace Fuzz {

// A folder that lives as long as the fuzzer; HOME and the settings folders point into it, so
// nothing the program writes lands outside.
inline const QTemporaryDir &scratch()
{
    static QTemporaryDir dir(QDir::temp().filePath(QStringLiteral("lumora_fuzz_XXXXXX")));
    static const bool homed = [] {
        if (!dir.isValid())
            std::abort();
        qputenv("HOME", dir.path().toUtf8());
        qputenv("XDG_CONFIG_HOME", (dir.path() + "/config").toUtf8());
        qputenv("XDG_DATA_HOME", (dir.path() + "/data").toUtf8());
        qputenv("QT_LOGGING_RULES", "*.debug=false;*.warning=false");
        QStandardPaths::setTestModeEnabled(true);
        return true;
    }();
    (void)homed;
    return dir;
}

// Runs lmdgen with `args` into the scratch folder; the full path of the file it wrote.
inline QString generate(const QString &name, const QStringList &args)
{
    const QString out = scratch().filePath(name);
    QProcess gen;
    gen.start(QStringLiteral(LMDGEN_PATH), QStringList(args) << out);
    if (!gen.waitForFinished(60000) || gen.exitCode() != 0) {
        std::fprintf(stderr, "lmdgen failed: %s\n", gen.readAllStandardError().constData());
        std::abort();
    }
    return out;
}

// The input's bytes as text lines (Latin-1, so every byte stays one character).
inline QStringList lines(const uint8_t *bytes, size_t size)
{
    return QString::fromLatin1(reinterpret_cast<const char *>(bytes), qsizetype(size)).split(u'\n');
}

} // namespace Fuzz
