#include "app/form_review_impl.h"
#include "app/chart_widget.h"
#include "app/key_names.h"
#include "app/key_queue.h"
#include "app/match_list_widget.h"
#include "app/offset_panel_widget.h"
#include "app/qt_audio_output.h"
#include "app/qt_desktop.h"
#include "app/qt_message_pump.h"
#include "app/espeak_speech.h"
#include "app/qt_speech.h"
#include "session/startup_log.h"
#include "app/screen_reader_status.h"
#include "app/widget_surface.h"
#include "session/viewer.h"
#include "settings/qsettings_store.h"
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

FormReview::FormReview(QWidget *parent) : FormReview(nullptr, nullptr, parent) {}

FormReview::FormReview(std::unique_ptr<SpeechPort> speech, std::unique_ptr<SettingsStore> settings, QWidget *parent)
    : QMainWindow(parent), d(std::make_unique<Impl>())
{
    setObjectName(QStringLiteral("FormReview"));
    d->settings = settings ? std::move(settings) : std::make_unique<QSettingsStore>();
    const bool ownVoice = !speech;
    if (!ownVoice)
        d->voice->set(std::move(speech));
    d->held = std::make_unique<KeyQueue>(this);
    d->speech = std::make_unique<HoldingSpeech>(*d->voice, *d->held);
    d->surface = std::make_unique<WidgetSurface>(this);
    d->viewer = std::make_unique<Viewer>(Ports{*d->speech, *d->surface, d->pump, *d->settings});
    d->viewer->focusedControl = [this] {
        const QWidget *focus = focusWidget();
        return focus ? focus->objectName() : QString();
    };
    if (ownVoice) {
        // The real window plays the tone; one built with a test's speech stays silent.
        d->audio = std::make_unique<QtAudioOutput>();
        d->viewer->setAudioOutput(d->audio.get());
        d->viewer->setDesktop(&d->desktop);
        // Made at its own start-up step, so a voice that cannot be made is logged there.
        // It connects in the background: the window appears at once.
        d->viewer->hooks.createVoice = [this] {
            std::unique_ptr<QtSpeech> service = voiceFactory ? voiceFactory() : std::make_unique<QtSpeech>();
            auto ours = std::make_unique<FallbackVoice>(
                std::move(service), builtInVoiceFactory ? builtInVoiceFactory : &EspeakSpeech::create);
            d->ownVoice = ours.get();
            d->voice->set(std::move(ours));
        };
    }

    buildControls();
    buildMenus();
    addWindowActions();
    d->surface->layoutChanged = [this] { layoutControls(); };
    setMinimumSize(300, 225);
    resize(1100, 700);

    // The real voice may still be connecting: start-up must not wait for it to be heard.
    d->speech->queueOnly = ownVoice;
    d->viewer->startUp();
    d->speech->queueOnly = false;
    layoutControls();
    watchControls(this);

    if (ownVoice) {
        const auto unavailable = [this](const QString &problem, const QString &label) {
            // Said once, in the window itself: without a voice the user needs a screen reader.
            const QString text = QStringLiteral("Speech is not available, so the program will not talk. ") + problem;
            d->surface->setLabel(QStringLiteral("LBLCS"), label);
            auto *box = new QMessageBox(QMessageBox::Warning, QStringLiteral("Speech"), text, QMessageBox::Ok, this);
            box->setAttribute(Qt::WA_DeleteOnClose);
            box->open();
        };
        if (!d->ownVoice) {
            d->voice->giveUp();
            QTimer::singleShot(0, this, [unavailable] {
                const QString problem = QStringLiteral("The voice could not be made.");
                unavailable(problem, FallbackVoice::statusText(FallbackVoice::Choice::None));
            });
        } else {
            const auto chosen = [this, unavailable](FallbackVoice::Choice choice) {
                // The status line says which voice speaks, so a user who hears an unexpected
                // voice learns why.
                if (choice != FallbackVoice::Choice::None) {
                    d->surface->setLabel(QStringLiteral("LBLCS"), FallbackVoice::statusText(choice));
                    return;
                }
                const QString builtIn = d->ownVoice->builtInProblem();
                if (!builtIn.isEmpty()) {
                    const QString folder = Viewer::programFolder();
                    StartUpSteps::appendToLog(StartUpSteps::logPath(folder),
                                              StartUpSteps::errorLine(QDateTime::currentDateTime(), 1, builtIn, 24).toUtf8());
                }
                unavailable(d->ownVoice->problem(), FallbackVoice::statusText(choice) + (builtIn.isEmpty() ? QString() : u' ' + builtIn));
            };
            connect(d->ownVoice, &FallbackVoice::chosen, this, chosen);
            if (const auto choice = d->ownVoice->choice(); choice != FallbackVoice::Choice::Deciding)
                QTimer::singleShot(0, this, [chosen, choice] { chosen(choice); });
            // Asked once the window is up; until the answer comes, no screen reader is assumed.
            connect(&d->screenReader, &ScreenReaderStatus::changed, d->ownVoice->service(), &QtSpeech::setYielding);
        }
    }
    QTimer::singleShot(0, &d->screenReader, &ScreenReaderStatus::start);
}

FormReview::~FormReview()
{
    // The widgets draw from the program's state: they go first, without laying out the
    // half-destroyed window on their way.
    disconnect(qApp, nullptr, this, nullptr);
    disconnect(d->list->model(), nullptr, this, nullptr);
    d->surface->layoutChanged = nullptr;
    delete takeCentralWidget();
}

Viewer &FormReview::viewer() { return *d->viewer; }
ChartWidget &FormReview::chart() { return *d->chart; }
ScreenReaderStatus &FormReview::screenReader() { return d->screenReader; }

void FormReview::loadAfterStartUp(const QString &path, bool follow, bool listen)
{
    int first = 0, last = 0;
    d->viewer->loader.LoadData(path, first, last);
    afterCommand();
    if (follow)
        runAction(QStringLiteral("mnuFollowFile"));
    if (listen)
        runAction(QStringLiteral("mnuListen"));
}

void FormReview::runAction(const QString &name)
{
    ++d->working;
    d->viewer->actions.run(name);
    --d->working;
    afterCommand();
}

void FormReview::afterCommand()
{
    if (d->viewer->Closing && isVisible())
        close();
}

void FormReview::closeEvent(QCloseEvent *event)
{
    d->viewer->close();
    QMainWindow::closeEvent(event);
}
