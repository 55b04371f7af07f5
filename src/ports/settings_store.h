#pragma once
#include <QString>

// The per-user settings: sections of keys, every value kept as text.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    virtual QString read(const QString &section, const QString &key, const QString &fallback) const = 0;
    virtual void write(const QString &section, const QString &key, const QString &value) = 0;
    virtual void remove(const QString &section, const QString &key) = 0;
};
