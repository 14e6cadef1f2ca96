// The least a process can do to switch the system environment to ROOT, the way `kelmora -path ROOT`
// does when NVLROOT is set system-wide: store the regrouped PATH (given here, not worked out) and
// NVLROOT, tell every window after each store and once more at the end, append the old and new PATH
// to the switch log, and record the root for the file associations. Nothing else: no options, no
// checks, only kernel32, advapi32 and user32. scripts/bench.sh times kelmora against it.
//
//     kelmora_floor ROOT NEWPATH
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {
const char* const kEnvironmentKey = "SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Environment";

void Broadcast() {
    SendMessageTimeoutA(HWND_BROADCAST, WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>("Environment"),
                        SMTO_ABORTIFHUNG, 5000, nullptr);
}

void Store(HKEY root, const char* key, const char* name, const std::string& text, DWORD type) {
    HKEY opened = nullptr;
    if (RegCreateKeyExA(root, key, 0, nullptr, 0, KEY_WRITE, nullptr, &opened, nullptr) != ERROR_SUCCESS)
        return;
    RegSetValueExA(opened, name, 0, type, reinterpret_cast<const BYTE*>(text.c_str()),
                   static_cast<DWORD>(text.size() + 1));
    RegCloseKey(opened);
}

std::string ReadPath() {
    char text[32768] = "";
    DWORD size = sizeof text;
    RegGetValueA(HKEY_LOCAL_MACHINE, kEnvironmentKey, "PATH",
                 RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND, nullptr, text, &size);
    return text;
}

void AppendLog(const std::string& oldPath, const std::string& newPath) {
    static const char* const kDays[] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                        "Thursday", "Friday", "Saturday"};
    static const char* const kMonths[] = {"January",   "February", "March",    "April",
                                          "May",       "June",     "July",     "August",
                                          "September", "October",  "November", "December"};
    SYSTEMTIME now{};
    GetLocalTime(&now);
    char time[128];
    std::snprintf(time, sizeof time, "%s, %s %02d, %d, %02d:%02d:%02d %s", kDays[now.wDayOfWeek % 7],
                  kMonths[(now.wMonth + 11) % 12], now.wDay, now.wYear,
                  now.wHour % 12 == 0 ? 12 : now.wHour % 12, now.wMinute, now.wSecond,
                  now.wHour < 12 ? "AM" : "PM");
    const std::string record = std::string("\r\n\r\n============ ") + time +
                               " ===========\r\n\r\nOriginal SYSTEM Path: \r\n\r\n" + oldPath +
                               "\r\n\r\nUpdated SYSTEM Path: \r\n\r\n" + newPath;
    CreateDirectoryA("C:\\Temp\\Morvane", nullptr);
    const HANDLE log = CreateFileA("C:\\Temp\\Morvane\\log.txt", GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                                   FILE_ATTRIBUTE_NORMAL, nullptr);
    if (log == INVALID_HANDLE_VALUE) return;
    SetFilePointer(log, 0, nullptr, FILE_END);
    DWORD written = 0;
    WriteFile(log, record.data(), static_cast<DWORD>(record.size()), &written, nullptr);
    CloseHandle(log);
}
} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    if (__argc != 3) return 1;
    const std::string root = __argv[1], newPath = __argv[2];
    const std::string oldPath = ReadPath();
    Store(HKEY_LOCAL_MACHINE, kEnvironmentKey, "PATH", newPath, REG_EXPAND_SZ);
    Broadcast();
    AppendLog(oldPath, newPath);
    Store(HKEY_LOCAL_MACHINE, kEnvironmentKey, "NVLROOT", root, REG_SZ);
    Broadcast();
    Store(HKEY_CURRENT_USER, "SOFTWARE\\Norvale\\Morvane\\File Associations", "rootDirectory", root, REG_SZ);
    Broadcast();
    return 0;
}
