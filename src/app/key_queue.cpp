#include "app/key_queue.h"
#include <QAction>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>

KeyQueue::~KeyQueue() = default;

void KeyQueue::utteranceEnded()
{
    if (utterances_ > 0)
        --utterances_;
    if (utterances_ == 0 && !items_.empty())
        QMetaObject::invokeMethod(this, &KeyQueue::replay, Qt::QueuedConnection);
}

void KeyQueue::holdKey(const QKeyEvent &event, QAction *shortcut)
{
    auto item = std::make_unique<Item>();
    // A fresh event, not a copy: a copy would still count as coming from the keyboard, and
    // the accessibility bridge would hand it to the screen reader a second time.
    item->event = std::make_unique<QKeyEvent>(event.type(), event.key(), event.modifiers(), event.nativeScanCode(),
                                              event.nativeVirtualKey(), event.nativeModifiers(), event.text(),
                                              event.isAutoRepeat(), event.count(), event.device());
    item->shortcut = shortcut;
    item->isKey = true;
    items_.push_back(std::move(item));
}

void KeyQueue::holdClick(QWidget *target, const QMouseEvent &event)
{
    auto item = std::make_unique<Item>();
    item->event = std::make_unique<QMouseEvent>(event.type(), event.position(), event.scenePosition(), event.globalPosition(),
                                                event.button(), event.buttons(), event.modifiers(), event.pointingDevice());
    item->target = target;
    items_.push_back(std::move(item));
}

void KeyQueue::drop()
{
    items_.clear();
}

void KeyQueue::replay()
{
    // One at a time from the front: a key that makes the program speak again holds the
    // later ones behind it, and the ones pressed meanwhile join the end.
    while (!holding() && !items_.empty()) {
        std::unique_ptr<Item> item = std::move(items_.front());
        items_.pop_front();
        if (item->isKey) {
            if (item->shortcut && item->shortcut->isEnabled()) {
                item->shortcut->trigger();
                continue;
            }
            QWidget *focus = window_->focusWidget();
            QCoreApplication::sendEvent(focus ? focus : window_, item->event.get());
        } else if (item->target) {
            QCoreApplication::sendEvent(item->target, item->event.get());
        }
    }
}
