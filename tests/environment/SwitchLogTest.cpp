#include "environment/SwitchLog.h"

#include "environment/SwitchLogTesting.h"
#include "platform/Text.h"

#include "support/Sandbox.h"

#include <filesystem>
#include <fstream>
#include <regex>

namespace {
std::tm At(int year, int month, int day, int weekday, int hour, int minute, int second) {
    std::tm time{};
    time.tm_year = year - 1900;
    time.tm_mon = month - 1;
    time.tm_mday = day;
    time.tm_wday = weekday;
    time.tm_hour = hour;
    time.tm_min = minute;
    time.tm_sec = second;
    return time;
}

TEST(SwitchLogTest, TimeIsEnglishWithATwelveHourClock) {
    struct Case {
        std::tm time;
        const char* text;
    } cases[] = {
        {At(2026, 12, 4, 5, 7, 43, 1), "Friday, December 04, 2026, 07:43:01 AM"},
        {At(2027, 1, 31, 0, 0, 0, 0), "Sunday, January 31, 2027, 12:00:00 AM"},
        {At(2025, 9, 10, 3, 12, 5, 9), "Wednesday, September 10, 2025, 12:05:09 PM"},
        {At(2024, 2, 29, 4, 23, 59, 59), "Thursday, February 29, 2024, 11:59:59 PM"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.text, UseFormatLogTime(c.time));
    EXPECT_TRUE(std::regex_match(
        UseFormatNow(), std::regex("[A-Z][a-z]+day, [A-Z][a-z]+ \\d\\d, \\d{4}, \\d\\d:\\d\\d:\\d\\d [AP]M")))
        << UseFormatNow();
}

class SwitchLogFileTest : public ::testing::Test {
  protected:
    void SetUp() override { UseRedirectSwitchLogForTests(folder_); }
    void TearDown() override { UseRedirectSwitchLogForTests(""); }

    std::string Read() const {
        std::ifstream in(file_, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    // The log's text with every time replaced by T, so records compare exactly.
    std::string ReadTimeless() const {
        return std::regex_replace(Read(), std::regex("============ [^\r\n]* ==========="),
                                  "============ T ===========");
    }
    static std::string OnDisk(const std::string& record) { return UseReplaceAll(record, "\n", "\r\n"); }

    ScopedTempFolder temp_;
    std::string folder_ = temp_.Path() + "\\Morvane";
    std::string file_ = folder_ + "\\log.txt";
};

TEST_F(SwitchLogFileTest, RecordsFollowOneAnotherInTheFolderItCreates) {
    UseWriteSwitchLog("C:\\a;%NVLROOT%", "%NVLROOT%;C:\\a", true);
    UseWriteSwitchLog("C:\\b;;%NVLROOT%", "%NVLROOT%;C:\\b", false);
    EXPECT_EQ("\r\n\r\n============ T ===========\r\n\r\nOriginal SYSTEM Path: \r\n\r\nC:\\a;%NVLROOT%"
              "\r\n\r\nUpdated SYSTEM Path: \r\n\r\n%NVLROOT%;C:\\a"
              "\r\n\r\n============ T ===========\r\n\r\nOriginal USER Path: \r\n\r\nC:\\b;;%NVLROOT%"
              "\r\n\r\nUpdated USER Path: \r\n\r\n%NVLROOT%;C:\\b",
              ReadTimeless());
}

TEST_F(SwitchLogFileTest, ALogOfOneMebibyteStartsOver) {
    struct Case {
        size_t size;
        bool emptied;
    } cases[] = {{1048575, false}, {1048576, true}, {1048577, true}};
    for (const Case& c : cases) {
        temp_.AddFile("Morvane\\log.txt", std::string(c.size, 'x'));
        UseWriteSwitchLog("old", "new", true);
        const std::string record = OnDisk(UseSwitchLogRecord("T", "old", "new", true));
        EXPECT_EQ((c.emptied ? "" : std::string(c.size, 'x')) + record, ReadTimeless()) << c.size;
    }
}

TEST_F(SwitchLogFileTest, NothingIsLoggedWithoutItsParentFolderOrWhileTheLogIsHeld) {
    UseRedirectSwitchLogForTests(temp_.Path() + "\\Missing\\Morvane");
    UseWriteSwitchLog("old", "new", true);
    EXPECT_FALSE(std::filesystem::exists(temp_.Path() + "\\Missing"));

    UseRedirectSwitchLogForTests(folder_);
    temp_.AddFile("Morvane\\log.txt", "kept");
    const HANDLE held = CreateFileA(file_.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    UseWriteSwitchLog("old", "new", true);
    CloseHandle(held);
    EXPECT_EQ("kept", Read());
}
} // namespace
