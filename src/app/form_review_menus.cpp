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
#include <QKeyEvent>
#include <QMouseEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

void FormReview::buildMenus()
{
    const auto item = [this](QMenu *menu, const QString &name, const QString &caption,
                             const QKeySequence &shortcut = {}, bool checkable = false) {
        QAction *action = menu->addAction(caption);
        action->setObjectName(name);
        action->setShortcut(shortcut);
        action->setCheckable(checkable);
        connect(action, &QAction::triggered, this, [this, action, name](bool checked) {
            // The program decides the tick; undo Qt's own toggle first.
            if (action->isCheckable())
                action->setChecked(!checked);
            returnFocusFromMenus();
            runAction(name);
        });
        d->surface->add(name, action);
        return action;
    };
    const auto submenu = [this](QMenu *parent, const QString &name, const QString &caption) {
        QMenu *menu = parent ? parent->addMenu(caption) : menuBar()->addMenu(caption);
        menu->setObjectName(name);
        menu->installEventFilter(this);
        d->surface->add(name, menu);
        return menu;
    };
    const auto separator = [this](QMenu *menu, const QString &name) {
        QAction *sep = menu->addSeparator();
        sep->setObjectName(name);
        d->surface->add(name, sep);
    };
    const auto s = [](const char *text) { return QString::fromLatin1(text); };

    QMenu *file = submenu(nullptr, s("MnuFile"), s("&File"));
    item(file, s("mnuStartChart"), s("Start Chart"))->setVisible(false);
    item(file, s("MnuLoadDataFile"), s("&Load Data File"));
    item(file, s("mnuSave"), s("&Save"));
    item(file, s("mnuSaveSound"), s("Save S&ound..."));
    item(file, s("MnuSaveChartToClipboard"), s("Save Chart to &Clipboard"));
    // Checkable, so a screen reader says whether the loaded file is being followed.
    item(file, s("mnuFollowFile"), s("&Follow File"), {}, true);
    separator(file, s("mnufilesep"));
    QMenu *saved = submenu(file, s("mnuRecentSaved"), s("Recent Saved "));
    saved->menuAction()->setVisible(false);
    saved->menuAction()->setEnabled(false);
    QMenu *loaded = submenu(file, s("mnuRecentLoaded"), s("Recent Loaded"));
    for (int i = 1; i <= 5; ++i) {
        item(saved, s("mnuRecentSaved") + QString::number(i), QString())->setVisible(false);
        item(loaded, s("mnuRecentLoaded") + QString::number(i), QString())->setVisible(false);
    }
    separator(file, s("mnusep2"));
    item(file, s("MnuExit"), s("E&xit"));

    QMenu *info = submenu(nullptr, s("mnuInfo"), s("Chart &Info"));
    item(info, s("mnuDataFileInfo"), s("ALL Data File &Info"), QKeySequence(Qt::CTRL | Qt::Key_I));
    item(info, s("mnuObserverInfo"), s("&Observer"));
    item(info, s("mnuStatsInfo"), s("&Stats"));
    item(info, s("mnuNotesInfo"), s("&Notes"));
    // Ctrl+D: no screen reader takes it (they use Insert and Caps Lock combinations).
    item(info, s("mnuDescribeView"), s("&Describe View"), QKeySequence(Qt::CTRL | Qt::Key_D));
    connect(info, &QMenu::aboutToShow, this, [this] {
        if (d->viewer->actions.contains(QStringLiteral("mnuInfo")))
            runAction(QStringLiteral("mnuInfo"));
    });

    QMenu *sound = submenu(nullptr, s("mnuSound"), s("&Sound"));
    item(sound, s("mnuSoundOffOn"), s("&Off / On"));
    item(sound, s("mnuSoundSine"), s("&Sine"), {}, true);
    item(sound, s("mnuSoundSquare"), s("S&quare"), {}, true);
    item(sound, s("mnuSoundNoise"), s("&Noise"), {}, true);
    item(sound, s("mnuSoundFreq"), s("&Freq"), {}, true);
    item(sound, s("mnuSoundAmplitude"), s("&Amplitude"), {}, true);
    item(sound, s("mnuListen"), s("&Listen"));

    QMenu *tools = submenu(nullptr, s("MnuTools"), s("&Tools"));
    item(tools, s("mnuExportToTabDelimitedFile"), s("&Export to Delimited File"));
    item(tools, s("mnuClipSpikes"), s("&Clip Spikes"));
    item(tools, s("mnuCursor"), s("C&ursor"), QKeySequence(Qt::CTRL | Qt::Key_U));
    item(tools, s("mnuScan"), s("Sc&an"));

    QAction *help = menuBar()->addAction(s("&Help"));
    help->setObjectName(s("mnuHelp"));
    d->surface->add(s("mnuHelp"), help);
    connect(help, &QAction::triggered, this, [this] {
        returnFocusFromMenus();
        runAction(QStringLiteral("mnuHelp"));
    });
    menuBar()->installEventFilter(this);
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget *, QWidget *now) {
        if (now && now->window() == this && !qobject_cast<QMenuBar *>(now) && !qobject_cast<QMenu *>(now))
            d->lastFocus = now;
    });

    // Pop-up menus, never in the menu bar. F11 and F12 reach the program as keys.
    d->popUpChart = new QMenu(s("PopUpChart"), this);
    d->popUpChart->setObjectName(s("mnuPopUpChart"));
    item(d->popUpChart, s("mnuRememberXY"), s("Save XY Chart Sizes\tF11"));
    item(d->popUpChart, s("mnuRecallXY"), s("Recall XY Chart Sizes\tF12"));
    item(d->popUpChart, s("mnuSetYminToZero"), s("Set Ymin to 0"));
    d->popUpChart->addSeparator();
    for (int ch = 1; ch <= 8; ++ch)
        item(d->popUpChart, s("mnuCH") + QString::number(ch), s("CH") + QString::number(ch), {}, true);
    connect(d->popUpChart, &QMenu::aboutToShow, this, [this] { runAction(QStringLiteral("UpdateMnuCH")); });

    d->popUpForm = new QMenu(s("PopUpForm"), this);
    d->popUpForm->setObjectName(s("mnuPopUpForm"));
    item(d->popUpForm, s("mnuPopUpHideShowControls"), s("Hide Controls"));
    item(d->popUpForm, s("mnuPopUpControlsRightLeft"), s("Controls Left"));

    d->popUpList = new QMenu(s("PopUpList"), this);
    d->popUpList->setObjectName(s("mnuPopupList"));
    item(d->popUpList, s("mnuUpdatelist"), s("UpdateServer List"));
    item(d->popUpList, s("mnuHideServerList"), s("Hide Server List"));
}

// What only the window can do; the program's own actions of the same name win.
void FormReview::addWindowActions()
{
    ActionRegistry &actions = d->viewer->actions;
    const auto addIfAbsent = [&actions](const QString &name, std::function<void()> action) {
        if (!actions.contains(name))
            actions.add(name, std::move(action));
    };
    addIfAbsent(QStringLiteral("MnuExit"), [this] { close(); });
    addIfAbsent(QStringLiteral("MnuSaveChartToClipboard"), [this] {
        QGuiApplication::clipboard()->setImage(d->chart->grab().toImage());
    });
    addIfAbsent(QStringLiteral("mnuPopUpHideShowControls"), [this] {
        d->controlsHidden = !d->controlsHidden;
        layoutControls();
    });
    addIfAbsent(QStringLiteral("mnuPopUpControlsRightLeft"), [this] {
        d->controlsOnRight = !d->controlsOnRight;
        layoutControls();
    });
    d->viewer->hooks.resetLayoutChoices = [this] { d->controlsHidden = false; };
    DataLoader::Hooks &hooks = d->viewer->loader.hooks;
    if (!hooks.layout)
        hooks.layout = [this] { layoutControls(); };
    if (!hooks.hideArchiveList)
        hooks.hideArchiveList = [this] { d->list->clear(); };
}

void FormReview::returnFocusFromMenus()
{
    // Chosen from the keyboard, the command would otherwise run with the focus on the menu
    // bar, where the window's keys (Escape among them) do not reach it.
    QWidget *focus = focusWidget();
    if (focus && !qobject_cast<QMenuBar *>(focus) && !qobject_cast<QMenu *>(focus))
        return;
    QWidget *back = d->lastFocus && d->lastFocus->isVisible() ? d->lastFocus.data() : d->txtIn;
    back->setFocus(Qt::MenuBarFocusReason);
}

void FormReview::stopWorkOnEscape(QEvent *event)
{
    if (event->type() != QEvent::KeyPress || static_cast<QKeyEvent *>(event)->key() != Qt::Key_Escape || d->working == 0)
        return;
    d->held->drop();
    d->voice->stop();
    d->viewer->speech.AbortRequested = true;
}
