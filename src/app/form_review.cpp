#include "app/form_review.h"
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
#include <QPushButton>
#include <QTimer>

namespace {

struct ButtonSpec {
    const char *name;
    const char *caption;
    const char *accessibleName;
    int rightClickMode;   // chart tool chosen by the right button; -1 = none
    const char *description;   // what a screen reader adds to the name
};

// The button column: pairs share a row, the rest take a row each.
const ButtonSpec PairedButtons[] = {
    {"cmdLeft", "<", "Left Scroll Arrow", 1, "Moves the view back in time by a quarter of its width."},
    {"cmdRight", ">", "Right Scroll Arrow", 1, "Moves the view forward in time by a quarter of its width."},
    {"cmdUp", "Up", "Scroll Up", 2, "Moves the view up by a quarter of its height."},
    {"cmdDown", "Down", "Scroll Down", 2, "Moves the view down by a quarter of its height."},
    {"cmdIncX", "W+", "Increment width", 5, "Widens the view in time."},
    {"cmdDecX", "W-", "Decrement width", 5, "Narrows the view in time."},
    {"cmdIncY", "H+", "Increment Height", 6, "Raises the top of the view."},
    {"cmdDecY", "H-", "Decrement Height", 6, "Lowers the top of the view."},
    {"cmdCursor", "Cursor", "Toggle Cursor", -1, "Shows or hides the chart cursor."},
    {"cmdZoom", "Zoom", "Zoom", -1, "Turns zooming with the pointer on or off."},
    {"cmdAutoScale", "Scale", "Auto-Scale", -1, "Fits the view's height to the cursor channel."},
    {"cmdAutoScrollEnable", "Scroll", "Auto-Scroll", -1, "Turns automatic scrolling on or off."},
};
const ButtonSpec WideButtons[] = {
    {"cmdFullView", "Full View", "Full View", -1, "Shows the whole file."},
    {"cmdSaveView", "Save View", "Save View", -1, "Saves what the chart shows as a new data file."},
    {"cmdOffset", "Offset", "Offset Tools", -1, "Shows or hides the channel offset tools."},
};

// A button that switches something on and off: a screen reader hears it checked while the
// thing is on. Only the program changes that state (WidgetSurface::setPicture follows the mode
// or flag), so a click that the program ignores, or that Escape drops from the queue of held
// input, cannot leave it showing the wrong state.
class ToggleButton : public QPushButton {
public:
    using QPushButton::QPushButton;

protected:
    void nextCheckState() override {}
};

bool isToggle(const QString &name)
{
    static const QStringList toggles = {QStringLiteral("cmdCursor"), QStringLiteral("cmdZoom"), QStringLiteral("cmdAutoScale"),
                                        QStringLiteral("cmdAutoScrollEnable"), QStringLiteral("cmdOffset")};
    return toggles.contains(name);
}

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

// Geometry of the window, in pixels.
constexpr int Margin = 7;
constexpr int ChartLeft = 105;
constexpr int ColumnWidth = ChartLeft - 2 * Margin;
constexpr int RowHeight = 26;
constexpr int LabelHeight = 20;
constexpr int CommandHeight = 26;
constexpr int ListHeight = 120;

} // namespace

struct FormReview::Impl {
    std::unique_ptr<SettingsStore> settings;
    std::unique_ptr<SpeechPort> voice;
    QtSpeech *qtSpeech = nullptr;   // the voice above when it is ours
    std::unique_ptr<KeyQueue> held;   // input that came during a synchronous utterance
    std::unique_ptr<HoldingSpeech> speech;
    ScreenReaderStatus screenReader;
    std::unique_ptr<WidgetSurface> surface;
    QtMessagePump pump;
    std::unique_ptr<QtAudioOutput> audio;
    QtDesktop desktop;
    std::unique_ptr<Viewer> viewer;

    QWidget *central = nullptr;
    ChartWidget *chart = nullptr;
    QLineEdit *txtIn = nullptr;
    QListWidget *list = nullptr;
    QLabel *labels[3] = {};
    QHash<QString, QPushButton *> buttons;
    OffsetPanelWidget *offsetPanel = nullptr;
    QHash<QObject *, int> rightClickModes;
    QMenu *popUpChart = nullptr;
    QMenu *popUpForm = nullptr;
    QMenu *popUpList = nullptr;

    bool controlsHidden = false;
    bool controlsOnRight = false;
};

FormReview::FormReview(QWidget *parent) : FormReview(nullptr, nullptr, parent) {}

FormReview::FormReview(std::unique_ptr<SpeechPort> speech, std::unique_ptr<SettingsStore> settings, QWidget *parent)
    : QMainWindow(parent), d(std::make_unique<Impl>())
{
    setObjectName(QStringLiteral("FormReview"));
    d->settings = settings ? std::move(settings) : std::make_unique<QSettingsStore>();
    if (speech) {
        d->voice = std::move(speech);
    } else {
        // Connects in the background: the window appears at once.
        auto ours = std::make_unique<QtSpeech>();
        d->qtSpeech = ours.get();
        d->voice = std::move(ours);
    }
    d->held = std::make_unique<KeyQueue>(this);
    d->speech = std::make_unique<HoldingSpeech>(*d->voice, *d->held);
    d->surface = std::make_unique<WidgetSurface>(this);
    d->viewer = std::make_unique<Viewer>(Ports{*d->speech, *d->surface, d->pump, *d->settings});
    d->viewer->focusedControl = [this] {
        const QWidget *focus = focusWidget();
        return focus ? focus->objectName() : QString();
    };
    if (d->qtSpeech) {
        // The real window plays the tone; one built with a test's speech stays silent.
        d->audio = std::make_unique<QtAudioOutput>();
        d->viewer->setAudioOutput(d->audio.get());
        d->viewer->setDesktop(&d->desktop);
    }

    buildControls();
    buildMenus();
    addWindowActions();
    d->surface->layoutChanged = [this] { layoutControls(); };
    setMinimumSize(300, 225);
    resize(1100, 700);

    // The real voice may still be connecting: start-up must not wait for it to be heard.
    d->speech->queueOnly = d->qtSpeech != nullptr;
    d->viewer->startUp();
    d->speech->queueOnly = false;
    layoutControls();
    watchControls(this);

    if (d->qtSpeech) {
        const auto unavailable = [this](const QString &problem) {
            // Said once, in the window itself: without a voice the user needs a screen reader.
            const QString text = QStringLiteral("Speech is not available, so the program will not talk. ") + problem;
            d->surface->setLabel(QStringLiteral("LBLCS"), QStringLiteral("Speech is not available."));
            auto *box = new QMessageBox(QMessageBox::Warning, QStringLiteral("Speech"), text, QMessageBox::Ok, this);
            box->setAttribute(Qt::WA_DeleteOnClose);
            box->open();
        };
        if (!d->qtSpeech->available())
            QTimer::singleShot(0, this, [unavailable, problem = d->qtSpeech->problem()] { unavailable(problem); });
        else
            connect(d->qtSpeech, &QtSpeech::connectionFailed, this, unavailable);
    }
    // Asked once the window is up; until the answer comes, no screen reader is assumed.
    QTimer::singleShot(0, &d->screenReader, &ScreenReaderStatus::start);
}

FormReview::~FormReview()
{
    // The widgets draw from the program's state: they go first, without laying out the
    // half-destroyed window on their way.
    disconnect(qApp, nullptr, this, nullptr);
    disconnect(d->list->model(), nullptr, this, nullptr);
    d->surface->layoutChanged = nullptr;
    delete takeCentralWidget();
}

Viewer &FormReview::viewer() { return *d->viewer; }
ChartWidget &FormReview::chart() { return *d->chart; }
ScreenReaderStatus &FormReview::screenReader() { return d->screenReader; }

void FormReview::loadAfterStartUp(const QString &path)
{
    int first = 0, last = 0;
    d->viewer->loader.LoadData(path, first, last);
    afterCommand();
}

void FormReview::buildControls()
{
    d->central = new QWidget(this);
    d->central->setObjectName(QStringLiteral("central"));
    d->central->installEventFilter(this);
    setCentralWidget(d->central);

    d->chart = new ChartWidget(d->viewer->chart, d->central);
    d->chart->setNavigation(&d->viewer->navigation);
    d->surface->add(QStringLiteral("iStripChartX1"), d->chart);
    connect(d->chart, &ChartWidget::contextRequested, this, [this](const QPoint &at) {
        if (d->viewer->data.DataReady)
            d->popUpChart->popup(at);
    });

    d->txtIn = new QLineEdit(d->central);
    d->txtIn->setObjectName(QStringLiteral("txtIn"));
    d->txtIn->setAccessibleName(QStringLiteral("Command"));
    d->txtIn->setAccessibleDescription(QStringLiteral("Type a command and press Enter; F1 for help."));
    d->surface->add(QStringLiteral("txtIn"), d->txtIn);

    auto *list = new MatchListWidget(d->viewer->archive.List1, d->central);
    list->gotFocus = [this] {
        if (!d->viewer->Closing)
            d->viewer->archive.List1.List1_GotFocus();
    };
    d->list = list;
    d->list->setAccessibleDescription(QStringLiteral("Recordings found in the Veyra Archive; Enter repeats a record."));
    d->list->setContextMenuPolicy(Qt::CustomContextMenu);
    d->surface->add(QStringLiteral("List1"), d->list);
    const auto relayout = [this] { layoutControls(); };
    // The command box greets the user when the focus comes back to it from another control.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget *old, QWidget *now) {
        if (now == d->txtIn && old && old != now && old->window() == this && !d->viewer->Closing)
            d->viewer->commandBox.txtIn_GotFocus();
    });
    connect(d->list->model(), &QAbstractItemModel::rowsInserted, this, relayout);
    connect(d->list->model(), &QAbstractItemModel::rowsRemoved, this, relayout);
    connect(d->list->model(), &QAbstractItemModel::modelReset, this, relayout);
    connect(d->list, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &at) { d->popUpList->popup(d->list->viewport()->mapToGlobal(at)); });

    const char *labelNames[3] = {"LBLLR", "LBLTC", "LBLCS"};
    const char *labelRoles[3] = {"Status", "Time", "Chart status"};
    for (int i = 0; i < 3; ++i) {
        auto *label = new QLabel(d->central);
        label->setObjectName(QLatin1String(labelNames[i]));
        label->setAccessibleDescription(QLatin1String(labelRoles[i]));
        label->setAccessibleName(QLatin1String(labelRoles[i]));
        // Status text, not a stop on the Tab round: its changes reach the screen reader as
        // name changes (WidgetSurface::setLabel).
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
        label->setFocusPolicy(Qt::NoFocus);
        d->labels[i] = label;
        d->surface->add(label->objectName(), label);
    }

    const auto addButton = [this](const ButtonSpec &entry) {
        const QString name = QLatin1String(entry.name);
        const bool toggle = isToggle(name);
        auto *button = toggle ? new ToggleButton(QLatin1String(entry.caption), d->central)
                              : new QPushButton(QLatin1String(entry.caption), d->central);
        button->setCheckable(toggle);
        button->setObjectName(name);
        button->setAccessibleName(QLatin1String(entry.accessibleName));
        button->setToolTip(QLatin1String(entry.accessibleName));
        button->setAccessibleDescription(QLatin1String(entry.description));
        button->installEventFilter(this);
        connect(button, &QPushButton::clicked, this, [this, name] { runAction(name); });
        d->buttons[name] = button;
        d->surface->add(name, button);
        if (entry.rightClickMode >= 0)
            d->rightClickModes[button] = entry.rightClickMode;
    };
    for (const ButtonSpec &entry : PairedButtons)
        addButton(entry);
    for (const ButtonSpec &entry : WideButtons)
        addButton(entry);
    d->buttons[QStringLiteral("cmdOffset")]->setToolTip(QStringLiteral(" Show / Hide Offset Tools "));

    d->offsetPanel = new OffsetPanelWidget(*d->surface, d->viewer->offsets, d->viewer->chart,
                                           [this](const QString &name) { runAction(name); }, d->central);

    // Tab goes from the command box to the match list, through the buttons, to the chart.
    QWidget *previous = d->txtIn;
    const auto chain = [&previous](QWidget *next) {
        QWidget::setTabOrder(previous, next);
        previous = next;
    };
    chain(d->list);
    for (const ButtonSpec &entry : PairedButtons)
        chain(d->buttons.value(QLatin1String(entry.name)));
    for (const ButtonSpec &entry : WideButtons)
        chain(d->buttons.value(QLatin1String(entry.name)));
    for (QWidget *inPanel : d->offsetPanel->tabOrder())
        chain(inPanel);
    chain(d->chart);
}

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
            runAction(name);
        });
        d->surface->add(name, action);
        return action;
    };
    const auto submenu = [this](QMenu *parent, const QString &name, const QString &caption) {
        QMenu *menu = parent ? parent->addMenu(caption) : menuBar()->addMenu(caption);
        menu->setObjectName(name);
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
    item(file, s("MnuSaveChartToClipboard"), s("Save Chart to &Clipboard"));
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

    QMenu *tools = submenu(nullptr, s("MnuTools"), s("&Tools"));
    item(tools, s("mnuExportToTabDelimitedFile"), s("&Export to Delimited File"));
    item(tools, s("mnuClipSpikes"), s("&Clip Spikes"));
    item(tools, s("mnuCursor"), s("C&ursor"), QKeySequence(Qt::CTRL | Qt::Key_U));
    item(tools, s("mnuScan"), s("Sc&an"));

    QAction *help = menuBar()->addAction(s("&Help"));
    help->setObjectName(s("mnuHelp"));
    d->surface->add(s("mnuHelp"), help);
    connect(help, &QAction::triggered, this, [this] { runAction(QStringLiteral("mnuHelp")); });

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

void FormReview::layoutControls()
{
    if (isMinimized() || !d->central)
        return;
    WidgetSurface &ui = *d->surface;
    const bool ready = d->viewer->data.DataReady;
    if (!ready)
        d->controlsHidden = false;
    ui.setEnabled(QStringLiteral("mnuPopUpHideShowControls"), ready);
    ui.setCaption(QStringLiteral("mnuPopUpHideShowControls"),
                  d->controlsHidden ? QStringLiteral("Show Controls") : QStringLiteral("Hide Controls"));
    ui.setCaption(QStringLiteral("mnuPopUpControlsRightLeft"),
                  d->controlsOnRight ? QStringLiteral("Move Controls Left") : QStringLiteral("Move Controls Right"));

    const int width = d->central->width();
    const int height = d->central->height();
    const bool listShown = d->list->count() > 0;
    d->list->setVisible(listShown);

    const int chartWidth = std::max(50, width - (d->controlsHidden ? 20 : 110));
    // Hidden controls leave no column to keep clear of.
    const int chartLeft = d->controlsOnRight || d->controlsHidden ? Margin : ChartLeft;
    const int below = 3 + LabelHeight + 4 + CommandHeight + (listShown ? 4 + ListHeight : 0) + Margin;
    const int chartHeight = std::max(60, height - Margin - below);
    d->chart->setGeometry(chartLeft, Margin, chartWidth, chartHeight);

    int y = Margin + chartHeight + 3;
    const int quarter = chartWidth / 4;
    d->labels[0]->setGeometry(chartLeft, y, chartWidth - 2 * quarter, LabelHeight);
    d->labels[1]->setGeometry(chartLeft + chartWidth - 2 * quarter, y, quarter, LabelHeight);
    d->labels[2]->setGeometry(chartLeft + chartWidth - quarter, y, quarter, LabelHeight);
    y += LabelHeight + 4;
    d->txtIn->setGeometry(chartLeft, y, chartWidth, CommandHeight);
    y += CommandHeight + 4;
    if (listShown)
        d->list->setGeometry(chartLeft, y, chartWidth, ListHeight);

    // Button column: rows stack one pixel apart.
    const int columnLeft = d->controlsOnRight ? chartLeft + chartWidth + Margin : Margin;
    const int half = (ColumnWidth - 1) / 2;
    int row = 0;
    for (const ButtonSpec &entry : PairedButtons) {
        QPushButton *b = d->buttons.value(QLatin1String(entry.name));
        const bool second = row % 2 == 1;
        b->setGeometry(columnLeft + (second ? half + 1 : 0), Margin + (row / 2) * (RowHeight + 1), half, RowHeight);
        ++row;
    }
    int top = Margin + ((row + 1) / 2) * (RowHeight + 1) + 6;
    for (const ButtonSpec &entry : WideButtons) {
        QPushButton *b = d->buttons.value(QLatin1String(entry.name));
        b->setGeometry(columnLeft, top, ColumnWidth, RowHeight);
        if (!b->property(WidgetSurface::HiddenProperty).toBool())
            top += RowHeight + 1;
    }
    d->offsetPanel->setGeometry(columnLeft, top + 6, ColumnWidth, OffsetPanelWidget::PanelHeight);
    d->offsetPanel->arrange(ColumnWidth);
    d->offsetPanel->setVisible(!d->controlsHidden && d->viewer->offsets.visible());
    // Showing the column again must not bring back a button the program hid (cmdSaveView).
    for (QPushButton *b : std::as_const(d->buttons))
        b->setVisible(!d->controlsHidden && !b->property(WidgetSurface::HiddenProperty).toBool());
}

void FormReview::runAction(const QString &name)
{
    d->viewer->actions.run(name);
    afterCommand();
}

void FormReview::afterCommand()
{
    if (d->viewer->Closing && isVisible())
        close();
}

bool FormReview::handleKey(QKeyEvent *event)
{
    const QString name = keyName(event->key(), event->modifiers());
    if (name.isEmpty())
        return false;
    Viewer &v = *d->viewer;
    v.commandText = d->txtIn->text();
    const bool consumed = v.keyPress(name);
    if (d->txtIn->text() != v.commandText)
        d->txtIn->setText(v.commandText);
    afterCommand();
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
    // Walking the data, the user hears where the cursor is now, not where it was a key ago.
    if (d->held->speakingReadout())
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
        // Some desktops bind Ctrl+U in text boxes; the menu's shortcuts must win in the command box.
        if (watched == d->txtIn) {
            const QKeySequence pressed(static_cast<QKeyEvent *>(event)->keyCombination());
            if (pressed == QKeySequence(Qt::CTRL | Qt::Key_U) || pressed == QKeySequence(Qt::CTRL | Qt::Key_I)) {
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
    const QString setting = d->settings->read(QStringLiteral("Settings"), QStringLiteral("SpeakFocusNames"), QStringLiteral("Auto"));
    if (ScreenReaderStatus::speakFocusNames(setting, d->screenReader.enabled()))
        d->viewer->speech.speak(text);
}

void FormReview::closeEvent(QCloseEvent *event)
{
    d->viewer->close();
    QMainWindow::closeEvent(event);
}
