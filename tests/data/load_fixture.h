#pragma once
#include "session/viewer.h"
#include "support/fakes.h"
#include "support/files.h"
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// A started-up Viewer on fake ports, a scratch folder, and lmdgen to make files in it.
class LoadFixture : public ::testing::Test {
protected:
    FakeSpeech speech;
    FakeSurface surface;
    FakePump pump;
    FakeSettings settings;
    Viewer viewer{Ports{speech, surface, pump, settings}};
    QTemporaryDir dir;

    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        viewer.startUp();
        speech.spoken.clear();
    }

    QString path(const QString &name) const { return dir.filePath(name); }

    QString generate(const QString &name, const QStringList &args) { return generateData(dir, name, args); }

    void load(const QString &file)
    {
        int first = 0, last = 0;
        viewer.loader.LoadData(file, first, last);
    }

    bool spoke(const QString &text) const { return speech.spoken.contains(text); }
};
