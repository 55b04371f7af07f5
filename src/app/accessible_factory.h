#pragma once
#include <QAccessible>
#include <QLatin1String>

// Gives every widget of class Widget (named by its meta-object's class name) the accessible
// interface Accessible, installed once however many widgets are made.
template <typename Widget, typename Accessible>
void presentAccessibleAs()
{
    static const bool installed = [] {
        QAccessible::installFactory([](const QString &className, QObject *object) -> QAccessibleInterface * {
            if (className == QLatin1String(Widget::staticMetaObject.className()) && object->isWidgetType())
                return new Accessible(static_cast<Widget *>(object));
            return nullptr;
        });
        return true;
    }();
    Q_UNUSED(installed);
}
