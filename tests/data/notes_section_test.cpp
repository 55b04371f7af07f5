#include "data/data_set.h"
#include "view/strip_chart_model.h"
#include <gtest/gtest.h>

namespace {
const QString Ff = QString(QChar(0xFF));
}

TEST(NotesSection, SplitAppliesItemsAndKeepsOnlyTheUserPart)
{
    DataSet d;
    const QString stored = QStringLiteral("Hello*[[*Logged Using UT") + Ff + QStringLiteral("CHL0Antenna") + Ff
                           + QStringLiteral("*]]*after");
    EXPECT_EQ(d.SplitNotes(stored), QStringLiteral("Hello"));
    EXPECT_TRUE(d.LoggedUsingUT);
    EXPECT_EQ(d.ChannelNames[0], QStringLiteral("Antenna"));

    // Missing or reversed markers: no notes, no items applied.
    DataSet e;
    EXPECT_TRUE(e.SplitNotes(QStringLiteral("Hello CHL0Antenna*]]*")).isEmpty());
    EXPECT_TRUE(e.SplitNotes(QStringLiteral("*]]*CHL0Antenna") + Ff + QStringLiteral("*[[*")).isEmpty());
    EXPECT_TRUE(e.ChannelNames[0].isEmpty());

    // Empty and 0xFF-only items are skipped; items after them still count.
    EXPECT_EQ(e.SplitNotes(QStringLiteral("*[[*") + Ff + Ff + Ff + QStringLiteral("CHL1Sky") + Ff + Ff + QStringLiteral("*]]*")),
              QString());
    EXPECT_EQ(e.ChannelNames[1], QStringLiteral("Sky"));
    // The last item needs no 0xFF before the end marker.
    e.SplitNotes(QStringLiteral("*[[*CHL2Last*]]*"));
    EXPECT_EQ(e.ChannelNames[2], QStringLiteral("Last"));
}

TEST(NotesSection, ItemRules)
{
    DataSet d;
    d.ChannelNames[0] = QStringLiteral("old");
    d.ParseNotesItem(QStringLiteral("CHL0ab"));   // 6 characters: not a name
    EXPECT_EQ(d.ChannelNames[0], QStringLiteral("old"));
    d.ParseNotesItem(QStringLiteral("CHL0abc"));
    EXPECT_EQ(d.ChannelNames[0], QStringLiteral("abc"));
    d.ParseNotesItem(QStringLiteral("CHL9Ninth"));   // slot 9 does not exist
    d.ParseNotesItem(QStringLiteral("CHL-1Minus"));

    d.ParseNotesItem(QStringLiteral("CHO3-12.5"));
    EXPECT_EQ(d.ChannelOffsets[3], QStringLiteral("-12.5"));
    d.ParseNotesItem(QStringLiteral("CHO9x"));
    d.ParseNotesItem(QStringLiteral("Integer Save"));
    d.ParseNotesItem(Ff);
    d.ParseNotesItem(QString());
    for (int i = 0; i < DataSet::NameSlots; ++i) {
        if (i != 0)
            EXPECT_TRUE(d.ChannelNames[i].isEmpty()) << i;
        if (i != 3)
            EXPECT_TRUE(d.ChannelOffsets[i].isEmpty()) << i;
    }
    EXPECT_FALSE(d.LoggedUsingUT);
}

TEST(NotesSection, ModifiedNotesForSaving)
{
    DataSet d;
    d.Notes = QStringLiteral("user") + Ff;
    d.ChannelCount = 1;
    d.ChannelNames[0] = QStringLiteral("Antenna");
    EXPECT_EQ(d.GetModifiedNotes(), QStringLiteral("user") + Ff + QStringLiteral("*[[*CHL0Antenna") + Ff
                                        + QStringLiteral("CHO0") + Ff + QStringLiteral("*]]*"));

    // What is written reads back the same.
    d.LoggedUsingUT = true;
    d.ChannelCount = 2;
    d.ChannelNames[1] = QStringLiteral("Sky");
    d.ChannelOffsets[1] = QStringLiteral("0.25");
    DataSet back;
    EXPECT_EQ(back.SplitNotes(d.GetModifiedNotes()), d.Notes);
    EXPECT_TRUE(back.LoggedUsingUT);
    EXPECT_EQ(back.ChannelNames[1], QStringLiteral("Sky"));
    EXPECT_EQ(back.ChannelOffsets[1], QStringLiteral("0.25"));
}

TEST(NotesSection, AverageRate)
{
    // Rows at these times, the last one LastIndex; a rate left from another file never stays.
    const auto rate = [](std::initializer_list<double> times) {
        StripChartModel chart;
        chart.AddChannel(QStringLiteral("a"), 0);
        for (double t : times)
            chart.AddRow(t);
        DataSet d;
        d.AvgRate = 99;
        d.LastIndex = int(times.size()) - 1;
        d.CalcAvgRate(chart);
        return d.AvgRate;
    };
    EXPECT_EQ(rate({100.0}), 0);
    EXPECT_EQ(rate({100.0, 100.0}), 0);   // no time span
    EXPECT_NEAR(rate({100.0, 100.0, 100.0 + 2.0 / 86400}), 1.0, 1e-6);
}
