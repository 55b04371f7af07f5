// What the navigation buttons show (pictures, tool tips, visibility) and the remembered view.
#include "data/data_set.h"
#include "ports/window_surface.h"
#include "view/navigation.h"
#include "view/strip_chart_model.h"
#include "voice/speech.h"

const Navigation::ToolButton Navigation::ToolButtons[10] = {
    {"cmdRight", TimeScroll}, {"cmdLeft", TimeScroll}, {"cmdUp", ValueScroll},  {"cmdDown", ValueScroll},
    {"cmdIncX", WidthTool},   {"cmdIncY", HeightTool}, {"cmdDecX", WidthTool},  {"cmdDecY", HeightTool},
    {"cmdCursor", CursorTool}, {"cmdZoom", ZoomTool},
};

void Navigation::CheckScrollEnabled()
{
    const int scroll = chart_.AutoScrollEnabled ? 1 : 0;
    if (scroll != shownScroll_) {
        surface_.setPicture(QStringLiteral("cmdAutoScrollEnable"), scroll ? QStringLiteral("enabled") : QStringLiteral("disabled"));
        surface_.setToolTip(QStringLiteral("cmdAutoScrollEnable"), scroll ? QStringLiteral("Auto-Scroll Enabled - Click to Disable")
                                                                          : QStringLiteral("Auto-Scroll Disabled - Click to Enable"));
        shownScroll_ = scroll;
    }
    const int scale = chart_.AutoScaleEnabled ? 1 : 0;
    if (scale != shownScale_) {
        surface_.setPicture(QStringLiteral("cmdAutoScale"), scale ? QStringLiteral("enabled") : QStringLiteral("disabled"));
        surface_.setToolTip(QStringLiteral("cmdAutoScale"), scale ? QStringLiteral("Auto-Scale Enabled - Click to Disable")
                                                                  : QStringLiteral("Auto-Scale Disabled - Click to Enable"));
        shownScale_ = scale;
    }
}

void Navigation::CheckArrowColors()
{
    const int mode = chart_.ToolBarMode();
    if (mode == shownMode_)
        return;
    // A mode no button stands for leaves the pictures as they are.
    const bool known = mode == NoTool || mode == TimeScroll || mode == ValueScroll || mode == CursorTool ||
                       mode == WidthTool || mode == HeightTool || mode == ZoomTool;
    if (!known)
        return;
    for (const ToolButton &b : ToolButtons)
        surface_.setPicture(QLatin1String(b.name), b.mode == mode ? QStringLiteral("highlighted") : QStringLiteral("plain"));
    shownMode_ = mode;
}

void Navigation::mnuRememberXY_Click()
{
    rememberedXMin_ = chart_.XAxisMin();
    rememberedXMax_ = chart_.XAxisMax();
    rememberedYMin_ = chart_.YAxisMin();
    rememberedYMax_ = chart_.YAxisMax();
    recallEnabled_ = true;
    surface_.setEnabled(QStringLiteral("mnuRecallXY"), true);
    surface_.setLabel(QStringLiteral("LBLCS"), QStringLiteral("XY Coordinates Saved"));
    speech_.speak(QStringLiteral("XY Coordinates Saved"));
}

void Navigation::mnuRecallXY_Click()
{
    if (rememberedXMin_ == 0)
        return;
    chart_.BeginUpdate();
    chart_.setYAxisMax(rememberedYMax_);
    chart_.setYAxisMin(rememberedYMin_);
    chart_.setXAxisMin(rememberedXMin_);
    chart_.setXAxisMax(rememberedXMax_);
    chart_.EndUpdate();
    surface_.setLabel(QStringLiteral("LBLCS"), QStringLiteral("XY Coordinates Recalled"));
    speech_.speak(QStringLiteral("XY Coordinates Recalled"));
}

void Navigation::forgetRememberedView()
{
    rememberedXMin_ = rememberedXMax_ = rememberedYMin_ = rememberedYMax_ = 0;
    recallEnabled_ = false;
    surface_.setEnabled(QStringLiteral("mnuRecallXY"), false);
}
