#pragma once
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

class Viewer;

// The one-line command box txtIn: the typed command language, the prompts that wait for a
// value (PendingCommand) and their answers. Everything it does is spoken.
class CommandBox {
public:
    // Rows whose work belongs to other parts of the program reach them through these slots,
    // filled in Viewer::connectParts(). An empty slot makes its row do only its echo/prompt.
    struct Hooks {
        // Sound menu items.
        std::function<void()> mnuSoundOffOn, mnuSoundAmplitude, mnuSoundFreq;
        std::function<void()> mnuSoundSine, mnuSoundSquare, mnuSoundNoise;
        // Answers already range-checked here: amplitude 0 to 1, AM tone in hertz,
        // scan speed in samples per second.
        std::function<void(double)> UpdateVol;
        std::function<void(double)> setAmTone;
        std::function<void(double)> setScanSpeed;
        // The sonified scan.
        std::function<void()> mnuScan;
        // Spike clipping: the menu item speaks its prompt and sets PendingCommand "ClipSpikes";
        // the answer (0 < percent < 100) calls ClipSpikes, then the auto-scale runs.
        std::function<void()> mnuClipSpikes;
        std::function<void(int channel, double percent)> ClipSpikes;
        // Export: ExportFileName = the path, then the delimited export runs.
        std::function<void(const QString &path)> exportToFile;
        // The scan of the view saved as a WAV file at the path.
        std::function<void(const QString &path)> saveSound;
        // Archive search on a typed date; true when matches were found and the focus moved
        // to the match list List1 (the prompt then stays waiting).
        std::function<bool(const QString &answer)> archiveSearch;
    };

    explicit CommandBox(Viewer &viewer);
    CommandBox(const CommandBox &) = delete;
    CommandBox &operator=(const CommandBox &) = delete;

    Hooks hooks;
    // Name of the prompt whose answer the next Enter delivers; empty when idle.
    QString PendingCommand;

    // Keys that reach the box when it has the focus: "Return" and "Escape". The text is
    // Viewer::commandText. Returns true when the key was handled.
    bool txtIn_KeyPress(const QString &key);
    // The focus moved to the box from another control.
    void txtIn_GotFocus();

    // Interprets the box's text as a command (idle state). Returns true when a prompt answered
    // on the same line stays waiting with the focus elsewhere (the archive match list).
    bool DoTextCmd();

    // The command words of the table, in the order they are tested (for help and tests).
    QStringList commandWords() const;

    // Commands of other parts, tested after the table's own rows.
    void addCommand(QStringList words, std::function<void()> run);
    // The answer to the prompt `name` (true when the prompt stays waiting); typed after one
    // of `words` on the command's own line it answers at once ("ALARM 2.5").
    void addPromptAnswer(const QString &name, QStringList words, std::function<bool(const QString &)> answer);

private:
    struct Row {
        QStringList words;                            // exact matches after upper-casing
        std::function<bool(const QString &)> matches; // instead of words, for the special rows
        std::function<void()> run;
    };
    // An answer handler returns true when its prompt stays waiting.
    using Answer = std::function<bool(const QString &answer)>;

    // A prompting command whose answer may follow it on the same line ("WIDTH 10").
    struct InlinePrompt {
        QStringList words;
        QString name;
    };

    void buildTable();
    void buildAnswers();
    void handleEnter();
    // Runs `typed` as a prompting command with its answer, as if the answer had been typed at
    // the prompt. False when the text starts with no prompting command and a blank.
    bool runInlineAnswer(const QString &typed, bool &stays);
    // The text after the command word `word` at the start of `typed`, or a null string.
    static QString textAfter(const QString &typed, const QString &word);
    void speak(const QString &text);
    QString currentFolder() const;

    Viewer &viewer_;
    QList<Row> rows_;
    QHash<QString, Answer> answers_;
    QList<InlinePrompt> inlinePrompts_;
    // Set by a command that moved the focus to another control, where it stays.
    bool focusMovedAway_ = false;
};
