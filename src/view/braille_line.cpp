#include "view/braille_line.h"
#include "data/data_set.h"
#include "ports/settings_store.h"
#include "ports/window_surface.h"
#include "view/navigation.h"
#include "view/strip_chart_model.h"
#include "view/view_window.h"
#include "voice/speech.h"
#include <algorithm>

const QString BrailleLine::Name = QStringLiteral("BrailleView");

BrailleLine::BrailleLine(StripChartModel &chart, DataSet &data, ViewWindow &view, WindowSurface &surface,
                         Navigation &navigation, Speech &speech)
    : chart_(chart), data_(data), view_(view), surface_(surface), navigation_(navigation), speech_(speech)
{
}

void BrailleLine::readCells(const SettingsStore &store)
{
    bool ok = false;
    const int cells = store.read(QStringLiteral("Settings"), QStringLiteral("BrailleCells"), QString()).trimmed().toInt(&ok);
    Cells = ok && cells >= 1 && cells <= MaxCells ? cells : DefaultCells;
}

BrailleCells::Layout BrailleLine::layout() const
{
    const int channel = chart_.CursorChannel();
    if (!data_.DataReady || channel < 0 || channel >= chart_.channelCount() || chart_.rowCount() == 0)
        return {0, 0, 0};
    view_.FindXaxisMinIndex();
    view_.FindXaxisMaxIndex();
    // As the view's queries count them: up to the first row at the right edge, within the data.
    const int last = std::min({view_.ViewStopIndex, data_.LastIndex, chart_.rowCount() - 1});
    return {view_.ViewStartIndex, last - view_.ViewStartIndex + 1, Cells};
}

void BrailleLine::refresh()
{
    const Source source{data_.DataReady, chart_.CursorChannel(), data_.LastIndex, Cells,
                        chart_.XAxisMin(), chart_.XAxisMax(), chart_.dataRevision()};
    if (drawn_ && source == drawnFrom_) {
        followCursor();
        return;
    }
    drawn_ = true;
    drawnFrom_ = source;
    layout_ = layout();
    QString text;
    if (layout_.stretches > 0) {
        const int channel = chart_.CursorChannel();
        text = BrailleCells::line(chart_.column(channel).data(), layout_, &chart_.summary(channel));
    }
    const bool show = data_.DataReady;
    if (show != shown_) {
        shown_ = show;
        surface_.setVisible(Name, show);
    }
    if (text != text_) {
        text_ = text;
        caret_ = -1;   // the window put its caret at the end of the new text
        pushing_ = true;
        surface_.setLabel(Name, text_);
        pushing_ = false;
    }
    followCursor();
}

void BrailleLine::followCursor()
{
    if (text_.isEmpty())
        return;
    pushCaret(layout_.cellOfRow(chart_.cursorRow()));
}

void BrailleLine::pushCaret(int cell)
{
    if (cell == caret_)
        return;
    caret_ = cell;
    pushing_ = true;
    surface_.setCaret(Name, cell);
    pushing_ = false;
}

void BrailleLine::caretMoved(int position)
{
    if (pushing_ || text_.isEmpty())
        return;
    // The caret after the last cell stands for the last cell, as a screen reader reads it.
    const int cell = std::clamp(position, 0, int(text_.size()) - 1);
    chart_.setCursorRow(layout_.middleRowOfCell(cell));   // the caret follows in followCursor()
    pushCaret(cell);
    navigation_.speakCursor();
}

bool BrailleLine::keyPress(const QString &key)
{
    const int last = int(text_.size()) - 1;
    const int here = std::max(caret_, 0);
    if (key == QLatin1String("Left"))
        caretMoved(std::max(here - 1, 0));
    else if (key == QLatin1String("Right"))
        caretMoved(std::min(here + 1, std::max(last, 0)));
    else if (key == QLatin1String("Home"))
        caretMoved(0);
    else if (key == QLatin1String("End"))
        caretMoved(std::max(last, 0));
    else
        return false;
    return true;
}

bool BrailleLine::focusAndSpeak()
{
    refresh();
    if (!data_.DataReady) {
        speech_.speak(QStringLiteral("No file loaded."));
        return false;
    }
    surface_.setFocus(Name);
    speech_.speak(text_.isEmpty() ? QStringLiteral("The braille line is empty.") : text_);
    return true;
}
