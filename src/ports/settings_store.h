#pragma once
#include <QString>
#include <functional>

// The per-user settings: sections of keys, every value kept as text.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    virtual QString read(const QString &section, const QString &key, const QString &fallback) const = 0;
    virtual void write(const QString &section, const QString &key, const QString &value) = 0;
    virtual void remove(const QString &section, const QString &key) = 0;

    // Runs `change` against the values as they stand now, with whatever another running copy
    // of the program stored meanwhile, and stores what it writes before any other copy may
    // write: a read-change-write of shared values (the recent files) that loses nobody's change.
    virtual void update(const std::function<void()> &change) { change(); }
};
