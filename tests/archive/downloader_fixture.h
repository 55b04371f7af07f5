#pragma once
#include "archive/downloader.h"
#include "support/fakes.h"
#include "support/files.h"
#include "support/http_test_server.h"
#include "voice/speech.h"
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// A downloader speaking into a fake voice, a server on 127.0.0.1 and a scratch folder.
class DownloaderTest : public ::testing::Test {
protected:
    FakeSpeech voice;
    FakeSurface surface;
    FakePump pump;
    Speech speech{voice, pump, surface};
    Downloader downloader{speech, pump};
    HttpTestServer server;
    QTemporaryDir dir;

    QString path(const QString &name) const { return dir.filePath(name); }
    QString at(const char *route) const { return server.url(QString::fromLatin1(route)); }
    // Downloads `route` into `name`, which must fail; the reason spoken.
    QString failure(const char *route, const QString &name, const DownloadOptions &options = {})
    {
        voice.spoken.clear();
        EXPECT_FALSE(downloader.doDownload(at(route), path(name), options)) << route;
        return voice.spoken.isEmpty() ? QString() : voice.spoken.last();
    }
    // Everything in the scratch folder, hidden files too: no temporary file may stay behind.
    QStringList leftovers() const
    {
        return QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    }
};
