#pragma once
#include <QString>
#include <QStringList>

class Speech;
class MessagePump;
class WindowSurface;

// Spoken help: the help file's lines, read once at start-up, spoken all or those holding a word.
class Help {
public:
    static constexpr const char *FileName = "LMSonifyHelp.txt";

    Help(Speech &speech, MessagePump &pump, WindowSurface &surface) : speech_(speech), pump_(pump), surface_(surface) {}

    // Where the help file is looked for, first match wins: the program folder, beside the
    // executable, then the installed share folder.
    static QStringList candidatePaths();

    // Reads the first help file that exists; says so when there is none.
    void LoadHelp();
    void LoadHelp(const QStringList &candidates);
    // Every help line when `text` is empty, else those that contain it in any letter case.
    // Escape ends the reading after the line being spoken.
    void SpeakHelp(const QString &text);
    // Speaks these lines as help: Escape or any other key ends the reading.
    void speakLines(const QStringList &lines);
    // A key was pressed: help being read stops after the line being spoken.
    void keyPressed() { ++keys_; }
    bool reading() const { return reading_ > 0; }

    // The kept lines in file order: comments (starting with two backslashes) and lines of two
    // characters or fewer are left out.
    QStringList HelpLines;

private:
    void readFile(const QString &path);
    // The heading, then each line that holds the word (every line when it is empty).
    void read(const QString &heading, const QStringList &lines, const QString &word);
    // Pump, repaint and test for Escape or any other key after each line; false when the
    // reading must stop.
    bool carryOn(quint64 keysBefore);

    Speech &speech_;
    MessagePump &pump_;
    WindowSurface &surface_;
    quint64 keys_ = 0;   // keys pressed so far
    int reading_ = 0;    // help readings under way (a key's help may start within another's)
};
