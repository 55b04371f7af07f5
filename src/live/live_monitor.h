#pragma once
#include "live/file_follower.h"
#include <QElapsedTimer>
#include <QList>
#include <QPair>
#include <QString>
#include <QTimer>
#include <optional>

class Viewer;

// Watching a recording while it is being written: FOLLOW reads on in the loaded file as the
// logger appends to it and keeps the newest sample in view, LISTEN plays the newest sample of
// the cursor channel as the tone, ALARM speaks when that channel rises above a level.
class LiveMonitor {
public:
    // The view is redrawn at most this often while rows arrive.
    static constexpr int RedrawMs = 100;
    // At most one alarm is raised in this time, however often the level is crossed.
    static constexpr qint64 AlarmQuietMs = 10000;
    // How long the alarm's earcon plays before the tone comes back.
    static constexpr int EarconMs = 450;

    explicit LiveMonitor(Viewer &viewer);

    // FOLLOW: starts or stops following the loaded file.
    void FOLLOW();
    // LISTEN: starts or stops the tone that follows the newest sample.
    void LISTEN();
    // ALARM: asks for the level; the answer comes to alarmAnswer.
    void ALARM();
    // The typed level; false (the prompt is done) in every case.
    bool alarmAnswer(const QString &typed);
    // Escape: at the alarm prompt clears the alarm, otherwise ends listening.
    void escapePressed(bool atAlarmPrompt);
    // The loaded rows are about to go (a new load, closing): nothing more is followed.
    void stopAll();

    bool following() const { return follower.following(); }
    bool listening() const { return listening_; }
    std::optional<double> alarmLevel() const { return alarmLevel_; }
    // following, listening and alarm, as the console's state line shows them.
    QList<QPair<QString, QString>> stateFields() const;

    FileFollower follower;

private:
    void stopFollowing();
    void rowsAppended(int firstRow, int count);
    void refreshView();
    void scrollToNewest();
    void autoScaleQuietly();
    void soundNewest();
    void raiseAlarm(int channel, double level, double time);
    void restoreTone();
    void setFollowChecked(bool on);

    Viewer &v_;
    QTimer redraw_;
    bool rowsWaiting_ = false;
    bool listening_ = false;
    std::optional<double> lastLevel_;
    std::optional<double> alarmLevel_;
    int alarmChannel_ = 0;
    QElapsedTimer sinceAlarm_;
    bool earconPlaying_ = false;
};
