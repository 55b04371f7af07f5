#include "settings/qsettings_store.h"
#include "settings/text_ini_format.h"

QSettingsStore::QSettingsStore()
    : settings_(std::make_unique<QSettings>(TextIni::format(), QSettings::UserScope, ApplicationName, ApplicationName))
{
}

QSettingsStore::QSettingsStore(const QString &iniPath)
    : settings_(std::make_unique<QSettings>(iniPath, TextIni::format()))
{
}

QString QSettingsStore::read(const QString &section, const QString &key, const QString &fallback) const
{
    const QVariant value = settings_->value(section + u'/' + key);
    return value.isValid() ? value.toString() : fallback;
}

void QSettingsStore::write(const QString &section, const QString &key, const QString &value)
{
    settings_->setValue(section + u'/' + key, value);
}

void QSettingsStore::remove(const QString &section, const QString &key)
{
    settings_->remove(section + u'/' + key);
}

void QSettingsStore::sync()
{
    settings_->sync();
}
