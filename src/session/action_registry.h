#pragma once
#include <QHash>
#include <QString>
#include <QStringList>
#include <functional>

// Every click, menu item and button of the window by its control name, so the window's
// widgets, the console's ":click NAME" and the tests all run the same code.
class ActionRegistry {
public:
    void add(const QString &name, std::function<void()> action) { actions_[name] = std::move(action); }
    bool contains(const QString &name) const { return actions_.contains(name); }
    // False when no action has that name.
    bool run(const QString &name) const
    {
        const auto it = actions_.constFind(name);
        if (it == actions_.constEnd())
            return false;
        it.value()();
        return true;
    }
    QStringList names() const { return actions_.keys(); }

private:
    QHash<QString, std::function<void()>> actions_;
};
