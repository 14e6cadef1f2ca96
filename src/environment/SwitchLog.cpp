#include "environment/SwitchLog.h"

#include "environment/SwitchLogTesting.h"
#include "platform/FileSystem.h"
#include "platform/Text.h"

#include <windows.h>

#include <cstdio>

namespace {
constexpr const char* kLogFolder = "C:\\Temp\\Morvane";
constexpr LONGLONG kLogSizeLimit = 1048576; // a log this long or longer starts over

std::string& RedirectedFolder() {
    static std::string folder;
    return folder;
}

const char* ScopeWord(bool machineWide) {
    return machineWide ? "SYSTEM" : "USER";
}

std::string AppendRecord(const std::string& folder, const std::string& record) {
    const std::string path = folder + "\\log.txt";
    const std::string refusal = "The switch log " + path + " was not written: ";
    // One level only: a machine without C:\Temp has chosen not to have the log.
    const DWORD attributes = GetFileAttributesA(folder.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        if (!CreateDirectoryA(folder.c_str(), nullptr)) return {};
    } else if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) {
        return refusal + folder + " is a link to another folder.";
    } else if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        return {};
    }
    // Opened once, and written only when it is the log at that very place (a folder above it that is a
    // link leads elsewhere too): an elevated program writing through a link that a user planted in
    // C:\Temp would write wherever the user chose.
    UseOwnFile opened = UseOwnFile::Unavailable;
    const UseFileHandle file = UseOpenOwnFile(path, path, opened);
    if (opened == UseOwnFile::Link) return refusal + "it is a link to another file.";
    if (opened == UseOwnFile::HardLink) return refusal + "the file has another name as well (a hard link).";
    if (!file) return {};
    LARGE_INTEGER size{};
    if (GetFileSizeEx(file.Get(), &size) && size.QuadPart >= kLogSizeLimit) {
        SetFilePointer(file.Get(), 0, nullptr, FILE_BEGIN);
        SetEndOfFile(file.Get());
    }
    if (SetFilePointer(file.Get(), 0, nullptr, FILE_END) == INVALID_SET_FILE_POINTER &&
        GetLastError() != NO_ERROR)
        return {};
    // The log is a text file for Notepad: every line break is CR LF on disk. A write that fails part
    // way (disk full) abandons the rest of the record; PATH stays as written.
    const std::string text = UseReplaceAll(record, "\n", "\r\n");
    DWORD written = 0;
    WriteFile(file.Get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    return {};
}
} // namespace

void UseRedirectSwitchLogForTests(const std::string& folder) {
    RedirectedFolder() = folder;
}

std::string UseFormatLogTime(const std::tm& time) {
    static const char* const kDays[] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                        "Thursday", "Friday", "Saturday"};
    static const char* const kMonths[] = {"January",   "February", "March",    "April",
                                          "May",       "June",     "July",     "August",
                                          "September", "October",  "November", "December"};
    const char* day = time.tm_wday >= 0 && time.tm_wday < 7 ? kDays[time.tm_wday] : "";
    const char* month = time.tm_mon >= 0 && time.tm_mon < 12 ? kMonths[time.tm_mon] : "";
    const int hour12 = time.tm_hour % 12 == 0 ? 12 : time.tm_hour % 12;
    char text[128];
    std::snprintf(text, sizeof text, "%s, %s %02d, %d, %02d:%02d:%02d %s", day, month, time.tm_mday,
                  time.tm_year + 1900, hour12, time.tm_min, time.tm_sec, time.tm_hour < 12 ? "AM" : "PM");
    return text;
}

std::string UseFormatNow() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    std::tm time{};
    time.tm_year = now.wYear - 1900;
    time.tm_mon = now.wMonth - 1;
    time.tm_mday = now.wDay;
    time.tm_wday = now.wDayOfWeek;
    time.tm_hour = now.wHour;
    time.tm_min = now.wMinute;
    time.tm_sec = now.wSecond;
    return UseFormatLogTime(time);
}

std::string UseSwitchLogRecord(const std::string& time, const std::string& oldPath,
                               const std::string& newPath, bool machineWide) {
    const std::string scope = ScopeWord(machineWide);
    return "\n\n============ " + time + " ===========" + "\n\nOriginal " + scope + " Path: \n\n" + oldPath +
           "\n\nUpdated " + scope + " Path: \n\n" + newPath;
}

std::string UseWriteSwitchLog(const std::string& oldPath, const std::string& newPath, bool machineWide) {
    const std::string& redirected = RedirectedFolder();
    return AppendRecord(redirected.empty() ? kLogFolder : redirected,
                        UseSwitchLogRecord(UseFormatNow(), oldPath, newPath, machineWide));
}
