#include "app/console_shell.h"
#include "app/console_io.h"
#include "session/state_line.h"
#include "session/viewer.h"
#include "settings/qsettings_store.h"
#include <QCoreApplication>
#include <QFileInfo>

class ConsoleShell::Speech : public SpeechPort {
public:
    void speak(const QString &text) override { ConsoleIo::writeLine(QStringLiteral("say: ") + ConsoleIo::escape(text)); }
    void speakAsync(const QString &text) override { speak(text); }
};

class ConsoleShell::Surface : public SurfaceState {
public:
    void messageBox(const QString &title, const QString &text, MessageIcon) override
    {
        ConsoleIo::writeLine(QStringLiteral("box: ") + ConsoleIo::escape(title) + QStringLiteral(" | ") + ConsoleIo::escape(text));
    }
    // A dialog becomes a prompt: the next input line answers, an empty line cancels.
    std::optional<QString> openFileDialog(const FileDialogRequest &) override { return answer(); }
    std::optional<QString> saveFileDialog(const FileDialogRequest &) override { return answer(); }
    // The command box greets the user when the focus comes back to it from another control.
    void setFocus(const QString &name) override
    {
        const bool greet = name == QLatin1String("txtIn") && !focus.isEmpty() && focus != name;
        SurfaceState::setFocus(name);
        if (greet && onCommandBoxFocus)
            onCommandBoxFocus();
    }
    std::function<void()> onCommandBoxFocus;

private:
    static std::optional<QString> answer()
    {
        const auto line = ConsoleIo::readLine();
        if (!line || line->isEmpty())
            return std::nullopt;
        return *line;
    }
};

void ConsoleShell::Pump::pump()
{
    QCoreApplication::processEvents();
}

ConsoleShell::ConsoleShell(ConsoleOptions options)
    : options_(std::move(options)),
      speech_(std::make_unique<Speech>()),
      surface_(std::make_unique<Surface>())
{
    if (options_.settingsPath.isEmpty())
        settings_ = std::make_unique<QSettingsStore>();
    else
        settings_ = std::make_unique<QSettingsStore>(options_.settingsPath);
    viewer_ = std::make_unique<Viewer>(Ports{*speech_, *surface_, pump_, *settings_});
    surface_->onCommandBoxFocus = [this] { viewer_->commandBox.txtIn_GotFocus(); };
}

ConsoleShell::~ConsoleShell() = default;

int ConsoleShell::run()
{
    // Named before start-up moves into the program folder.
    const QString file = options_.file.isEmpty() ? QString() : QFileInfo(options_.file).absoluteFilePath();
    viewer_->startUp();
    if (!file.isEmpty()) {
        int first = 0, last = 0;
        viewer_->loader.LoadData(file, first, last);
    }
    while (const auto line = ConsoleIo::readLine()) {
        if (!handleLine(*line))
            return 0;
    }
    viewer_->close();
    return 0;
}

bool ConsoleShell::handleLine(const QString &line)
{
    Viewer &v = *viewer_;
    if (!line.startsWith(u':') || line.startsWith(QLatin1String("::"))) {
        v.commandText = line.startsWith(QLatin1String("::")) ? line.mid(1) : line;
        v.keyPress(QStringLiteral("Return"));
    } else if (line == QLatin1String(":state")) {
        ConsoleIo::writeLine(stateLine(v));
    } else if (line.startsWith(QLatin1String(":click "))) {
        const QString name = line.mid(7).trimmed();
        if (!v.actions.run(name))
            ConsoleIo::writeLine(QStringLiteral("error: no control named ") + ConsoleIo::escape(name));
    } else if (line.startsWith(QLatin1String(":type "))) {
        v.commandText = line.mid(6);
    } else if (!handleKey(line.mid(1))) {
        ConsoleIo::writeLine(QStringLiteral("error: unknown input ") + ConsoleIo::escape(line));
    }
    return !v.Closing;
}

bool ConsoleShell::handleKey(const QString &spec)
{
    static const QHash<QString, QString> names = {
        {QStringLiteral("esc"), QStringLiteral("Escape")}, {QStringLiteral("enter"), QStringLiteral("Return")},
        {QStringLiteral("space"), QStringLiteral("Space")}, {QStringLiteral("tab"), QStringLiteral("Tab")},
        {QStringLiteral("f1"), QStringLiteral("F1")},       {QStringLiteral("f11"), QStringLiteral("F11")},
        {QStringLiteral("f12"), QStringLiteral("F12")},     {QStringLiteral("left"), QStringLiteral("Left")},
        {QStringLiteral("right"), QStringLiteral("Right")}, {QStringLiteral("up"), QStringLiteral("Up")},
        {QStringLiteral("down"), QStringLiteral("Down")}};
    QString key = spec.trimmed();
    QString prefix;
    for (;;) {
        if (key.startsWith(QLatin1String("shift+"), Qt::CaseInsensitive)) {
            prefix += QLatin1String("Shift+");
            key = key.mid(6);
        } else if (key.startsWith(QLatin1String("ctrl+"), Qt::CaseInsensitive)) {
            prefix += QLatin1String("Ctrl+");
            key = key.mid(5);
        } else {
            break;
        }
    }
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
    viewer_->keyPress(prefix + it.value());
    return true;
}
