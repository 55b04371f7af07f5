#include "app/console_shell.h"
#include "app/console_io.h"
#include "app/espeak_speech.h"
#include "app/fallback_voice.h"
#include "app/qt_speech.h"
#include "app/screen_reader_status.h"
#include "session/state_line.h"
#include "session/viewer.h"
#include "settings/qsettings_store.h"
#include "sound/pace_clocks.h"
#include "sound/wav_recorder.h"
#include <QCoreApplication>
#include <QEventLoop>
#include <QFileInfo>
#include <algorithm>
#include <utility>

namespace {
bool isEscapeLine(const QString &line)
{
    return line.trimmed().compare(QLatin1String(":esc"), Qt::CaseInsensitive) == 0;
}
} // namespace

class ConsoleShell::Speech : public SpeechPort {
public:
    // With --speak the speech engine also says every utterance; the output stays the same.
    std::unique_ptr<FallbackVoice> voice;

    void speak(const QString &text) override
    {
        write(text);
        if (voice)
            voice->speak(text);
    }
    void speakAsync(const QString &text) override
    {
        write(text);
        if (voice)
            voice->speakAsync(text);
    }
    void setVoiceStyle(const VoiceStyle &style) override
    {
        if (voice)
            voice->setVoiceStyle(style);
    }

private:
    static void write(const QString &text) { ConsoleIo::writeEvent("say", text); }
};

class ConsoleShell::Surface : public SurfaceState {
public:
    void messageBox(const QString &title, const QString &text, MessageIcon) override
    {
        ConsoleIo::writeBox(title, text);
    }
    // A dialog becomes a prompt: the next input line answers, an empty line or Escape cancels.
    std::optional<QString> openFileDialog(const FileDialogRequest &) override { return answer(); }
    std::optional<QString> saveFileDialog(const FileDialogRequest &) override { return answer(); }
    // The command box greets the user when the focus comes back to it from another control;
    // the match list announces itself when it receives the focus.
    void setFocus(const QString &name) override
    {
        const bool moved = !focus.isEmpty() && focus != name;
        SurfaceState::setFocus(name);
        if (moved && name == QLatin1String("txtIn") && onCommandBoxFocus)
            onCommandBoxFocus();
        if (moved && name == QLatin1String("List1") && onListFocus)
            onListFocus();
    }
    std::function<void()> onCommandBoxFocus;
    std::function<void()> onListFocus;
    ConsoleInput *input = nullptr;

private:
    std::optional<QString> answer()
    {
        const auto line = input->takeLine();
        if (!line || line->isEmpty() || isEscapeLine(*line))
            return std::nullopt;
        return *line;
    }
};

// Nothing is started: the line names the file a desktop program would have opened.
class ConsoleShell::Desktop : public DesktopPort {
public:
    bool openWithDesktop(const QString &path) override
    {
        ConsoleIo::writeEvent("open", path);
        return true;
    }
};

void ConsoleShell::Pump::pump()
{
    QCoreApplication::processEvents();
    if (shell)
        shell->lookAtInput();
}

void ConsoleShell::Pump::waitForUser()
{
    QCoreApplication::processEvents();
    if (shell)
        shell->handleNextLine();
}

void ConsoleShell::lookAtInput()
{
    if (!viewer_)
        return;
    input_.poll();
    if (const QString *next = input_.peek(); next && isEscapeLine(*next)) {
        input_.dropLine();
        viewer_->keyPress(QStringLiteral("Escape"));
    } else if (input_.ended() && (viewer_->scan.ScanStarted || viewer_->archive.downloader.Downloading)
               && !viewer_->speech.AbortRequested) {
        // A scan or a download may run for a long time with nobody left to stop it; a report
        // ends by itself, and a script piping in one command must still hear all of it.
        viewer_->keyPress(QStringLiteral("Escape"));
    }
}

void ConsoleShell::handleNextLine()
{
    if (!viewer_)
        return;
    if (const auto line = input_.takeLine())
        handleLine(*line);
    else
        viewer_->keyPress(QStringLiteral("Escape"));   // input ended: nobody can resume
}

ConsoleShell::ConsoleShell(ConsoleOptions options)
    : options_(std::move(options)),
      speech_(std::make_unique<Speech>()),
      surface_(std::make_unique<Surface>()),
      desktop_(std::make_unique<Desktop>())
{
    if (options_.settingsPath.isEmpty())
        settings_ = std::make_unique<QSettingsStore>();
    else
        settings_ = std::make_unique<QSettingsStore>(options_.settingsPath);
    if (options_.speak) {
        auto voice = std::make_unique<FallbackVoice>(std::make_unique<QtSpeech>(), &EspeakSpeech::create);
        if (voice->choice() == FallbackVoice::Choice::Deciding) {
            // Bounded by the service's own time limit for connecting.
            QEventLoop loop;
            QObject::connect(voice.get(), &FallbackVoice::chosen, &loop, &QEventLoop::quit);
            loop.exec();
        }
        // Standard output belongs to the protocol: which voice speaks goes to standard error.
        if (voice->choice() == FallbackVoice::Choice::None) {
            std::fprintf(stderr, "Speech is not available: %s\n", qPrintable(voice->problem()));
        } else {
            std::fprintf(stderr, "%s\n", qPrintable(FallbackVoice::statusText(voice->choice())));
            screenReader_ = std::make_unique<ScreenReaderStatus>();
            QObject::connect(screenReader_.get(), &ScreenReaderStatus::changed, voice->service(), &QtSpeech::setYielding);
            screenReader_->start();
            static_cast<Speech &>(*speech_).voice = std::move(voice);
        }
    }
    viewer_ = std::make_unique<Viewer>(Ports{*speech_, *surface_, pump_, *settings_});
    pump_.shell = this;
    if (!options_.wavPath.isEmpty()) {
        // Scan steps then take exactly their length in the recording, however fast they run.
        clock_ = std::make_unique<VirtualPaceClock>();
        auto recorder = std::make_unique<WavRecorder>(options_.wavPath, *clock_);
        recorder->onFailure = [this](const QString &reason) { viewer_->speech.speak(reason); };
        recorder_ = recorder.get();
        audio_ = std::move(recorder);
        viewer_->setPaceClock(clock_.get());
        viewer_->setAudioOutput(audio_.get());
    }
    surface_->onCommandBoxFocus = [this] { viewer_->commandBox.txtIn_GotFocus(); };
    surface_->onListFocus = [this] { viewer_->archive.List1.List1_GotFocus(); };
    viewer_->setDesktop(desktop_.get());
    surface_->input = &input_;
    input_.whileWaiting = [] { QCoreApplication::processEvents(); };
}

ConsoleShell::~ConsoleShell() = default;

int ConsoleShell::run()
{
    // Named before start-up moves into the program folder.
    const QString file = options_.file.isEmpty() ? QString() : QFileInfo(options_.file).absoluteFilePath();
    viewer_->startUp();
    if (options_.scanSpeed >= 0)
        viewer_->scan.ScanSpeed = options_.scanSpeed;
    if (!file.isEmpty()) {
        int first = 0, last = 0;
        viewer_->loader.LoadData(file, first, last);
        if (options_.follow)
            viewer_->live.FOLLOW();
        if (options_.listen)
            viewer_->live.LISTEN();
    }
    while (const auto line = input_.takeLine()) {
        if (!handleLine(*line))
            break;
    }
    viewer_->close();
    // A recording that did not reach the disk whole is a failed run, whatever else went well.
    if (recorder_) {
        recorder_->finish();
        if (recorder_->failed())
            return 1;
    }
    return 0;
}

bool ConsoleShell::handleLine(const QString &line)
{
    Viewer &v = *viewer_;
    if (!line.startsWith(u':') || line.startsWith(QLatin1String("::"))) {
        // As a user clicks into the command box before typing there.
        surface_->setFocus(QStringLiteral("txtIn"));
        v.commandText = line.startsWith(QLatin1String("::")) ? line.mid(1) : line;
        v.keyPress(QStringLiteral("Return"));
    } else if (line == QLatin1String(":state")) {
        ConsoleIo::writeEvent("state", stateLine(v));
    } else if (line.startsWith(QLatin1String(":click "))) {
        const QString name = line.mid(7).trimmed();
        if (!v.actions.run(name))
            ConsoleIo::writeEvent("error", QStringLiteral("no control named ") + name);
    } else if (line.startsWith(QLatin1String(":type "))) {
        v.commandText = line.mid(6);
    } else if (!handleKey(line.mid(1))) {
        ConsoleIo::writeEvent("error", QStringLiteral("unknown input ") + line);
    }
    return !v.Closing;
}

bool ConsoleShell::handleKey(const QString &keyText)
{
    static const QHash<QString, QString> names = {
        {QStringLiteral("esc"), QStringLiteral("Escape")}, {QStringLiteral("enter"), QStringLiteral("Return")},
        {QStringLiteral("space"), QStringLiteral("Space")}, {QStringLiteral("tab"), QStringLiteral("Tab")},
        {QStringLiteral("f1"), QStringLiteral("F1")},       {QStringLiteral("f11"), QStringLiteral("F11")},
        {QStringLiteral("f12"), QStringLiteral("F12")},     {QStringLiteral("left"), QStringLiteral("Left")},
        {QStringLiteral("right"), QStringLiteral("Right")}, {QStringLiteral("up"), QStringLiteral("Up")},
        {QStringLiteral("down"), QStringLiteral("Down")},   {QStringLiteral("home"), QStringLiteral("Home")},
        {QStringLiteral("end"), QStringLiteral("End")},     {QStringLiteral("pgup"), QStringLiteral("PageUp")},
        {QStringLiteral("pgdn"), QStringLiteral("PageDown")}, {QStringLiteral("backspace"), QStringLiteral("Backspace")},
        {QStringLiteral("delete"), QStringLiteral("Delete")}};
    QString key = keyText.trimmed();
    // Modifiers in any order, named as the window names them: Ctrl, then Alt, then Shift.
    bool ctrl = false, alt = false, shift = false;
    for (bool more = true; more;) {
        more = false;
        for (auto [word, flag] : {std::pair{QLatin1String("ctrl+"), &ctrl}, std::pair{QLatin1String("alt+"), &alt},
                                  std::pair{QLatin1String("shift+"), &shift}}) {
            if (key.startsWith(word, Qt::CaseInsensitive)) {
                *flag = true;
                key = key.mid(word.size());
                more = true;
            }
        }
    }
    const QString prefix = QString(ctrl ? QStringLiteral("Ctrl+") : QString()) + (alt ? QStringLiteral("Alt+") : QString()) +
                           (shift ? QStringLiteral("Shift+") : QString());
    if (key.startsWith(QLatin1String("key "), Qt::CaseInsensitive)) {
        const QString letter = key.mid(4).trimmed().toUpper();
        if (letter.size() != 1)
            return false;
        viewer_->keyPress(prefix + letter);
        return true;
    }
    const auto it = names.constFind(key.toLower());
    if (it == names.constEnd())
        return false;
    const QString name = prefix + it.value();
    const bool editing = viewer_->editsCommandText(name);
    viewer_->keyPress(name);
    if (editing)
        editCommandText(it.value());
    return true;
}

void ConsoleShell::editCommandText(const QString &key)
{
    QString &text = viewer_->commandText;
    // Text put into the box since the last edit leaves the caret at its end.
    if (text != caretText_)
        caret_ = int(text.size());
    caret_ = std::clamp(caret_, 0, int(text.size()));
    if (key == QLatin1String("Left"))
        caret_ = std::max(0, caret_ - 1);
    else if (key == QLatin1String("Right"))
        caret_ = std::min(int(text.size()), caret_ + 1);
    else if (key == QLatin1String("Home"))
        caret_ = 0;
    else if (key == QLatin1String("End"))
        caret_ = int(text.size());
    else if (key == QLatin1String("Backspace") && caret_ > 0)
        text.remove(--caret_, 1);
    else if (key == QLatin1String("Delete") && caret_ < text.size())
        text.remove(caret_, 1);
    caretText_ = text;
}
