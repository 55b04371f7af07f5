#include "voice/reports.h"
#include "data/data_set.h"
#include "settings/recent_files.h"
#include "view/strip_chart_model.h"
#include "view/view_window.h"
#include "voice/folder_browser.h"
#include "voice/number_forms.h"
#include "voice/speech.h"

bool Reports::next(const QString &text)
{
    if (speech_.pumpAndTest())
        return false;
    speech_.speak(text);
    return true;
}

void Reports::SpeakChartHeight() {}
void Reports::SpeakChartLimits() {}
void Reports::SpeakChartID() {}
void Reports::SpeakChartWidth() {}
void Reports::mnuStatsInfo() {}
void Reports::mnuNotesInfo() {}
void Reports::mnuObserverInfo() {}
void Reports::mnuDataFileInfo() {}
void Reports::mnuInfo() {}
double Reports::maximumY() const { return 0; }
