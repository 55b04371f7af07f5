#include <QDate>
#include <QLocale>
#include "app/console_process.h"

namespace {

// A ramp from 10 to 40 over 100 samples at 10 a second, from 12:00:00 on 17 May 2024.
QString makeFile(const QTemporaryDir &home)
{
    const QString path = home.filePath(QStringLiteral("ramp.lmd"));
    QProcess gen;
    gen.start(QStringLiteral(LMDGEN_PATH),
              {"--rows", "100", "--rate", "10", "--start", "45429.5", "--signal", "ramp", "--baseline", "10",
               "--amplitude", "30", "--noise", "0", "--local-name", "Dish One", "--author", "Ada", "--location",
               "Green Bank", "--latitude", "40.12", "--longitude", "-81.5", "--notes", "first line\r\nsecond line", path});
    EXPECT_TRUE(gen.waitForFinished(60000));
    EXPECT_EQ(gen.exitCode(), 0);
    return path;
}

QStringList runConsole(const QTemporaryDir &home, const QString &file, const QByteArray &input)
{
    return ConsoleProcess::run(home, {file}, input).split(u'\n', Qt::SkipEmptyParts);
}

} // namespace

TEST(ConsoleReports, LoadSaysIdentityLimitsAndCountThenInfoSaysEverything)
{
    QTemporaryDir home;
    const QString file = makeFile(home);
    // The report is the last line of input: it must still be heard whole.
    const QStringList out = runConsole(home, file, ":click mnuDataFileInfo\n");
    const QString date = QLocale::system().toString(QDate(2024, 5, 17), QLocale::ShortFormat);
    const QStringList expected = {
        "say: Chart Local Name Dish One            ",
        "say: File Name ramp.lmd",
        "say: File Start Date " + date,
        "say: Chart View Starts 12:00:00",
        "say: Ends 12:00:10",
        "say: Top  40",
        "say: Bottom  10",
        "say: Samples Loaded:  100",
        "say: Number of channels  1.",
        "say: Starts " + date + " 12:00:00",
        "say: Duration 00:00:10",
        "say: Average Rate: 10" + QLocale::system().decimalPoint() + " samples per second.",
        "say: Maximum Y  40 .",
        "say: Average Y value  25",
        "say: Below 25%  25",
        "say: 25 to 50%  25",
        "say: 50 to 75%  25",
        "say: 75 to 100%  25",
        "say: Name Dish One",
        "say: Observer Ada",
        "say: Location Green Bank",
        "say: Latitude 40:07:12" + QLocale::system().decimalPoint() + "0",
        "say: Longitude -81:30:00" + QLocale::system().decimalPoint() + "0",
        "say: File is not logged in U T .",
        "say: Additional Notes first line.\\r\\nsecond line",
        "say: Closing Lumora Sonified Review Program.",
    };
    EXPECT_EQ(out, expected) << out.join(u'\n').toStdString();
}
