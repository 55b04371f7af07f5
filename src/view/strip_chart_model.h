#pragma once
#include "view/chart_appearance.h"
#include "view/minmax_pyramid.h"
#include <QObject>
#include <QString>
#include <QStringList>
#include <memory>
#include <utility>
#include <vector>

// Leaves new elements uninitialised, so sizing a column for millions of rows writes nothing
// until the rows themselves arrive.
template <typename T>
struct DefaultInitAllocator : std::allocator<T> {
    template <typename U>
    struct rebind {
        using other = DefaultInitAllocator<U>;
    };
    DefaultInitAllocator() noexcept = default;
    template <typename U>
    DefaultInitAllocator(const DefaultInitAllocator<U> &) noexcept {}

    template <typename U, typename... Args>
    void construct(U *p, Args &&...args)
    {
        if constexpr (sizeof...(Args) == 0)
            ::new (static_cast<void *>(p)) U;
        else
            ::new (static_cast<void *>(p)) U(std::forward<Args>(args)...);
    }
};

// One column of samples: a channel's values, or the time stamps.
using SampleColumn = std::vector<double, DefaultInitAllocator<double>>;

// The chart's data store and view properties. Samples live here, column by column (one time
// column, one value column per channel), so a 10-million-row file costs no more memory than
// its records on disk. The window's chart widget draws from it and listens to its signals.
class StripChartModel : public QObject {
    Q_OBJECT
public:
    static constexpr int MaxChannels = 8;

    // --- data store ---
    void ClearData();
    void RemoveAllChannels();
    int AddChannel(const QString &name, quint32 colour);
    int channelCount() const { return int(values_.size()); }
    QString channelName(int ch) const { return names_.at(ch); }
    quint32 channelColour(int ch) const { return colours_.at(ch); }
    void setChannelColour(int ch, quint32 colour);

    void BeginUpdate() { ++updateDepth_; }
    void EndUpdate();

    int AddRow(double time);
    void SetValue(int channel, int row, double value);
    // Both throw std::out_of_range for a row or channel that does not exist.
    double GetTime(int row) const;
    double GetValue(int channel, int row) const;
    int rowCount() const { return int(times_.size()); }

    // Bulk append for the loader: `records` holds `count` records of time + channelCount() values.
    void reserveRows(qsizetype rows);
    // Columns grow by a quarter at a time, so rows arriving one by one cost amortised constant
    // time; the min/max summaries already built are extended, not rebuilt. `redraw` false
    // leaves the redraw to the caller (a followed file redraws at its own pace).
    void appendRecords(const double *records, qsizetype count, bool redraw = true);
    // Replaces every row with the given columns (one per channel) without copying them.
    // Throws std::invalid_argument when the columns do not match the channels.
    void adoptRows(SampleColumn times, std::vector<SampleColumn> values, bool ascending);
    // Makes room for `rows` more samples, with huge pages asked for big columns.
    static void reserveColumn(SampleColumn &column, size_t rows);

    // Largest / smallest value of a channel over all rows, NaN skipped (0 when there is none).
    double channelMax(int channel) const;
    double channelMin(int channel) const;

    // Direct column access for the hot loops (queries, drawing).
    const SampleColumn &times() const { return times_; }
    const SampleColumn &column(int channel) const { return values_.at(channel); }
    // Set when every time stamp is at or after the one before it; index searches may bisect.
    bool timesAscending() const { return timesAscending_; }
    // Changes whenever a sample, row or channel changes (not for view or cursor changes), so a
    // drawing of the samples can be kept until then.
    quint64 dataRevision() const { return dataRevision_; }
    // A channel's extremes by blocks of rows, for drawing; built on first use after the
    // samples change (a load, a clip, an edit), then kept.
    const MinMaxPyramid &summary(int channel) const;

    // --- view ---
    double XAxisMin() const { return xMin_; }
    double XAxisMax() const { return xMax_; }
    double YAxisMin() const { return yMin_; }
    double YAxisMax() const { return yMax_; }
    void setXAxisMin(double v);
    void setXAxisMax(double v);
    void setYAxisMin(double v);
    void setYAxisMax(double v);

    int CursorChannel() const { return cursorChannel_; }
    void setCursorChannel(int ch);
    int ToolBarMode() const { return toolBarMode_; }
    void setToolBarMode(int mode);
    bool AutoScaleEnabled = false;
    bool AutoScrollEnabled = false;

    // Cursor position as a row index; writing it raises cursorChanged before returning.
    int cursorRow() const { return cursorRow_; }
    void setCursorRow(int row);

    // --- appearance ---
    QString title() const { return title_; }
    void setTitle(const QString &title);
    // "hh:nn:ss" or "hh:nn:ss' UT'"
    QString timeLabelFormat() const { return timeFormat_; }
    void setTimeLabelFormat(const QString &format);
    bool legendVisible() const { return legendVisible_; }
    void setLegendVisible(bool on);
    const ChartAppearance &appearance() const { return appearance_; }
    void setAppearance(const ChartAppearance &appearance);

signals:
    void redrawRequested();   // EndUpdate, or a change made outside an update batch
    void viewChanged();       // axis limits, mode or cursor channel changed
    void cursorChanged();     // the cursor row was written
    void cursorReadout();     // the user moved the cursor with the pointer in cursor mode

private:
    void changed(bool viewChange);
    void dataChanged();
    void noteTime(double time);

    SampleColumn times_;
    std::vector<SampleColumn> values_;
    QStringList names_;
    std::vector<quint32> colours_;
    bool timesAscending_ = true;
    quint64 dataRevision_ = 0;
    mutable std::vector<MinMaxPyramid> summaries_;
    mutable std::vector<quint64> summaryRevisions_;
    int updateDepth_ = 0;

    double xMin_ = 0, xMax_ = 1, yMin_ = 0, yMax_ = 0;
    int cursorChannel_ = 0, toolBarMode_ = 0, cursorRow_ = 0;
    QString title_, timeFormat_ = QStringLiteral("hh:nn:ss");
    bool legendVisible_ = false;
    ChartAppearance appearance_;
};
