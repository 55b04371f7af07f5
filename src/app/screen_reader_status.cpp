#include "app/screen_reader_status.h"
#include <QDBusConnection>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>
#include <QDBusMessage>

namespace {
const QString Service = QStringLiteral("org.a11y.Bus");
const QString Path = QStringLiteral("/org/a11y/bus");
const QString StatusInterface = QStringLiteral("org.a11y.Status");
const QString Property = QStringLiteral("ScreenReaderEnabled");
const QString PropertiesInterface = QStringLiteral("org.freedesktop.DBus.Properties");
}

ScreenReaderStatus::ScreenReaderStatus(QObject *parent) : QObject(parent) {}

bool ScreenReaderStatus::speakFocusNames(const QString &setting, bool screenReaderOn)
{
    const QString s = setting.trimmed();
    if (s.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
        return true;
    if (s.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
        return false;
    return !screenReaderOn;
}

void ScreenReaderStatus::start()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    bus.connect(Service, Path, PropertiesInterface, QStringLiteral("PropertiesChanged"), this,
                SLOT(onPropertiesChanged(QString, QVariantMap, QStringList)));
    QDBusMessage get = QDBusMessage::createMethodCall(Service, Path, PropertiesInterface, QStringLiteral("Get"));
    get << StatusInterface << Property;
    auto *watcher = new QDBusPendingCallWatcher(bus.asyncCall(get), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher *w) {
        const QDBusPendingReply<QDBusVariant> reply = *w;
        if (!reply.isError())
            set(reply.value().variant().toBool());
        w->deleteLater();
    });
}

void ScreenReaderStatus::onPropertiesChanged(const QString &interface, const QVariantMap &changedProperties, const QStringList &)
{
    if (interface == StatusInterface && changedProperties.contains(Property))
        set(changedProperties.value(Property).toBool());
}

void ScreenReaderStatus::set(bool on)
{
    if (on == enabled_)
        return;
    enabled_ = on;
    emit changed(on);
}
