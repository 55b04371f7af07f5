#include "app/form_review_impl.h"
#include "app/braille_line_widget.h"
#include "app/chart_widget.h"
#include "app/command_button.h"
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

bool isToggle(const QString &name)
{
    static const QStringList toggles = {QStringLiteral("cmdCursor"), QStringLiteral("cmdZoom"), QStringLiteral("cmdAutoScale"),
                                        QStringLiteral("cmdAutoScrollEnable"), QStringLiteral("cmdOffset")};
    return toggles.contains(name);
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

    // Read-only, yet a text line with a caret: a screen reader puts it on the braille display,
    // and its routing keys move the caret, which moves the chart cursor.
    d->braille = new BrailleLineWidget(d->central);
    d->braille->setObjectName(BrailleLine::Name);
    d->braille->setAccessibleName(QStringLiteral("Braille view"));
    d->braille->setAccessibleDescription(
        QStringLiteral("The cursor channel over the view in braille; moving the caret moves the chart cursor."));
    d->braille->setVisible(false);
    d->surface->add(BrailleLine::Name, d->braille);
    connect(d->braille, &QLineEdit::cursorPositionChanged, this, [this](int, int now) {
        if (!d->viewer->Closing)
            d->viewer->braille.caretMoved(now);
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
    d->viewer->archive.List1.entryReadByScreenReader = [this] { return !speaksWhatTheScreenReaderReads(); };
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
        auto *button = new CommandButton(QLatin1String(entry.caption), toggle, d->central);
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
    chain(d->braille);
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
    const bool brailleShown = !d->braille->property(WidgetSurface::HiddenProperty).toBool() && ready;
    d->braille->setVisible(brailleShown);
    const int below = 3 + (brailleShown ? CommandHeight + 3 : 0) + LabelHeight + 4 + CommandHeight
                      + (listShown ? 4 + ListHeight : 0) + Margin;
    const int chartHeight = std::max(60, height - Margin - below);
    d->chart->setGeometry(chartLeft, Margin, chartWidth, chartHeight);

    int y = Margin + chartHeight + 3;
    if (brailleShown) {
        d->braille->setGeometry(chartLeft, y, chartWidth, CommandHeight);
        y += CommandHeight + 3;
    }
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
