#pragma once
#include "view/braille_cells.h"
#include <QString>
#include <functional>

class StripChartModel;
class DataSet;
class ViewWindow;
class WindowSurface;
class SettingsStore;
class Navigation;
class Speech;

// The read-only braille line "BrailleView": the cursor channel over the view as braille cells,
// so a braille display shows the shape of what the chart shows. Its caret follows the chart
// cursor, and moving the caret (a caret key, a routing key, a click) puts the cursor in the
// middle of that cell's rows and reads that sample. Hidden while no file is loaded.
class BrailleLine {
public:
    static constexpr int DefaultCells = 40;
    static constexpr int MaxCells = 1000;
    static const QString Name;

    BrailleLine(StripChartModel &chart, DataSet &data, ViewWindow &view, WindowSurface &surface, Navigation &navigation,
                Speech &speech);

    // Cells in the line ("BrailleCells"; default 40; an unusable value keeps the default).
    int Cells = DefaultCells;
    void readCells(const SettingsStore &store);

    // Redraws the line from the chart and shows or hides it; the caret follows the cursor.
    void refresh();
    // Puts the caret on the cell that holds the chart cursor.
    void followCursor();
    // The caret was moved to `position` (0 = before the first cell): the cursor follows it.
    // Moves the line itself makes (a redraw, following the cursor) are not the user's.
    void caretMoved(int position);
    // Left, Right, Home and End while the line has the focus; true when the key was one.
    bool keyPress(const QString &key);
    // The typed BRAILLE command: the focus to the line, and the line said. False when there
    // is no line to go to (nothing loaded), after saying so.
    bool focusAndSpeak();

    QString text() const { return text_; }
    int caret() const { return caret_; }
    bool shown() const { return shown_; }

private:
    BrailleCells::Layout layout() const;
    void pushCaret(int cell);

    StripChartModel &chart_;
    DataSet &data_;
    ViewWindow &view_;
    WindowSurface &surface_;
    Navigation &navigation_;
    Speech &speech_;

    QString text_;
    BrailleCells::Layout layout_{0, 0, 0};
    int caret_ = -1;
    bool shown_ = true;   // so that the first refresh hides it
    bool pushing_ = false;
    // What the line was drawn from, so a redraw of the chart that changes none of it (a
    // cursor step) costs nothing.
    struct Source {
        bool ready = false;
        int channel = -1, lastIndex = -1, cells = 0;
        double xMin = 0, xMax = 0;
        quint64 revision = 0;
        bool operator==(const Source &) const = default;
    } drawnFrom_;
    bool drawn_ = false;
};
