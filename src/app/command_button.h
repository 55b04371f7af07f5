#pragma once
#include <QPushButton>

// A button of the window. A toggle button shows the state the program gives it (checked while
// the thing it switches is on): pressing it asks the program, which then sets that state, so a
// click the program ignores, or one that Escape drops from the held input, cannot leave it
// showing the wrong state.
//
// A screen reader presses any of these buttons with its "Press" action (toggles also offer
// "Toggle"); the press arrives as a click of the pointer, so it waits its turn behind the
// program's speech like any other input.
class CommandButton : public QPushButton {
    Q_OBJECT
public:
    CommandButton(const QString &caption, bool toggle, QWidget *parent = nullptr);

    // Presses the button as the pointer would; nothing happens while it is hidden or disabled.
    void pressLikeAPointer();

protected:
    void nextCheckState() override {}
};
