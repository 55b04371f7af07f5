#pragma once
#include <QString>

class SettingsStore;

// How the chart looks: the colours of its parts (0xBBGGRR, red in the low byte), its tick
// counts and line styles, and the title font. Read from the settings at start-up; an empty
// store gives a white chart with black axes, labels and title and 5 + 5 ticks on each axis.
struct ChartAppearance {
    // Line styles as stored: 0 solid, 1 dashed, 2 dotted, 3 dash-dot, 4 dash-dot-dot, 5 none.
    enum LineStyle { Solid = 0, Dash, Dot, DashDot, DashDotDot, NoLine };

    quint32 axisGrid = 0;
    quint32 background = 0xFFFFFF;
    quint32 gridBackground = 0xFFFFFF;
    quint32 title = 0;
    quint32 xAxisLabel = 0;
    quint32 yAxisLabel = 0;
    quint32 xTickMajor = 0;
    quint32 xTickMinor = 0;
    quint32 yTickMajor = 0;
    quint32 yTickMinor = 0;
    quint32 channel0 = 0;
    quint32 toolbarActiveFont = 0;
    quint32 toolbarInactiveFont = 0;
    quint32 cursor = 0;
    quint32 legendText = 0;

    int xTickMajorCount = 5;
    int yTickMajorCount = 5;
    int xTickMinorCount = 5;
    int yTickMinorCount = 5;
    int channelLineStyle = Solid;
    int gridLineStyle = Solid;

    QString titleFontName = QStringLiteral("MS Sans Serif");
    double titleFontSize = 10;
    bool titleBold = false;
    bool titleItalic = false;

    bool operator==(const ChartAppearance &) const = default;

    // Start-up steps, each reading its own keys (an absent key keeps its default).
    // Title font, section "Settings": colour, size, face, bold and italic (exactly "True").
    void readTitleFont(const SettingsStore &store);
    // The colour table, section "Colors"; the legend text takes channel 0's colour.
    void readColours(const SettingsStore &store);
    // Tick counts and line styles, section "TickGrid".
    void readTickGrid(const SettingsStore &store);

    // "255", "&HFF" or "&hff" as a colour number; text that is neither gives 0 (black).
    static quint32 parseColour(const QString &text);
};
