// The least a process can do to switch the system environment to ROOT, the way `kelmora -path ROOT`
// does when NVLROOT is set system-wide: store the regrouped PATH (given here, not worked out) and
// NVLROOT, tell every window after each of its three stores, append the old and new PATH
// to the switch log, and record the root for the file associations. Nothing else: no options, no
// checks, only kernel32, advapi32 and user32. scripts/bench.sh times kelmora against it.
//
//     kelmora_floor ROOT NEWPATH
#include <windows.h>

#include <string>

namespace {
const char* const kEnvironmentKey = "SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Environment";

// Stores the text (creating the key when missing), then tells every window.
void Store(HKEY root, const char* key, const char* name, const std::string& text, DWORD type) {
    RegSetKeyValueA(root, key, name, type, text.c_str(), static_cast<DWORD>(text.size() + 1));
    SendMessageTimeoutA(HWND_BROADCAST, WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>("Environment"),
                        SMTO_ABORTIFHUNG, 5000, nullptr);
}

std::string ReadPath() {
    char text[32768] = "";
    DWORD size = sizeof text;
    RegGetValueA(HKEY_LOCAL_MACHINE, kEnvironmentKey, "PATH",
                 RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND, nullptr, text, &size);
    return text;
}

void AppendLog(const std::string& oldPath, const std::string& newPath) {
    char date[64] = "", time[16] = "";
    GetDateFormatA(LOCALE_INVARIANT, 0, nullptr, "dddd, MMMM dd, yyyy", date, sizeof date);
    GetTimeFormatA(LOCALE_INVARIANT, 0, nullptr, "hh:mm:ss tt", time, sizeof time);
    const std::string record = std::string("\r\n\r\n============ ") + date + ", " + time +
                               " ===========\r\n\r\nOriginal SYSTEM Path: \r\n\r\n" + oldPath +
                               "\r\n\r\nUpdated SYSTEM Path: \r\n\r\n" + newPath;
    CreateDirectoryA("C:\\Temp\\Morvane", nullptr);
    const HANDLE log = CreateFileA("C:\\Temp\\Morvane\\log.txt", FILE_APPEND_DATA, 0, nullptr, OPEN_ALWAYS,
                                   FILE_ATTRIBUTE_NORMAL, nullptr);
    if (log == INVALID_HANDLE_VALUE) return;
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
    AppendLog(oldPath, newPath);
    Store(HKEY_LOCAL_MACHINE, kEnvironmentKey, "NVLROOT", root, REG_SZ);
    Store(HKEY_CURRENT_USER, "SOFTWARE\\Norvale\\Morvane\\File Associations", "rootDirectory", root, REG_SZ);
    return 0;
}
