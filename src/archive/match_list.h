#pragma once
#include <QString>
#include <QStringList>
#include <functional>

class Speech;
class WindowSurface;

// The archive match list List1: one line per matching recording, walked with the keyboard
// while each line is spoken. The window shows it; the console and the tests reach it as is.
class MatchList {
public:
    MatchList(Speech &speech, WindowSurface &surface) : speech_(speech), surface_(surface) {}

    const QStringList &entries() const { return entries_; }
    int selected() const { return selected_; }   // -1 = nothing selected
    void setEntries(const QStringList &entries);
    void select(int position);
    void clear() { setEntries({}); }

    // The list received the keyboard focus.
    void List1_GotFocus();
    // A key pressed while the list has the focus ("Down", "Shift+Up", "S", "Return", "Tab"),
    // after the window's own handling. True when the list used it.
    bool List1_KeyDown(const QString &key);

    // S, W, I or T on the selected line: fetch that file of the record numbered `record`
    // (0 when nothing is selected).
    std::function<void(qsizetype record, QChar kind)> fetchFile;
    // The entries or the selection changed (the window redraws the list).
    std::function<void()> changed;
    // True while a screen reader reads the selected entry by itself: the list then says only
    // the record's number. Unset: the list reads the entry.
    std::function<bool()> entryReadByScreenReader;

    // The list's own help lines, spoken by F1 while it has the focus.
    static QStringList helpLines();

private:
    void speakPosition(int position, bool withText);

    Speech &speech_;
    WindowSurface &surface_;
    QStringList entries_;
    int selected_ = -1;
};
