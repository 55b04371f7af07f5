#pragma once
#include "view/landmarks.h"
#include <QString>
#include <functional>

class StripChartModel;
class DataSet;
class ViewWindow;
class WindowSurface;
class Speech;
class SettingsStore;

// Moving around the chart: the navigation buttons, the keys of the main window, the channel
// menu, the cursor, and the remembered view. Each step changes the chart's view, sets the
// chart tool (ToolBarMode) that belongs to it, and says what it did.
class Navigation {
public:
    // Chart tools; the numbers are what the chart stores in ToolBarMode.
    enum Mode { NoTool = 0, TimeScroll = 1, ValueScroll = 2, CursorTool = 4, WidthTool = 5, HeightTool = 6, ZoomTool = 8 };

    Navigation(StripChartModel &chart, DataSet &data, ViewWindow &view, WindowSurface &surface, Speech &speech);

    // Spoken reports (wired by the Viewer).
    std::function<void()> speakChartWidth;
    std::function<void()> speakChartHeight;

    // Percentage the width and height buttons change the span by, halved ("ClickInc").
    double ClickInc = 25;
    void readClickInc(const SettingsStore &store);

    // --- buttons ---
    void cmdLeft_Click();
    void cmdRight_Click();
    void cmdUp_Click();
    void cmdDown_Click();
    void cmdIncX_Click();
    void cmdDecX_Click();
    void cmdIncY_Click();
    void cmdDecY_Click();
    void cmdCursor_Click();
    void cmdZoom_Click();
    void cmdAutoScrollEnable_Click();
    // Right button on a scroll or span button: choose its tool without moving the view.
    void selectTool(int mode);

    // --- menus ---
    void mnuCursor_Click();
    void mnuSetYminToZero_Click();
    // Channel menu item n (1..8): the cursor follows channel n.
    void mnuCH_Click(int n);
    void UpdateMnuCH();
    void mnuRememberXY_Click();
    void mnuRecallXY_Click();
    // A load forgets the remembered view.
    void forgetRememberedView();
    bool recallAllowed() const { return rememberedXMin_ != 0 && recallEnabled_; }

    // --- appearance of the buttons ---
    void CheckScrollEnabled();
    void CheckArrowColors();

    // --- keys ---
    // The window-level keys of navigation (Left, Right, Shift/Ctrl/Alt+Up/Down, F11, F12).
    // True when the key did something here; the focused control still receives it.
    bool keyPress(const QString &key);

    // --- cursor ---
    // Moves the cursor `delta` samples (cursor mode's Left and Right), keeps it in view, and
    // says where it stands; at the first or last sample it says so instead.
    void stepCursor(int delta);
    // Puts the cursor on the view's first sample unless it already stands in the view.
    void cursorIntoView();
    // "HH:nn:ss" of the cursor's sample, a blank and its value; empty without a sample.
    QString cursorReadoutText() const;
    // Says the cursor's sample and shows it in the readout label.
    void speakCursor();

    // --- landmarks (cursor mode) ---
    // Home, End, PageUp and PageDown (with the focus on the chart or in an empty command box)
    // and, with the focus on the chart, ] [ P Shift+P V Shift+V. True when the key was one.
    bool landmarkKey(const QString &key, bool onChart);
    // Plays the short sound of a kind of landmark (wired by the Viewer).
    std::function<void(Landmark)> playEarcon;
    // Every key the window sees: a readout not yet spoken gives way to it.
    void keySeen() { ++keys_; }

    // The spoken report that ends a change of the view made with the pointer in `mode`.
    void pointerChangeDone(int mode);

    // Names of the navigation buttons that follow the chart tool, with their tool.
    struct ToolButton {
        const char *name;
        int mode;
    };
    static const ToolButton ToolButtons[10];

private:
    double height() const;
    void stepHeight(int direction);
    bool cursorOn() const;
    void shiftViewToCursor(double time);
    void setCursorMode(bool on);
    void jumpTo(int row, Landmark kind, const QString &word);
    void findLandmark(int direction, bool valley);
    void findExtreme(bool largest);

    StripChartModel &chart_;
    DataSet &data_;
    ViewWindow &view_;
    WindowSurface &surface_;
    Speech &speech_;

    double rememberedXMin_ = 0, rememberedXMax_ = 0, rememberedYMin_ = 0, rememberedYMax_ = 0;
    bool recallEnabled_ = false;
    quint64 keys_ = 0;
    // What the buttons show now, so a refresh that changes nothing costs nothing.
    int shownMode_ = -1;
    int shownScroll_ = -1, shownScale_ = -1;
};
