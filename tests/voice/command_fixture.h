#pragma once
#include "data/load_fixture.h"
#include <QDir>

// The loading fixture, with commands typed and entered as the user would. The current
// folder is put back after each test, since CD changes it.
class CommandFixture : public LoadFixture {
protected:
    QString startFolder = QDir::currentPath();

    void TearDown() override { QDir::setCurrent(startFolder); }

    void load(const QString &file)
    {
        LoadFixture::load(file);
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
