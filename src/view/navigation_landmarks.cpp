// Jumping the chart cursor to the places that matter in the view: its edges, a tenth of it
// further, its extremes, and its peaks and valleys.
#include "data/data_set.h"
#include "ports/window_surface.h"
#include "view/navigation.h"
#include "view/strip_chart_model.h"
#include "voice/speech.h"
#include <algorithm>

bool Navigation::landmarkKey(const QString &key, bool onChart)
{
    if (!cursorOn() || !data_.DataReady)
        return false;
    const ViewRows rows = viewRows(chart_, data_, view_);
    if (key == QLatin1String("Home") || key == QLatin1String("End")) {
        if (!rows.empty())
            jumpTo(key == QLatin1String("Home") ? rows.first : rows.last, Landmark::ViewEdge, QString());
        return true;
    }
    if (key == QLatin1String("PageUp") || key == QLatin1String("PageDown")) {
        const int tenth = std::max(1, rows.count() / 10);
        stepCursor(key == QLatin1String("PageUp") ? -tenth : tenth);
        return true;
    }
    if (!onChart)
        return false;
    if (key == QLatin1String("]") || key == QLatin1String("["))
        findExtreme(key == QLatin1String("]"));
    else if (key == QLatin1String("P") || key == QLatin1String("Shift+P"))
        findLandmark(key.size() == 1 ? 1 : -1, false);
    else if (key == QLatin1String("V") || key == QLatin1String("Shift+V"))
        findLandmark(key.size() == 1 ? 1 : -1, true);
    else
        return false;
    return true;
}

void Navigation::findExtreme(bool largest)
{
    const ViewRows rows = viewRows(chart_, data_, view_);
    const int channel = chart_.CursorChannel();
    if (rows.empty() || channel < 0 || channel >= chart_.channelCount())
        return;
    const LandmarkFinder finder(chart_.column(channel).data(), chart_.summary(channel), rows.first, rows.last);
    if (const auto row = finder.extreme(largest))
        jumpTo(int(*row), largest ? Landmark::Maximum : Landmark::Minimum,
               largest ? QStringLiteral("Maximum ") : QStringLiteral("Minimum "));
    else
        speech_.speakReadout(QStringLiteral("No values in this view."));
}

void Navigation::findLandmark(int direction, bool valley)
{
    const ViewRows rows = viewRows(chart_, data_, view_);
    const int channel = chart_.CursorChannel();
    if (rows.empty() || channel < 0 || channel >= chart_.channelCount())
        return;
    const LandmarkFinder finder(chart_.column(channel).data(), chart_.summary(channel), rows.first, rows.last);
    if (const auto row = finder.next(chart_.cursorRow(), direction, valley)) {
        jumpTo(int(*row), valley ? Landmark::Valley : Landmark::Peak, valley ? QStringLiteral("Valley ") : QStringLiteral("Peak "));
        return;
    }
    speech_.speakReadout(QStringLiteral("No %1 %2 this point.")
                             .arg(valley ? QLatin1String("valley") : QLatin1String("peak"),
                                  direction > 0 ? QLatin1String("after") : QLatin1String("before")));
}

void Navigation::jumpTo(int row, Landmark kind, const QString &word)
{
    const quint64 keysBefore = keys_;
    shiftViewToCursor(chart_.GetTime(row));
    chart_.setCursorRow(row);   // the tone follows in the cursor-change handler
    if (playEarcon)
        playEarcon(kind);
    // A key pressed while the sound played has moved on already.
    if (keys_ != keysBefore)
        return;
    const QString text = cursorReadoutText();
    if (text.isEmpty())
        return;
    surface_.setLabel(QStringLiteral("LBLLR"), text);
    speech_.speakReadout(word + text);
}
