#pragma once
#include "ports/settings_store.h"
#include <QSettings>
#include <memory>

// The user's settings through QSettings, kept in a plain text file (see TextIni): the user's
// own file by default, or a given one. Several running copies may share it: each write to the
// file locks it, reads it again and merges its own changes.
class QSettingsStore : public SettingsStore {
public:
    static inline const QString ApplicationName = QStringLiteral("Lumora Sonified File Viewer");

    QSettingsStore();                                  // the user's own store
    explicit QSettingsStore(const QString &iniPath);   // a given INI file

    QString read(const QString &section, const QString &key, const QString &fallback) const override;
    void write(const QString &section, const QString &key, const QString &value) override;
    void remove(const QString &section, const QString &key) override;
    // Writes pending changes to the file now (they are also written when the store goes).
    void sync();

private:
    std::unique_ptr<QSettings> settings_;
};
