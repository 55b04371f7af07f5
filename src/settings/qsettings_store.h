#pragma once
#include "ports/settings_store.h"
#include <QSettings>
#include <memory>

// The user's settings through QSettings: the platform's store by default, or an INI file.
class QSettingsStore : public SettingsStore {
public:
    static inline const QString ApplicationName = QStringLiteral("Lumora Sonified File Viewer");

    QSettingsStore();                                  // the user's own store
    explicit QSettingsStore(const QString &iniPath);   // a given INI file

    QString read(const QString &section, const QString &key, const QString &fallback) const override;
    void write(const QString &section, const QString &key, const QString &value) override;
    void remove(const QString &section, const QString &key) override;

private:
    std::unique_ptr<QSettings> settings_;
};
