// archivegen: writes a small demo archive (the index "varecords_sort.txt" and the recordings
// under "vadataclean/") that any static web server can publish for the viewer's VA command.
#include "../generator.h"
#include "../generator_options.h"
#include "sound/pace_clocks.h"
#include "sound/tone_generator.h"
#include "sound/wav_recorder.h"
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <cmath>
#include <cstdio>

namespace {

struct Recording {
    const char *sortKey, *label, *station, *startDate, *startTime, *endDate, *endTime, *detail;
    const char *image, *data, *text, *sound;
    double firstSample;   // day number of the data file's first sample
};

// Three evenings of observations around the 2003 winter solstice.
const Recording Recordings[] = {
    {"200312231700", "Meteor", "scatter", "12/23/2003", "1700", "12/23/2003", "1730", "Ursid meteor echoes at 143 MHz",
     "ursids.png", "ursids.lmd", "ursids.txt", "ursids.wav", 37978.0 + 17.0 / 24},
    {"200312232200", "Jupiter", "storm", "12/23/2003", "2200", "12/24/2003", "0300", "Jupiter decametric storm at 20 MHz",
     "", "jupiter.lmd", "jupiter.txt", "", 37978.0 + 22.0 / 24},
    {"200312241000", "Solar", "burst", "12/24/2003", "1000", "12/24/2003", "1100", "Type III solar burst at 28 MHz",
     "", "solar.lmd", "", "solar.wav", 37979.0 + 10.0 / 24},
};

// The shape the sound and the picture follow: a source drifting through the beam.
double drift(double x)
{
    return 0.15 + 0.8 * std::exp(-std::pow((x - 0.55) / 0.12, 2)) + 0.03 * std::sin(x * 90);
}

QString indexLine(const Recording &r)
{
    const QStringList fields = {r.sortKey, r.label, r.station, "demo", "Hilltop Dish", "52.2", "-1.4", "", "", "", "", "",
                                r.startDate, r.startTime, r.endDate, r.endTime, "", "", "", "", r.detail, "", "", "", "",
                                r.image, r.data, r.text, r.sound};
    return u'|' + fields.join(u'|') + QStringLiteral("|\n");
}

// Two seconds of the chart's tone rising and falling with the drift, as the viewer plays it.
bool writeSound(const QString &path)
{
    VirtualPaceClock clock;
    WavRecorder recorder(path, clock);
    if (!recorder.isOpen())
        return false;
    ToneGenerator tone(recorder);
    tone.SineWave = true;
    tone.InitSound();
    double volume = 0.8;
    tone.UpdateVol(volume);
    for (int step = 0; step < 100; ++step) {
        double level = drift(step / 100.0);
        tone.UpdateFreq(level);
        clock.sleepUs(20000);
    }
    tone.StopSound();
    recorder.finish();
    return true;
}

bool writePicture(const QString &path)
{
    QImage image(640, 240, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(0xc0, 0xc0, 0xc0), 1));
    for (int x = 0; x <= 640; x += 64)
        painter.drawLine(x, 0, x, 240);
    painter.setPen(QPen(Qt::red, 2));
    QPolygonF line;
    for (int x = 0; x < 640; ++x)
        line << QPointF(x, 230 - 220 * drift(x / 640.0));
    painter.drawPolyline(line);
    painter.end();
    return image.save(path, "PNG");
}

bool writeText(const QString &path, const Recording &r)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(QStringLiteral("%1 %2\n%3\nObserved %4 %5 to %6 %7 at the Hilltop Dish.\n")
                   .arg(r.label, r.station, r.detail, r.startDate, r.startTime, r.endDate, r.endTime)
                   .toUtf8());
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 2 || QByteArray(argv[1]).startsWith('-')) {
        std::fputs("Usage: archivegen FOLDER   write a demo archive (varecords_sort.txt, vadataclean/) into FOLDER\n",
                   argc == 2 ? stdout : stderr);
        return argc == 2 ? 0 : 2;
    }
    const QDir root(QString::fromLocal8Bit(argv[1]));
    const QDir files(root.filePath(QStringLiteral("vadataclean")));
    if (!QDir().mkpath(files.path())) {
        std::fprintf(stderr, "archivegen: cannot create %s\n", qPrintable(files.path()));
        return 1;
    }
    QString index = QStringLiteral("Veyra Archive demo index\n\n");
    int seed = 1;
    for (const Recording &r : Recordings) {
        index += indexLine(r);
        GeneratorOptions data = demoOptions(files.filePath(QLatin1String(r.data)));
        data.rows = 6000;
        data.start = r.firstSample;
        data.seed = quint64(seed++);
        data.userNotes = QByteArray(r.detail) + ". Demo recording of the Veyra Archive.";
        QString failure = generateFile(data);
        if (failure.isEmpty() && *r.sound && !writeSound(files.filePath(QLatin1String(r.sound))))
            failure = QStringLiteral("cannot write ") + QLatin1String(r.sound);
        if (failure.isEmpty() && *r.image && !writePicture(files.filePath(QLatin1String(r.image))))
            failure = QStringLiteral("cannot write ") + QLatin1String(r.image);
        if (failure.isEmpty() && *r.text && !writeText(files.filePath(QLatin1String(r.text)), r))
            failure = QStringLiteral("cannot write ") + QLatin1String(r.text);
        if (!failure.isEmpty()) {
            std::fprintf(stderr, "archivegen: %s\n", qPrintable(failure));
            return 1;
        }
    }
    QFile out(root.filePath(QStringLiteral("varecords_sort.txt")));
    if (!out.open(QIODevice::WriteOnly) || out.write(index.toUtf8()) < 0) {
        std::fprintf(stderr, "archivegen: cannot write %s\n", qPrintable(out.fileName()));
        return 1;
    }
    return 0;
}
