// A shortcut held while the program spoke runs afterwards if its item is still enabled;
// otherwise the key goes on to the focused control like any other key.
#include "app/key_queue.h"
#include <QAction>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <gtest/gtest.h>

namespace {

struct HeldShortcut : QObject {
    QWidget window;
    QLineEdit *box = new QLineEdit(&window);
    QAction item{QStringLiteral("Cursor")};
    KeyQueue queue{&window};
    int runs = 0;
    int keysDelivered = 0;

    HeldShortcut()
    {
        QObject::connect(&item, &QAction::triggered, [this] { ++runs; });
        box->setFocus();
        box->installEventFilter(this);
        window.installEventFilter(this);
    }
    bool eventFilter(QObject *, QEvent *e) override
    {
        keysDelivered += e->type() == QEvent::KeyPress;
        return false;
    }
    // Ctrl+U pressed during an utterance; `enabled` is the item's state when the utterance ends.
    void pressDuringUtterance(bool enabled)
    {
        keysDelivered = 0;
        queue.utteranceStarted();
        queue.holdKey(QKeyEvent(QEvent::KeyPress, Qt::Key_U, Qt::ControlModifier, QStringLiteral("\x15")), &item);
        item.setEnabled(enabled);
        queue.utteranceEnded();
        QCoreApplication::processEvents();
    }
};

TEST(KeyQueue, AHeldShortcutRunsOnlyWhileItsItemIsEnabled)
{
    HeldShortcut held;
    held.pressDuringUtterance(true);
    EXPECT_EQ(held.runs, 1);
    EXPECT_EQ(held.keysDelivered, 0);
    held.pressDuringUtterance(false);
    EXPECT_EQ(held.runs, 1);
    EXPECT_GT(held.keysDelivered, 0) << "the key is not lost";
    EXPECT_EQ(held.queue.size(), 0);
}

} // namespace
