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
    item->event.reset(event.clone());
    item->shortcut = shortcut;
    item->isKey = true;
    items_.push_back(std::move(item));
}

void KeyQueue::holdClick(QWidget *target, const QMouseEvent &event)
{
    auto item = std::make_unique<Item>();
    item->event.reset(event.clone());
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
