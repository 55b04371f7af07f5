#include "app/console_process.h"

// A message box comes out as one box: line, with the title and the text escaped.
TEST(ConsoleLoad, ACorruptFileIsABoxLine)
{
    QTemporaryDir home;
    const QString file = ConsoleProcess::generate(home, QStringLiteral("bad.lmd"), {"--rows", "50", "--num-channels-field", "0"});
    const QStringList out = ConsoleProcess::lines(ConsoleProcess::run(home, {file}, ":state\n"));
    EXPECT_TRUE(out.contains(QStringLiteral("box: File Load Aborted | The file: ") + file
                             + QStringLiteral("\\r\\nIs corrupted or not a valid data file.")))
        << out.join(u'\n').toStdString();
    EXPECT_EQ(out.filter(QStringLiteral("state: loaded=0 ")).size(), 1);
}
