// libFuzzer target: the settings file. The input is an INI file that the program starts with;
// it then loads a file, reports on it, scans it and proposes a save name, so every setting is
// read through the store and the code that makes sense of it.
#include "fuzz_support.h"
#include "session/viewer.h"
#include "settings/qsettings_store.h"
#include "sound/pace_clocks.h"
#include "support/fakes.h"
#include <QFile>

namespace {

// The settings as read, except that the folders they name are kept inside the scratch folder
// (a save proposal creates its folders).
class ConfinedStore : public SettingsStore {
public:
    explicit ConfinedStore(const QString &iniPath) : store_(iniPath) {}

    QString read(const QString &section, const QString &key, const QString &fallback) const override
    {
        QString value = store_.read(section, key, fallback);
        if (key == QLatin1String("DataDirectory") || key == QLatin1String("LastLoadDir") || key == QLatin1String("LumoraPath")) {
            value.remove(u'/');
            value.remove(u'\\');
            value.replace(QLatin1String(".."), QLatin1String("."));
            value = Fuzz::scratch().filePath(QStringLiteral("folders/") + value.left(100));
        }
        return value;
    }
    void write(const QString &section, const QString &key, const QString &value) override { store_.write(section, key, value); }
    void remove(const QString &section, const QString &key) override { store_.remove(section, key); }

private:
    QSettingsStore store_;
};

QString eightChannels()
{
    static const QString path = Fuzz::generate(QStringLiteral("eight.lmd"), {"--channels", "8", "--rows", "50", "--name", "0:Horn"});
    return path;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    Fuzz::scratch();
    eightChannels();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *bytes, size_t size)
{
    static const QString ini = Fuzz::scratch().filePath(QStringLiteral("settings.ini"));
    {
        QFile file(ini);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        file.write(reinterpret_cast<const char *>(bytes), qint64(size));
    }

    FakeSpeech speech;
    FakeSurface surface;
    FakePump pump;
    ConfinedStore settings(ini);
    VirtualPaceClock clock;
    Viewer viewer{Ports{speech, surface, pump, settings}};
    viewer.setPaceClock(&clock);
    viewer.startUp();
    int first = 0, last = 0;
    viewer.loader.LoadData(eightChannels(), first, last);
    for (const char *command : {"ID", "INFO", "STATS", "NOTES", "LIMITS", "SCAN", "LOAD D", "SOUND"}) {
        viewer.commandText = QLatin1String(command);
        viewer.keyPress(QStringLiteral("Return"));
    }
    viewer.actions.run(QStringLiteral("mnuSave"));   // the dialog is cancelled: only the proposal
    viewer.close();
    return 0;
}
