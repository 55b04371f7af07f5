#include "view/view_window.h"
#include "data/data_set.h"
#include "ports/window_surface.h"
#include "view/strip_chart_model.h"
#include <algorithm>

void ViewWindow::cmdFullView_Click()
{
    if (data_.LastIndex < 2 || chart_.rowCount() <= data_.LastIndex)
        return;
    chart_.BeginUpdate();
    double top = -1e20, bottom = 1e20;
    for (int c = 0; c < chart_.channelCount(); ++c) {
        top = std::max(top, chart_.channelMax(c));
        bottom = std::min(bottom, chart_.channelMin(c));
    }
    chart_.setYAxisMax(top);
    chart_.setYAxisMin(bottom);
    chart_.setXAxisMin(chart_.GetTime(0));
    // The right edge is the last sample, so the whole file is in view.
    chart_.setXAxisMax(chart_.GetTime(data_.LastIndex));
    surface_.setLabel(QStringLiteral("LBLLR"), QStringLiteral("Number of Samples: ") + QString::number(data_.LastIndex + 1));
    chart_.setToolBarMode(0);
    if (recolourArrows)
        recolourArrows();
    chart_.EndUpdate();
    if (speakChartLimits)
        speakChartLimits();
}

void ViewWindow::FindXaxisMinIndex() {}
void ViewWindow::FindXaxisMaxIndex() {}
void ViewWindow::FindMaxMinForView(double &max, double &min, int) { max = min = 0; }
void ViewWindow::FindViewAvg(double &avg, double &b1, double &b2, double &b3, double &b4, int) { avg = b1 = b2 = b3 = b4 = 0; }
void ViewWindow::FitChartYtoData(int, std::optional<double>) {}
void ViewWindow::cmdAutoScale_Click() {}
double ViewWindow::TimeFromStr(const QString &) { return 0; }
