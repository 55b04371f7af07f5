#pragma once
#include <QByteArray>
#include <QFile>
#include <QString>
#include <gtest/gtest.h>

// Whole files in one call: what a test puts on disk, and what it finds there afterwards.
inline QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(absent)");
}

inline void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
    f.write(bytes);
}

#ifdef LMDGEN_PATH
#include <QProcess>
#include <QTemporaryDir>
// Writes `name` in `dir` with the project's generator and the given options; returns its path.
inline QString generateData(const QTemporaryDir &dir, const QString &name, const QStringList &args)
{
    const QString out = dir.filePath(name);
    QProcess gen;
    gen.start(QStringLiteral(LMDGEN_PATH), QStringList(args) << out);
    EXPECT_TRUE(gen.waitForFinished(60000));
    EXPECT_EQ(gen.exitCode(), 0) << gen.readAllStandardError().constData();
    return out;
}
#endif
