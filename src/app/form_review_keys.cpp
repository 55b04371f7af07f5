#include "app/form_review_impl.h"
#include "app/chart_widget.h"
#include "app/key_names.h"
#include "app/key_queue.h"
#include "app/match_list_widget.h"
#include "app/offset_panel_widget.h"
#include "app/qt_audio_output.h"
#include "app/qt_desktop.h"
#include "app/qt_message_pump.h"
#include "app/qt_speech.h"
#include "app/screen_reader_status.h"
#include "app/widget_surface.h"
#include "session/viewer.h"
#include "settings/qsettings_store.h"
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTimer>

namespace {

// Said when the button receives the focus.
const QHash<QString, QString> &focusSpeech()
{
    static const QHash<QString, QString> texts = {
        {QStringLiteral("cmdCursor"), QStringLiteral("Toggle Cursor.")},
        {QStringLiteral("cmdDecX"), QStringLiteral("Decrement width.")},
        {QStringLiteral("cmdIncX"), QStringLiteral("Increment width.")},
        {QStringLiteral("cmdDecY"), QStringLiteral("Decrement Height.")},
        {QStringLiteral("cmdIncY"), QStringLiteral("Increment Height.")},
        {QStringLiteral("cmdLeft"), QStringLiteral("Left Scroll Arrow.")},
        {QStringLiteral("cmdRight"), QStringLiteral("Right Scroll Arrow.")},
        {QStringLiteral("cmdFullView"), QStringLiteral("Full View.")},
    };
    return texts;
}

} // namespace

bool FormReview::handleKey(QKeyEvent *event)
{
    const QString name = keyName(event->key(), event->modifiers());
    if (name.isEmpty())
        return false;
    Viewer &v = *d->viewer;
    v.commandText = d->txtIn->text();
    QPointer<QAbstractButton> button = qobject_cast<QAbstractButton *>(focusWidget());
    ++d->working;
    const bool consumed = v.keyPress(name);
    --d->working;
    if (d->txtIn->text() != v.commandText)
        d->txtIn->setText(v.commandText);
    afterCommand();
    // Enter presses the button that has the focus, as a click would.
    if (name == QLatin1String("Return") && button && button == focusWidget() && button->isEnabled() && !v.Closing) {
        button->click();
        return true;
    }
    // Space took the focus to the command box: the button it left must not be pressed by it.
    if (name == QLatin1String("Space") && button)
        return true;
    return consumed;
}

void FormReview::watchControls(QWidget *widget)
{
    // The menu bar keeps its keys and clicks: it is never watched.
    if (qobject_cast<QMenuBar *>(widget) || qobject_cast<QMenu *>(widget))
        return;
    widget->installEventFilter(this);
    for (QObject *child : widget->children()) {
        if (auto *w = qobject_cast<QWidget *>(child); w && !w->isWindow())
            watchControls(w);
    }
}

QAction *FormReview::shortcutAction(const QKeyEvent &event) const
{
    const QKeySequence pressed(event.keyCombination());
    for (QAction *action : findChildren<QAction *>()) {
        if (action->isEnabled() && !action->shortcut().isEmpty() && action->shortcut() == pressed)
            return action;
    }
    return nullptr;
}

void FormReview::cutReadoutShort()
{
    // Walking the data, the user hears where the cursor is now, not where it was a key ago;
    // help stops at the user's first key, as a screen reader would.
    if (d->held->speakingReadout() || d->viewer->help.reading())
        d->voice->stop();
}

bool FormReview::holdInput(QObject *watched, QEvent *event)
{
    auto *widget = qobject_cast<QWidget *>(watched);
    if (!widget || widget->window() != this)
        return false;
    switch (event->type()) {
    case QEvent::KeyPress: {
        auto *key = static_cast<QKeyEvent *>(event);
        if (widget != focusWidget() && !(focusWidget() == nullptr && widget == this))
            return false;
        if (key->key() == Qt::Key_Escape) {
            // Never held: silences the utterance now and forgets the keys pressed before it.
            d->held->drop();
            d->voice->stop();
            handleKey(key);
            return true;
        }
        if (keyName(key->key(), key->modifiers()).isEmpty())
            return false;   // a modifier on its own
        d->held->holdKey(*key, shortcutAction(*key));
        cutReadoutShort();
        return true;
    }
    case QEvent::ShortcutOverride:
        // A menu item's shortcut comes as a key press, so it can wait its turn like any key.
        if (shortcutAction(*static_cast<QKeyEvent *>(event))) {
            event->accept();
            return true;
        }
        return false;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
        d->held->holdClick(widget, *static_cast<QMouseEvent *>(event));
        if (event->type() == QEvent::MouseButtonPress)
            cutReadoutShort();
        return true;
    default:
        return false;
    }
}

bool FormReview::eventFilter(QObject *watched, QEvent *event)
{
    if (qobject_cast<QMenuBar *>(watched) || qobject_cast<QMenu *>(watched)) {
        stopWorkOnEscape(event);
        return QMainWindow::eventFilter(watched, event);
    }
    if (event->type() == QEvent::ChildAdded) {
        if (auto *w = qobject_cast<QWidget *>(static_cast<QChildEvent *>(event)->child()); w && !w->isWindow())
            watchControls(w);
    }
    // While the program speaks synchronously its own handling of input waits its turn.
    if (d->held->holding() && holdInput(watched, event))
        return true;

    switch (event->type()) {
    case QEvent::KeyPress: {
        // Only the first receiver (the focused control) of keys meant for this window: the
        // same event is offered again to each parent it propagates to.
        auto *widget = qobject_cast<QWidget *>(watched);
        if (widget && widget->window() == this && (widget == focusWidget() || (!focusWidget() && widget == this)))
            return handleKey(static_cast<QKeyEvent *>(event));
        break;
    }
    case QEvent::ShortcutOverride:
        // Text boxes bind Ctrl+U and Ctrl+D (delete) on some desktops; the menu's shortcuts must win in the command box.
        if (watched == d->txtIn) {
            const QKeySequence pressed(static_cast<QKeyEvent *>(event)->keyCombination());
            if (pressed == QKeySequence(Qt::CTRL | Qt::Key_U) || pressed == QKeySequence(Qt::CTRL | Qt::Key_I) ||
                pressed == QKeySequence(Qt::CTRL | Qt::Key_D)) {
                event->ignore();
                return true;
            }
        }
        break;
    case QEvent::Resize:
        if (watched == d->central)
            layoutControls();
        break;
    case QEvent::MouseButtonRelease:
        if (watched == d->central && static_cast<QMouseEvent *>(event)->button() == Qt::RightButton)
            d->popUpForm->popup(static_cast<QMouseEvent *>(event)->globalPosition().toPoint());
        break;
    case QEvent::MouseButtonPress: {
        const auto mode = d->rightClickModes.constFind(watched);
        if (mode != d->rightClickModes.constEnd() && static_cast<QMouseEvent *>(event)->button() == Qt::RightButton) {
            // Chooses the button's chart tool without clicking it.
            d->viewer->chart.setToolBarMode(mode.value());
            if (d->viewer->view.recolourArrows)
                d->viewer->view.recolourArrows();
            return true;
        }
        break;
    }
    case QEvent::FocusIn:
        if (auto *button = qobject_cast<QPushButton *>(watched))
            speakFocusName(button->objectName());
        break;
    default:
        break;
    }
    return QMainWindow::eventFilter(watched, event);
}

void FormReview::speakFocusName(const QString &control)
{
    const QString text = focusSpeech().value(control);
    if (text.isEmpty() || d->viewer->Closing)
        return;
    if (speaksWhatTheScreenReaderReads())
        d->viewer->speech.speak(text);
}

bool FormReview::speaksWhatTheScreenReaderReads() const
{
    const QString setting = d->settings->read(QStringLiteral("Settings"), QStringLiteral("SpeakFocusNames"), QStringLiteral("Auto"));
    return ScreenReaderStatus::speakFocusNames(setting, d->screenReader.enabled());
}
