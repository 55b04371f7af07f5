#include "voice/command_box.h"
#include "ports/window_surface.h"
#include "session/viewer.h"
#include <QDir>
#include <new>
#include <utility>
#include <stdexcept>

namespace {
// The sentence spoken when a command fails; our own errors already are one.
QString describe(const std::exception &e)
{
    if (dynamic_cast<const std::bad_alloc *>(&e))
        return QStringLiteral("There is not enough memory to do that.");
    if (dynamic_cast<const std::out_of_range *>(&e) && !QString::fromUtf8(e.what()).endsWith(u'.'))
        return QStringLiteral("That needs data that is not loaded.");
    return QString::fromUtf8(e.what());
}
} // namespace

CommandBox::CommandBox(Viewer &viewer) : viewer_(viewer)
{
    buildTable();
    buildAnswers();
}

void CommandBox::speak(const QString &text) { viewer_.speech.speak(text); }

QString CommandBox::currentFolder() const
{
    QString folder = QDir::toNativeSeparators(QDir::currentPath());
    if (!folder.endsWith(QDir::separator()))
        folder += QDir::separator();
    return folder;
}

QStringList CommandBox::commandWords() const
{
    QStringList words;
    for (const Row &row : rows_)
        words += row.words;
    return words;
}

void CommandBox::addCommand(QStringList words, std::function<void()> run)
{
    rows_.append({std::move(words), {}, std::move(run)});
}

void CommandBox::addPromptAnswer(const QString &name, QStringList words, std::function<bool(const QString &)> answer)
{
    answers_.insert(name, std::move(answer));
    if (!words.isEmpty())
        inlinePrompts_.append({std::move(words), name});
}

void CommandBox::txtIn_GotFocus()
{
    speak(QStringLiteral("Waiting for text."));
}

bool CommandBox::txtIn_KeyPress(const QString &key)
{
    if (key == QLatin1String("Escape")) {
        PendingCommand.clear();
        viewer_.commandText.clear();
        return true;
    }
    if (key == QLatin1String("Return")) {
        handleEnter();
        return true;
    }
    return false;
}

void CommandBox::handleEnter()
{
    try {
        bool stays = false;
        const auto answer = answers_.constFind(PendingCommand);
        if (answer != answers_.constEnd()) {
            // Copied: the handler may replace the table entry's owner state while it pumps.
            const Answer handler = answer.value();
            stays = handler(viewer_.commandText);
            if (!stays)
                PendingCommand.clear();
        } else {
            stays = DoTextCmd();
        }
        if (stays) {
            viewer_.commandText.clear();   // the archive list now has the focus
            return;
        }
        if (viewer_.Closing)
            return;
        viewer_.commandText.clear();
        viewer_.ports.surface.setFocus(QStringLiteral("txtIn"));
    } catch (const std::exception &e) {
        speak(describe(e));
        PendingCommand.clear();
        viewer_.commandText.clear();
    } catch (...) {
        speak(QStringLiteral("The command could not be carried out."));
        PendingCommand.clear();
        viewer_.commandText.clear();
    }
}

QString CommandBox::textAfter(const QString &typed, const QString &word)
{
    const QString text = typed.trimmed();
    if (text.size() <= word.size() || text.at(word.size()) != u' ' || text.left(word.size()).toUpper() != word)
        return {};
    return text.mid(word.size() + 1).trimmed();
}

bool CommandBox::runInlineAnswer(const QString &typed, bool &stays)
{
    for (const InlinePrompt &prompt : std::as_const(inlinePrompts_)) {
        for (const QString &word : prompt.words) {
            const QString answer = textAfter(typed, word);
            if (answer.isEmpty())
                continue;
            const Answer handler = answers_.value(prompt.name);
            PendingCommand = prompt.name;
            try {
                stays = handler(answer);
            } catch (...) {
                PendingCommand.clear();
                throw;
            }
            if (!stays)
                PendingCommand.clear();
            return true;
        }
    }
    return false;
}

bool CommandBox::DoTextCmd()
{
    bool stays = false;
    try {
        const QString typed = viewer_.commandText;
        if (typed.trimmed().isEmpty())   // Enter on an empty box says nothing
            return false;
        speak(typed);
        const QString command = typed.toUpper().trimmed();
        for (const Row &row : rows_) {
            if (row.matches ? row.matches(command) : row.words.contains(command)) {
                focusMovedAway_ = false;
                row.run();
                return std::exchange(focusMovedAway_, false);
            }
        }
        if (!runInlineAnswer(typed, stays))
            speak(typed.trimmed() + QStringLiteral(" is not a command. Press F1 for help."));
    } catch (const std::exception &e) {
        speak(describe(e));
    } catch (...) {
        speak(QStringLiteral("The command could not be carried out."));
    }
    return stays;
}
