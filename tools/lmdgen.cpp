// lmdgen: writes Lumora ".lmd" data files for the demo, the tests and the benchmarks.
#include "generator.h"
#include "generator_options.h"
#include "live_writer.h"
#include <QStringList>
#include <cstdio>

int main(int argc, char **argv)
{
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);

    GeneratorOptions options;
    bool help = false;
    const QString error = parseArguments(args, options, help);
    if (help) {
        std::fputs(qPrintable(usageText()), stdout);
        return 0;
    }
    if (!error.isEmpty()) {
        std::fprintf(stderr, "lmdgen: %s\n%s", qPrintable(error), qPrintable(usageText()));
        return 2;
    }
    const QString failure = options.liveRate > 0 ? runLiveWriter(options) : generateFile(options);
    if (!failure.isEmpty()) {
        std::fprintf(stderr, "lmdgen: %s\n", qPrintable(failure));
        return 1;
    }
    return 0;
}
