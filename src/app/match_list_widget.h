#pragma once
#include <QListWidget>
#include <functional>

class MatchList;

// The window's view of the archive match list List1: it shows the program's entries and
// selection, tells the program when the user picks an entry with the pointer, and lets the
// program announce the list when it receives the focus. Keys go to the program first.
class MatchListWidget : public QListWidget {
public:
    MatchListWidget(MatchList &list, QWidget *parent);
    ~MatchListWidget() override;

    // Runs when the list receives the keyboard focus.
    std::function<void()> gotFocus;

protected:
    void focusInEvent(QFocusEvent *event) override;

private:
    void showList();

    MatchList &list_;
    bool showing_ = false;
};
