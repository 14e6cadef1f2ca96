#include "environment/Environment.h"
#include "environment/SwitchHistory.h"
#include "environment/SwitchLog.h"

#include "support/Sandbox.h"

namespace {
// Another program storing PATH between the program's read of it and its store: the update is made
// over from what that program stored, and what it stored is never stored over.
TEST(PathUpdateTest, AChangeStoredMeanwhileIsUpdatedInsteadOfStoredOver) {
    // Another program stores PATH after the first read only, or after every read.
    for (const std::size_t otherStores : {1u, 5u}) {
        const ScopedPrefixRegistry registry;
        SetString(true, kSystemEnvironmentKey, "PATH", "C:\\a", REG_EXPAND_SZ);
        std::size_t reads = 0;
        const UsePathUpdate result = UseEnvUpdatePath(true, [&](const std::string& path) {
            if (++reads <= otherStores)
                SetString(true, kSystemEnvironmentKey, "PATH", path + ";C:\\" + std::to_string(reads),
                          REG_EXPAND_SZ);
            return std::optional(path + ";C:\\mine");
        });
        const bool once = otherStores == 1;
        EXPECT_EQ(once ? UsePathUpdate::Stored : UsePathUpdate::KeptChanging, result);
        EXPECT_EQ(once ? 2u : 5u, reads);
        EXPECT_EQ(once ? "C:\\a;C:\\1;C:\\mine" : "C:\\a;C:\\1;C:\\2;C:\\3;C:\\4;C:\\5",
                  GetStored(true, kSystemEnvironmentKey, "PATH").text);
    }
}

// Each scope keeps its last 16 switches: the 16th record leaves the first, the 17th takes its place.
TEST(SwitchHistoryTest, TheOldestRecordGoesWhenASwitchWouldMakeSeventeen) {
    const ScopedPrefixRegistry registry;
    for (int switches = 1; switches <= 17; ++switches) {
        const UseSwitchState before = UseReadSwitchState(true);
        SetString(true, kSystemEnvironmentKey, "NVLROOT", "C:\\Release " + std::to_string(switches));
        UseRecordSwitch(true, before);
        const auto numbers = UseRegOpenKey(kSwitchHistoryKey, true, KEY_READ).SubKeyNames();
        ASSERT_TRUE(numbers);
        EXPECT_EQ(std::min(switches, 16), static_cast<int>(numbers->size()));
        EXPECT_EQ(switches == 17 ? "0000000002" : "0000000001", numbers->front());
    }
}

// The log's time of day on the twelve-hour clock: midnight and noon are 12, the hour before each 11.
TEST(SwitchLogTest, TimeOfDayOnTheTwelveHourClock) {
    const struct {
        int hour, minute;
        const char* text;
    } rows[] = {{0, 0, "12:00:00 AM"}, {0, 59, "12:59:00 AM"}, {1, 5, "01:05:00 AM"}, {11, 59, "11:59:00 AM"},
                {12, 0, "12:00:00 PM"}, {13, 0, "01:00:00 PM"}, {23, 59, "11:59:00 PM"}};
    for (const auto& row : rows) {
        std::tm time{};
        time.tm_year = 126, time.tm_mon = 11, time.tm_mday = 7, time.tm_wday = 1;
        time.tm_hour = row.hour, time.tm_min = row.minute;
        EXPECT_EQ(std::string("Monday, December 07, 2026, ") + row.text, UseFormatLogTime(time));
    }
}
} // namespace
