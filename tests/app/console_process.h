#pragma once
#include "support/files.h"
#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// The generator and `lumora-viewer --console` as child processes, in a scratch home folder so
// the user's settings and program folder are never touched.
namespace ConsoleProcess {

struct Outcome {
    bool finished = false;
    int exitCode = -1;
    QString out, err;
};

// Runs the viewer with exactly `args` in the scratch home, feeding `input`.
inline Outcome runViewer(const QTemporaryDir &home, const QStringList &args, const QByteArray &input, int timeoutMs = 60000)
{
    QProcess viewer;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), home.path());
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config")));
    env.insert(QStringLiteral("XDG_DATA_HOME"), home.filePath(QStringLiteral("data")));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    viewer.setProcessEnvironment(env);
    viewer.start(QStringLiteral(VIEWER_PATH), args);
    EXPECT_TRUE(viewer.waitForStarted(10000));
    viewer.write(input);
    viewer.closeWriteChannel();
    Outcome o;
    o.finished = viewer.waitForFinished(timeoutMs);
    if (!o.finished) {
        viewer.kill();
        viewer.waitForFinished(5000);
    }
    o.exitCode = viewer.exitCode();
    o.out = QString::fromUtf8(viewer.readAllStandardOutput());
    o.err = QString::fromUtf8(viewer.readAllStandardError());
    return o;
}

// Runs the console with `args` after --console --settings, feeding `input`; returns the lines
// of standard output.
inline QStringList run(const QTemporaryDir &home, const QStringList &args, const QByteArray &input, int timeoutMs = 60000)
{
    const Outcome o = runViewer(home, QStringList{"--console", "--settings", home.filePath(QStringLiteral("s.ini"))} + args, input, timeoutMs);
    EXPECT_TRUE(o.finished) << "the console must not hang";
    EXPECT_EQ(o.exitCode, 0) << o.err.toStdString();
    return o.out.split(u'\n', Qt::SkipEmptyParts);
}

} // namespace ConsoleProcess
