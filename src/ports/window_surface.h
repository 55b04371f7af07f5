#pragma once
#include <QString>
#include <QStringList>
#include <optional>

enum class MessageIcon { None, Information, Warning, Critical };

struct FileDialogRequest {
    QString title;
    QString filter;          // "Lumora data (*.lmd)|*.lmd|Any (*.*)|*.*"
    QString defaultSuffix;   // "lmd"
    QString initialPath;     // folder + proposed name or pattern
};

// What the core asks of the window. Controls and menu items are named as in the program
// (LBLLR, mnuScan, cmdSaveView ...) so the console shell and tests can address them too.
class WindowSurface {
public:
    virtual ~WindowSurface() = default;
    virtual void setLabel(const QString &name, const QString &text) = 0;
    virtual void setWindowTitle(const QString &title) = 0;
    virtual void setEnabled(const QString &name, bool enabled) = 0;
    virtual void setVisible(const QString &name, bool visible) = 0;
    virtual void setChecked(const QString &name, bool checked) = 0;
    virtual void setCaption(const QString &name, const QString &caption) = 0;
    virtual void setFocus(const QString &name) = 0;
    virtual void setBusy(bool busy) = 0;
    // A button's picture by the state it shows: "plain" / "highlighted" (the navigation
    // buttons), "enabled" / "disabled" (auto-scroll, auto-scale), "open" / "closed" (offset).
    virtual void setPicture(const QString &name, const QString &picture) { (void)name, (void)picture; }
    virtual void setToolTip(const QString &name, const QString &text) { (void)name, (void)text; }
    // Where the caret of a text line stands (0 = before its first character).
    virtual void setCaret(const QString &name, int position) { (void)name, (void)position; }
    virtual void repaint() = 0;
    virtual void messageBox(const QString &title, const QString &text, MessageIcon icon) = 0;
    // Empty optional = cancelled.
    virtual std::optional<QString> openFileDialog(const FileDialogRequest &request) = 0;
    virtual std::optional<QString> saveFileDialog(const FileDialogRequest &request) = 0;
};
