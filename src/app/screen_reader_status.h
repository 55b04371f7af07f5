#pragma once
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariantMap>

// Whether a screen reader is running: the accessibility bus's `ScreenReaderEnabled` status
// on the session bus, which Orca and other screen readers set while they run. Asked without
// waiting and followed as it changes; unknown counts as off.
class ScreenReaderStatus : public QObject {
    Q_OBJECT
public:
    explicit ScreenReaderStatus(QObject *parent = nullptr);

    // Asks the session bus; the answer comes later through changed().
    void start();
    bool enabled() const { return enabled_; }
    // What a host that knows better (or a test) says; later news from the bus still counts.
    void assume(bool on) { set(on); }

    // The setting "SpeakFocusNames": "Auto" (default) speaks the controls' names only while no
    // screen reader runs (it says them already); "True" and "False" decide alone.
    static bool speakFocusNames(const QString &setting, bool screenReaderOn);

signals:
    void changed(bool enabled);

private slots:
    void onPropertiesChanged(const QString &interface, const QVariantMap &changedProperties, const QStringList &invalidated);

private:
    void set(bool on);
    bool enabled_ = false;
};
