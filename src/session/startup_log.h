#pragma once
#include <QDateTime>
#include <QString>
#include <functional>
#include <stdexcept>

class Speech;

// A start-up step that could not be done, with the error number the log shows.
class StartUpError : public std::runtime_error {
public:
    StartUpError(int number, const QString &description)
        : std::runtime_error(description.toStdString()), number_(number) {}
    int number() const { return number_; }

private:
    int number_;
};

// Runs the window's start-up steps in order. A step that throws is logged and spoken, and
// start-up goes on with the next step, so a broken voice or settings file never keeps the
// window from opening. The log is "LoadErr.txt" in the program folder, one line per error:
// date and time, three blanks, error number, four blanks, description, four blanks,
// "LN = " and the last checkpoint passed, CR LF. The log keeps its newest LogLines lines.
class StartUpSteps {
public:
    StartUpSteps(Speech &speech, const QString &programFolder);

    void run(int checkpoint, const std::function<void()> &step);
    int lastCheckpoint() const { return checkpoint_; }

    static constexpr int LogLines = 1000;

    static QString logPath(const QString &programFolder);
    // Adds a line to the log, then drops its oldest lines beyond LogLines.
    static void appendToLog(const QString &path, const QByteArray &line);
    static QString errorLine(const QDateTime &when, int number, const QString &description, int checkpoint);

    // Called with each checkpoint before its step runs; a test makes a step fail by throwing.
    static inline std::function<void(int checkpoint)> probe;

private:
    void report(int number, const QString &description);

    Speech &speech_;
    QString programFolder_;
    int checkpoint_ = 0;
};
