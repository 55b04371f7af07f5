// A shortcut held while the program spoke runs afterwards only if its item is still enabled.
#include "app/key_queue.h"
#include <QAction>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <gtest/gtest.h>

namespace {

struct HeldShortcut {
    QWidget window;
    QLineEdit *box = new QLineEdit(&window);
    QAction item{QStringLiteral("Cursor")};
    KeyQueue queue{&window};
    int runs = 0;

    HeldShortcut()
    {
        QObject::connect(&item, &QAction::triggered, [this] { ++runs; });
        box->setFocus();
    }
    // Ctrl+U pressed during an utterance; `enabled` is the item's state when the utterance ends.
    void pressDuringUtterance(bool enabled)
    {
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
    held.pressDuringUtterance(false);
    EXPECT_EQ(held.runs, 1);
    EXPECT_EQ(held.queue.size(), 0);
}

} // namespace
