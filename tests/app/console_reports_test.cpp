#include "app/console_process.h"

// A report typed as the last line of input is still heard whole before the console closes,
// and its line breaks come out escaped on their say: line.
TEST(ConsoleReports, TheLastLinesReportIsHeardWholeBeforeClosing)
{
    QTemporaryDir home;
    const QString file = ConsoleProcess::generate(home, QStringLiteral("ramp.lmd"),
                                                  {"--rows", "100", "--signal", "ramp", "--notes", "first line\r\nsecond line"});
    const QStringList out = ConsoleProcess::lines(ConsoleProcess::run(home, {file}, ":click mnuDataFileInfo\n"));
    const qsizetype start = out.indexOf(QStringLiteral("say: Number of channels  1."));
    ASSERT_GE(start, 0) << out.join(u'\n').toStdString();
    EXPECT_EQ(out.mid(start).size(), 18) << out.join(u'\n').toStdString();
    EXPECT_EQ(out.mid(out.size() - 2), (QStringList{"say: Additional Notes first line.\\r\\nsecond line",
                                                    "say: Closing Lumora Sonified Review Program."}));
}
