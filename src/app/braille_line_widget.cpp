#include "app/braille_line_widget.h"
#include "app/accessible_factory.h"
#include <QAccessibleWidget>
#include <QSignalBlocker>

namespace {

class BrailleLineAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit BrailleLineAccessible(QLineEdit *line) : QAccessibleWidget(line, QAccessible::EditableText) {}

    QLineEdit *line() const { return static_cast<QLineEdit *>(widget()); }

    void *interface_cast(QAccessible::InterfaceType t) override
    {
        if (t == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface *>(this);
        return QAccessibleWidget::interface_cast(t);
    }
    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.readOnly = true;
        s.editable = true;   // a text with a caret, as a screen reader expects of a line it brailles
        return s;
    }
    QString text(QAccessible::Text t) const override
    {
        return t == QAccessible::Value ? line()->text() : QAccessibleWidget::text(t);
    }

    // --- text ---
    QString text(int start, int end) const override { return line()->text().mid(start, end - start); }
    int characterCount() const override { return int(line()->text().size()); }
    int cursorPosition() const override { return line()->cursorPosition(); }
    void setCursorPosition(int position) override { line()->setCursorPosition(position); }
    QRect characterRect(int offset) const override
    {
        const QFontMetrics metrics = line()->fontMetrics();
        const QRect inside = line()->contentsRect();
        const int x = inside.left() + metrics.horizontalAdvance(line()->text().left(offset));
        const int w = metrics.horizontalAdvance(line()->text().mid(offset, 1));
        return QRect(line()->mapToGlobal(QPoint(x, inside.top())), QSize(std::max(w, 1), inside.height()));
    }
    int offsetAtPoint(const QPoint &point) const override { return line()->cursorPositionAt(line()->mapFromGlobal(point)); }
    QString attributes(int offset, int *start, int *end) const override
    {
        *start = *end = offset;
        return QString();
    }
    QString textAtOffset(int offset, QAccessible::TextBoundaryType type, int *start, int *end) const override
    {
        return piece(offset, type, start, end);
    }
    QString textBeforeOffset(int offset, QAccessible::TextBoundaryType type, int *start, int *end) const override
    {
        return type == QAccessible::CharBoundary ? piece(offset - 1, type, start, end) : none(start, end);
    }
    QString textAfterOffset(int offset, QAccessible::TextBoundaryType type, int *start, int *end) const override
    {
        return type == QAccessible::CharBoundary ? piece(offset + 1, type, start, end) : none(start, end);
    }

    // --- no selection in a line that is only read ---
    void selection(int, int *start, int *end) const override { *start = *end = 0; }
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    void scrollToSubstring(int, int) override {}

private:
    // One cell, or the whole line for any longer piece; nothing outside the line.
    QString piece(int offset, QAccessible::TextBoundaryType type, int *start, int *end) const
    {
        const int count = characterCount();
        if (offset < 0 || offset > count || (offset == count && type == QAccessible::CharBoundary))
            return none(start, end);
        if (type == QAccessible::CharBoundary) {
            *start = offset;
            *end = offset + 1;
        } else {
            *start = 0;
            *end = count;
        }
        return text(*start, *end);
    }
    static QString none(int *start, int *end)
    {
        *start = *end = -1;
        return QString();
    }
};

} // namespace

BrailleLineWidget::BrailleLineWidget(QWidget *parent) : QLineEdit(parent)
{
    presentAccessibleAs<BrailleLineWidget, BrailleLineAccessible>();
    setReadOnly(true);
}

void BrailleLineWidget::focusInEvent(QFocusEvent *event)
{
    // A line edit reached with Tab selects its text, which puts the caret after the last cell.
    // Here the caret stands for the chart cursor: it stays on the cursor's cell, and the cursor
    // does not jump to the end of the view.
    const int caret = cursorPosition();
    const QSignalBlocker quiet(this);
    QLineEdit::focusInEvent(event);
    setCursorPosition(caret);
}
