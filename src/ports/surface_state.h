#pragma once
#include "ports/window_surface.h"
#include <QHash>
#include <QSet>

// A window surface that only remembers what it was told: the console shell and the tests
// read the program's visible state back from it.
class SurfaceState : public WindowSurface {
public:
    QHash<QString, QString> labels;
    QHash<QString, QString> captions;
    QHash<QString, QString> pictures;
    QHash<QString, QString> toolTips;
    QHash<QString, int> carets;
    QSet<QString> disabled;
    QSet<QString> hidden;
    QSet<QString> checked;
    QString windowTitle;
    QString focus;
    bool busy = false;

    void setLabel(const QString &name, const QString &text) override { labels[name] = text; }
    void setWindowTitle(const QString &title) override { windowTitle = title; }
    void setEnabled(const QString &name, bool on) override { on ? (void)disabled.remove(name) : (void)disabled.insert(name); }
    void setVisible(const QString &name, bool on) override { on ? (void)hidden.remove(name) : (void)hidden.insert(name); }
    void setChecked(const QString &name, bool on) override { on ? (void)checked.insert(name) : (void)checked.remove(name); }
    void setCaption(const QString &name, const QString &caption) override { captions[name] = caption; }
    void setFocus(const QString &name) override { focus = name; }
    void setBusy(bool on) override { busy = on; }
    void setPicture(const QString &name, const QString &picture) override { pictures[name] = picture; }
    void setToolTip(const QString &name, const QString &text) override { toolTips[name] = text; }
    void setCaret(const QString &name, int position) override { carets[name] = position; }
    void repaint() override {}

    bool isEnabled(const QString &name) const { return !disabled.contains(name); }
    bool isVisible(const QString &name) const { return !hidden.contains(name); }
    bool isChecked(const QString &name) const { return checked.contains(name); }
};
