#pragma once
#include <QLineEdit>

// The braille line's widget: a read-only line edit whose text a screen reader reads and puts on
// the braille display. Its accessible text is our own: with Qt's, the screen reader's question
// for the text around the caret, asked at a caret move over a line of braille patterns (no
// letters, no blanks), never came back and froze the program. Here a cell is a character and the
// whole line is its only word, sentence and line.
class BrailleLineWidget : public QLineEdit {
    Q_OBJECT
public:
    explicit BrailleLineWidget(QWidget *parent = nullptr);

protected:
    void focusInEvent(QFocusEvent *event) override;
};
