#pragma once
#include <QString>

class StripChartModel;
class DataSet;
class Speech;
class ViewWindow;
class RecentFiles;

// The spoken reports about the loaded file and the view. Each one pumps and tests the abort
// flag between utterances, so Escape ends it after the utterance being spoken; the single
// reports never clear the flag.
class Reports {
public:
    Reports(StripChartModel &chart, DataSet &data, Speech &speech, ViewWindow &view, RecentFiles &recent)
        : chart_(chart), data_(data), speech_(speech), view_(view), recent_(recent) {}

    void SpeakChartHeight();
    void SpeakChartLimits();
    void SpeakChartID();
    void SpeakChartWidth();

    void mnuStatsInfo();
    void mnuNotesInfo();
    void mnuObserverInfo();
    // Channel count, statistics, observer and notes; clears the abort flag at its end.
    void mnuDataFileInfo();
    // Opening the "Chart Info" menu: clears the abort flag, says when nothing is loaded.
    void mnuInfo();

    // The largest value of any loaded channel.
    double maximumY() const;

private:
    // Speak `text` unless the user asked to stop; false when the report must end.
    bool next(const QString &text);

    StripChartModel &chart_;
    DataSet &data_;
    Speech &speech_;
    ViewWindow &view_;
    RecentFiles &recent_;
};
