#pragma once
// The window's parts, shared by the files that build its controls, its menus and its key
// handling.
#include "app/form_review.h"
#include "app/key_queue.h"
#include "app/fallback_voice.h"
#include "app/late_voice.h"
#include "app/qt_audio_output.h"
#include "app/qt_desktop.h"
#include "app/qt_message_pump.h"
#include "app/qt_speech.h"
#include "app/screen_reader_status.h"
#include "app/widget_surface.h"
#include "session/viewer.h"
#include <QHash>
#include <QPointer>
#include <memory>

class ChartWidget;
class OffsetPanelWidget;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPushButton;


struct FormReview::Impl {
    std::unique_ptr<SettingsStore> settings;
    std::unique_ptr<LateVoice> voice = std::make_unique<LateVoice>();
    FallbackVoice *ownVoice = nullptr;   // the voice above when it is ours and was made
    std::unique_ptr<KeyQueue> held;   // input that came during a synchronous utterance
    std::unique_ptr<HoldingSpeech> speech;
    ScreenReaderStatus screenReader;
    std::unique_ptr<WidgetSurface> surface;
    QtMessagePump pump;
    std::unique_ptr<QtAudioOutput> audio;
    QtDesktop desktop;
    std::unique_ptr<Viewer> viewer;

    QWidget *central = nullptr;
    ChartWidget *chart = nullptr;
    QLineEdit *txtIn = nullptr;
    QLineEdit *braille = nullptr;   // the braille line, below the chart
    QListWidget *list = nullptr;
    QLabel *labels[3] = {};
    QHash<QString, QPushButton *> buttons;
    OffsetPanelWidget *offsetPanel = nullptr;
    QHash<QObject *, int> rightClickModes;
    QMenu *popUpChart = nullptr;
    QMenu *popUpForm = nullptr;
    QMenu *popUpList = nullptr;

    QPointer<QWidget> lastFocus;   // the last control with the focus outside the menus
    int working = 0;               // commands running (a scan, a report being read)

    bool controlsHidden = false;
    bool controlsOnRight = false;
};
