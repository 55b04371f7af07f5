#include "app/chart_style.h"
#include <QFontDatabase>
#include <QFontInfo>
#include <algorithm>

namespace ChartStyle {

QColor colour(quint32 bgr)
{
    return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}

Qt::PenStyle penStyle(int stored)
{
    switch (stored) {
    case ChartAppearance::Dash: return Qt::DashLine;
    case ChartAppearance::Dot: return Qt::DotLine;
    case ChartAppearance::DashDot: return Qt::DashDotLine;
    case ChartAppearance::DashDotDot: return Qt::DashDotDotLine;
    case ChartAppearance::NoLine: return Qt::NoPen;
    default: return Qt::SolidLine;
    }
}

QPen pen(quint32 bgr, int stored, qreal width)
{
    return QPen(colour(bgr), width, penStyle(stored));
}

QFont titleFont(const ChartAppearance &look, const QFont &base)
{
    QFont font = base;
    static const QStringList families = QFontDatabase::families();
    if (families.contains(look.titleFontName, Qt::CaseInsensitive)) {
        font.setFamily(look.titleFontName);
    } else {
        font.setFamily(QFontDatabase::systemFont(QFontDatabase::GeneralFont).family());
        font.setStyleHint(QFont::SansSerif);
    }
    font.setPointSizeF(look.titleFontSize);
    font.setBold(look.titleBold);
    font.setItalic(look.titleItalic);
    return font;
}

std::vector<double> majorTicks(double lo, double hi, int count)
{
    count = std::clamp(count, 1, 100);
    std::vector<double> ticks;
    ticks.reserve(size_t(count) + 1);
    // Counted, not accumulated: near huge values adding a tiny step may change nothing.
    for (int i = 0; i <= count; ++i)
        ticks.push_back(i == count ? hi : lo + (hi - lo) * i / count);
    return ticks;
}

std::vector<double> minorTicks(const std::vector<double> &major, int count)
{
    count = std::clamp(count, 0, 50);
    std::vector<double> ticks;
    for (size_t i = 1; i < major.size(); ++i) {
        for (int k = 1; k <= count; ++k)
            ticks.push_back(major[i - 1] + (major[i] - major[i - 1]) * k / (count + 1));
    }
    return ticks;
}

} // namespace ChartStyle
