#pragma once
#include "ports/window_surface.h"
#include <QHash>
#include <QObject>
#include <QPointer>
#include <functional>

class QWidget;

// The window surface on real widgets: control names map to the window's widgets, menu
// items (QAction) and menus; names the window does not have are ignored.
class WidgetSurface : public WindowSurface {
public:
    explicit WidgetSurface(QWidget *window) : window_(window) {}

    // Set on a widget the program has hidden, so the window's own layout leaves it hidden.
    static constexpr const char *HiddenProperty = "hiddenByProgram";

    // Registers a QWidget, a QAction or a QMenu under its control name.
    void add(const QString &name, QObject *control);
    QObject *control(const QString &name) const { return controls_.value(name); }

    // Run after a widget was shown or hidden, so the window can lay itself out again.
    std::function<void()> layoutChanged;

    void setLabel(const QString &name, const QString &text) override;
    void setWindowTitle(const QString &title) override;
    void setEnabled(const QString &name, bool enabled) override;
    void setVisible(const QString &name, bool visible) override;
    void setChecked(const QString &name, bool checked) override;
    void setCaption(const QString &name, const QString &caption) override;
    void setFocus(const QString &name) override;
    void setBusy(bool busy) override;
    // The picture's state is kept in the button's "picture" property, for tests and tools.
    void setPicture(const QString &name, const QString &picture) override;
    void setToolTip(const QString &name, const QString &text) override;
    void setCaret(const QString &name, int position) override;
    void repaint() override;
    void messageBox(const QString &title, const QString &text, MessageIcon icon) override;
    std::optional<QString> openFileDialog(const FileDialogRequest &request) override;
    std::optional<QString> saveFileDialog(const FileDialogRequest &request) override;

    // "Lumora data (*.lmd)|*.lmd|Any (*.*)|*.*" as Qt's name filters.
    static QStringList toNameFilters(const QString &filter);

private:
    std::optional<QString> fileDialog(const FileDialogRequest &request, bool save);

    QWidget *window_;
    QHash<QString, QPointer<QObject>> controls_;
    bool busy_ = false;
};
