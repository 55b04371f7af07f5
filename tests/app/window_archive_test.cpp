#include "app/form_review.h"
#include "app/screen_reader_status.h"
#include "archive/archive_support.h"
#include "session/viewer.h"
#include "support/fakes.h"
#include "support/http_test_server.h"
#include <QLineEdit>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

using ArchiveSupport::recordLine;

// The match list in the window: shown with its entries, announced when it takes the focus,
// walked by keys that reach the program first, left with Tab.
TEST(WindowArchive, TheMatchListShowsTheFoundRecordingsAndIsWalkedByKeys)
{
    HttpTestServer server;
    server.serve("/varecords_sort.txt", (recordLine("12/23/2003", "1700", "12/23/2003", "1730", "First") +
                                         recordLine("12/23/2003", "1715", "12/23/2003", "1800", "Second")).toUtf8());
    auto *speech = new FakeSpeech;
    FormReview window{std::unique_ptr<SpeechPort>(speech), std::make_unique<FakeSettings>()};
    QTemporaryDir folder;
    Viewer &viewer = window.viewer();
    viewer.ports.settings.write("Settings", "ArchiveURL", server.url());
    viewer.archive.programFolder = folder.path();
    viewer.archive.locale = QLocale(QLocale::English, QLocale::UnitedStates);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    auto *txtIn = window.findChild<QLineEdit *>("txtIn");
    auto *list = window.findChild<QListWidget *>("List1");
    ASSERT_TRUE(list);
    EXPECT_FALSE(list->isVisible());

    QTest::keyClicks(txtIn, "VA");
    QTest::keyClick(txtIn, Qt::Key_Return);
    QTest::keyClicks(txtIn, "12/23/2003 17:20");
    speech->spoken.clear();
    QTest::keyClick(txtIn, Qt::Key_Return);
    EXPECT_TRUE(speech->spoken.contains("Matching Files for 12/23/2003 17:20   2"));
    EXPECT_TRUE(list->isVisible());
    EXPECT_EQ(list->count(), 2);
    EXPECT_EQ(QApplication::focusWidget(), list);
    EXPECT_EQ(speech->spoken.last(), "Archive List has focus. Record  1 of  2");
    EXPECT_EQ(list->currentRow(), 0);
    EXPECT_TRUE(txtIn->text().isEmpty());

    speech->spoken.clear();
    QTest::keyClick(list, Qt::Key_Down);
    EXPECT_EQ(speech->spoken, QStringList{"Record 2"});
    EXPECT_EQ(list->currentRow(), 1) << "the program's move, not a second one by the list";
    list->setCurrentRow(0);   // as a click picks an entry
    EXPECT_EQ(viewer.archive.List1.selected(), 0);

    // A running screen reader reads the entry it selects: the program adds only the record's
    // number, unless the user asks for everything to be said.
    window.screenReader().assume(true);
    speech->spoken.clear();
    QTest::keyClick(list, Qt::Key_Down, Qt::ShiftModifier);
    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_EQ(speech->spoken, (QStringList{"Record 2", "Record 2"}));
    viewer.ports.settings.write("Settings", "SpeakFocusNames", "True");
    speech->spoken.clear();
    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_EQ(speech->spoken, (QStringList{"Record 2", list->item(1)->text()}));
    window.screenReader().assume(false);
    viewer.ports.settings.write("Settings", "SpeakFocusNames", "Auto");
    speech->spoken.clear();
    QTest::keyClick(list, Qt::Key_Up, Qt::ShiftModifier);
    EXPECT_EQ(speech->spoken, (QStringList{"Record 1", list->item(0)->text()}));

    speech->spoken.clear();
    QTest::keyClick(list, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), txtIn);
    EXPECT_TRUE(speech->spoken.contains("Waiting for text."));

    viewer.archive.List1.clear();   // as loading a data file does
    QApplication::processEvents();
    EXPECT_FALSE(list->isVisible());
}

} // namespace
