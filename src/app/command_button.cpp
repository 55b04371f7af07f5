#include "app/command_button.h"
#include "app/accessible_factory.h"
#include <QAccessibleWidget>
#include <QCoreApplication>
#include <QMouseEvent>
#include <QPointer>

namespace {

class CommandButtonAccessible : public QAccessibleWidget {
public:
    explicit CommandButtonAccessible(CommandButton *button) : QAccessibleWidget(button, QAccessible::Button) {}

    // An on-off button is heard as a check box that is checked while the thing is on.
    QAccessible::Role role() const override
    {
        return button()->isCheckable() ? QAccessible::CheckBox : QAccessible::Button;
    }
    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        const auto *b = button();
        if (b->isCheckable()) {
            s.checkable = true;
            s.checked = b->isChecked();
        }
        s.pressed = b->isDown();
        return s;
    }
    QString text(QAccessible::Text t) const override
    {
        QString text = QAccessibleWidget::text(t);
        if (t == QAccessible::Name && text.isEmpty())
            text = button()->text().remove(u'&');
        return text;
    }
    QStringList actionNames() const override
    {
        QStringList names;
        if (widget()->isEnabled()) {
            names << pressAction();
            if (button()->isCheckable())
                names << toggleAction();
        }
        return names + QAccessibleWidget::actionNames();
    }
    void doAction(const QString &name) override
    {
        if (name != pressAction() && name != toggleAction()) {
            QAccessibleWidget::doAction(name);
            return;
        }
        // Not now: the screen reader waits for this call to return, and the button's work
        // may speak for seconds.
        QMetaObject::invokeMethod(button(), &CommandButton::pressLikeAPointer, Qt::QueuedConnection);
    }
    QStringList keyBindingsForAction(const QString &) const override { return {}; }

private:
    CommandButton *button() const { return static_cast<CommandButton *>(widget()); }
};

} // namespace

CommandButton::CommandButton(const QString &caption, bool toggle, QWidget *parent) : QPushButton(caption, parent)
{
    presentAccessibleAs<CommandButton, CommandButtonAccessible>();
    setCheckable(toggle);
}

void CommandButton::pressLikeAPointer()
{
    if (!isVisible() || !isEnabled())
        return;
    const QPointF centre = QRectF(rect()).center();
    const QPointF global = mapToGlobal(centre);
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        const Qt::MouseButtons held = type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton;
        auto *event = new QMouseEvent(type, centre, centre, global, Qt::LeftButton, held, Qt::NoModifier);
        QCoreApplication::postEvent(this, event);
    }
}
