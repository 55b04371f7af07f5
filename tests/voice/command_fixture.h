#pragma once
#include "session/viewer.h"
#include "support/fakes.h"
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// A started-up Viewer on fake ports with a scratch folder; commands are typed and entered
// as the user would. The current folder is put back after each test.
class CommandFixture : public ::testing::Test {
protected:
    FakeSpeech speech;
    FakeSurface surface;
    FakePump pump;
    FakeSettings settings;
    Viewer viewer{Ports{speech, surface, pump, settings}};
    QTemporaryDir dir;
    QString startFolder = QDir::currentPath();

    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        viewer.startUp();
        speech.spoken.clear();
    }
    void TearDown() override { QDir::setCurrent(startFolder); }

    // lmdgen writes `name` into the scratch folder; returns its full path.
    QString generate(const QString &name, const QStringList &args)
    {
        const QString out = dir.filePath(name);
        QProcess gen;
        gen.start(QStringLiteral(LMDGEN_PATH), QStringList(args) << out);
        EXPECT_TRUE(gen.waitForFinished(60000));
        EXPECT_EQ(gen.exitCode(), 0) << gen.readAllStandardError().constData();
        return out;
    }
    void load(const QString &file)
    {
        int first = 0, last = 0;
        viewer.loader.LoadData(file, first, last);
        speech.spoken.clear();
    }

    // Types `text` and presses Enter; returns what was spoken meanwhile.
    QStringList enter(const QString &text)
    {
        speech.spoken.clear();
        viewer.commandText = text;
        viewer.keyPress(QStringLiteral("Return"));
        return speech.spoken;
    }
    // Answers the prompt `name` with `text`; returns what the answer made the program say.
    QStringList answer(const QString &name, const QString &text)
    {
        viewer.commandBox.PendingCommand = name;
        return enter(text);
    }
    QString pending() const { return viewer.commandBox.PendingCommand; }
};
