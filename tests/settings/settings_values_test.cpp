// Stored settings as a careless edit or a damaged file leaves them: the program starts and
// reads each as something it can use.
#include "data/data_set.h"
#include "support/fakes.h"
#include <gtest/gtest.h>

namespace {

TEST(SettingsValues, ATimeZoneNoZoneCanBeReadsAsZero)
{
    FakeSettings settings;
    DataSet data;
    for (const char *zone : {"1e300", "-1e300", "inf", "nan", "40000", "25"}) {
        settings.values[QStringLiteral("Settings/TZ")] = QLatin1String(zone);
        data.getStaticHeaderInfo(settings);
        EXPECT_EQ(data.header.TimeZone, 0) << zone;
    }
    settings.values[QStringLiteral("Settings/TZ")] = QStringLiteral("-5.4");
    data.getStaticHeaderInfo(settings);
    EXPECT_EQ(data.header.TimeZone, -5);
}

} // namespace
