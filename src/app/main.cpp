#include "app/console_shell.h"
#include "app/form_review.h"
#include "settings/qsettings_store.h"
#include "settings/settings_file_check.h"
#include "sound/sonified_scan.h"
#include <QApplication>
#include <QCommandLineParser>
#include <QFileInfo>
#include <QTimer>
#include <cstdio>
#include <cstdlib>

namespace {

// Options that cannot work are refused before anything starts, with status 2.
[[noreturn]] void refuse(const QString &message)
{
    std::fprintf(stderr, "lumora-viewer: %s\n", qPrintable(message));
    std::exit(2);
}

ConsoleOptions parseOptions(const QStringList &args, bool &console)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Lumora Sonified File Viewer"));
    parser.addHelpOption();
    parser.addOptions({
        {QStringLiteral("console"), QStringLiteral("Run without a window, reading commands from standard input.")},
        {QStringLiteral("speak"), QStringLiteral("In console mode, also speak through the speech engine.")},
        {QStringLiteral("wav"), QStringLiteral("In console mode, record the tone into a WAV file."), QStringLiteral("FILE")},
        {QStringLiteral("settings"), QStringLiteral("Use this INI file as the settings store."), QStringLiteral("FILE")},
        {QStringLiteral("scan-speed"), QStringLiteral("Scan pace in steps per second (0 = no pause)."), QStringLiteral("N")},
        {QStringLiteral("follow"), QStringLiteral("Follow the file while its logger writes it.")},
        {QStringLiteral("listen"), QStringLiteral("With --follow, play its newest sample as the tone.")},
    });
    parser.addPositionalArgument(QStringLiteral("file"), QStringLiteral("A data file to load after start-up."));
    parser.process(args);

    console = parser.isSet(QStringLiteral("console"));
    ConsoleOptions o;
    o.speak = parser.isSet(QStringLiteral("speak"));
    o.wavPath = parser.value(QStringLiteral("wav"));
    o.settingsPath = parser.value(QStringLiteral("settings"));
    if (parser.isSet(QStringLiteral("settings"))) {
        if (o.settingsPath.isEmpty())
            refuse(QStringLiteral("--settings needs the path of an INI file."));
        if (const QString problem = settingsFileProblem(o.settingsPath); !problem.isEmpty())
            refuse(QStringLiteral("cannot use %1 as the settings file: %2.").arg(o.settingsPath, problem));
    }
    if (parser.isSet(QStringLiteral("scan-speed"))) {
        bool ok = false;
        o.scanSpeed = parser.value(QStringLiteral("scan-speed")).toInt(&ok);
        if (!ok || o.scanSpeed < 0 || o.scanSpeed > SonifiedScan::MaxSpeed)
            refuse(QStringLiteral("--scan-speed takes a whole number of steps per second from 0 (no pause) to %1.")
                       .arg(SonifiedScan::MaxSpeed));
    }
    o.follow = parser.isSet(QStringLiteral("follow"));
    o.listen = parser.isSet(QStringLiteral("listen"));
    if ((o.follow || o.listen) && parser.positionalArguments().isEmpty())
        refuse(QStringLiteral("--follow and --listen need the file to follow."));
    if (!parser.positionalArguments().isEmpty())
        o.file = QFileInfo(parser.positionalArguments().constFirst()).absoluteFilePath();
    return o;
}

} // namespace

int main(int argc, char *argv[])
{
    bool console = false;
    for (int i = 1; i < argc; ++i)
        console = console || QByteArray(argv[i]) == "--console";

    QCoreApplication::setApplicationName(QStringLiteral("Lumora Sonified File Viewer"));
    QCoreApplication::setOrganizationName(QStringLiteral("Lumora Sonified File Viewer"));
    if (console) {
        QCoreApplication app(argc, argv);
        ConsoleOptions options = parseOptions(app.arguments(), console);
        ConsoleShell shell(options);
        return shell.run();
    }

    QApplication app(argc, argv);
    const ConsoleOptions options = parseOptions(app.arguments(), console);
    std::unique_ptr<SettingsStore> settings;
    if (!options.settingsPath.isEmpty())
        settings = std::make_unique<QSettingsStore>(options.settingsPath);
    FormReview window(nullptr, std::move(settings));
    window.show();
    if (!options.file.isEmpty())
        QTimer::singleShot(0, &window, [&window, options] {
            window.loadAfterStartUp(options.file, options.follow, options.listen);
        });
    return app.exec();
}
