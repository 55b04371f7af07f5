#pragma once
#include "ports/settings_store.h"
#include "settings/text_ini_format.h"

// The user's settings in a plain text file (see TextIni): the user's own file by default, or a
// given one. Only what changes is written: a value written as it already stands leaves the file
// alone, and a change rewrites that key's line and nothing else, so a hand-edited file keeps its
// comments and its order. Several running copies may share the file: each write locks it, reads
// it again, puts in this copy's changes and replaces the file whole (never half-written).
class QSettingsStore : public SettingsStore {
public:
    static inline const QString ApplicationName = QStringLiteral("Lumora Sonified File Viewer");

    QSettingsStore();                                  // the user's own store
    explicit QSettingsStore(const QString &iniPath);   // a given INI file
    ~QSettingsStore() override;

    // The user's own settings file: "<config folder>/<ApplicationName>/<ApplicationName>.conf".
    static QString userFilePath();
    QString fileName() const { return path_; }

    QString read(const QString &section, const QString &key, const QString &fallback) const override;
    void write(const QString &section, const QString &key, const QString &value) override;
    void remove(const QString &section, const QString &key) override;
    void update(const std::function<void()> &change) override;
    // Writes pending changes to the file now. Writes outside update() are written at once, so
    // this matters only after a failed write (a full disk, say): it tries again.
    void sync();

private:
    QString fileText() const;
    void change(const QString &section, const QString &key, const std::optional<QString> &value);
    void writeLocked();

    QString path_;
    TextIni::Values values_;     // as the file held them when last read or written, with our changes
    TextIni::Changes pending_;   // ours, not yet in the file
    bool inUpdate_ = false;
};
