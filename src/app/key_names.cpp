#include "app/key_names.h"
#include <QHash>
#include <QKeySequence>

QString keyName(int key, Qt::KeyboardModifiers modifiers)
{
    static const QHash<int, QString> names = {
        {Qt::Key_Escape, QStringLiteral("Escape")}, {Qt::Key_Return, QStringLiteral("Return")},
        {Qt::Key_Enter, QStringLiteral("Return")},  {Qt::Key_Space, QStringLiteral("Space")},
        {Qt::Key_Tab, QStringLiteral("Tab")},       {Qt::Key_Backtab, QStringLiteral("Tab")},
        {Qt::Key_Left, QStringLiteral("Left")},     {Qt::Key_Right, QStringLiteral("Right")},
        {Qt::Key_Up, QStringLiteral("Up")},         {Qt::Key_Down, QStringLiteral("Down")},
        {Qt::Key_Home, QStringLiteral("Home")},     {Qt::Key_End, QStringLiteral("End")},
        {Qt::Key_PageUp, QStringLiteral("PageUp")}, {Qt::Key_PageDown, QStringLiteral("PageDown")},
        {Qt::Key_Delete, QStringLiteral("Delete")}, {Qt::Key_Backspace, QStringLiteral("Backspace")},
        {Qt::Key_Insert, QStringLiteral("Insert")}};
    switch (key) {
    case Qt::Key_Shift: case Qt::Key_Control: case Qt::Key_Alt: case Qt::Key_Meta: case Qt::Key_AltGr:
    case Qt::Key_CapsLock: case Qt::Key_NumLock: case Qt::Key_ScrollLock: case Qt::Key_unknown:
        return QString();
    default:
        break;
    }
    QString name = names.value(key);
    if (name.isEmpty() && key >= Qt::Key_F1 && key <= Qt::Key_F35)
        name = QStringLiteral("F%1").arg(key - Qt::Key_F1 + 1);
    if (name.isEmpty())
        name = QKeySequence(key).toString(QKeySequence::PortableText);
    if (name.isEmpty())
        return QString();

    QString prefix;
    if (modifiers & Qt::ControlModifier)
        prefix += QLatin1String("Ctrl+");
    if (modifiers & Qt::AltModifier)
        prefix += QLatin1String("Alt+");
    // Backtab is what Shift+Tab arrives as.
    if ((modifiers & Qt::ShiftModifier) || key == Qt::Key_Backtab)
        prefix += QLatin1String("Shift+");
    return prefix + name;
}
