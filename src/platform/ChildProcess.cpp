#include "platform/ChildProcess.h"

#include "platform/FileSystem.h"
#include "platform/Text.h"
#include "platform/Unicode.h"

#include <windows.h>

#include <algorithm>

namespace {
std::u16string Wide(const std::string& text) {
    return UseUtf16FromUtf8(text).value_or(std::u16string());
}

// The name of an environment entry NAME=value in upper case. Entries of the form =C:=C:\Folder,
// which record the current folder of each drive, are named by all of =C:.
std::u16string UpperName(const std::u16string& entry) {
    std::u16string name = entry.substr(0, entry.find(u'=', 1));
    for (char16_t& c : name)
        if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - u'a' + u'A');
    return name;
}

std::u16string EnvironmentBlock(const std::vector<std::pair<std::string, std::string>>& variables) {
    std::vector<std::u16string> entries;
    if (wchar_t* block = GetEnvironmentStringsW()) {
        for (const wchar_t* entry = block; *entry; entry += wcslen(entry) + 1)
            entries.emplace_back(reinterpret_cast<const char16_t*>(entry));
        FreeEnvironmentStringsW(block);
    }
    for (const auto& [name, value] : variables) {
        const std::u16string upper = UpperName(Wide(name));
        std::erase_if(entries, [&upper](const std::u16string& entry) { return UpperName(entry) == upper; });
        entries.push_back(Wide(name) + u"=" + Wide(value));
    }
    // An environment block is sorted by name, letter case ignored.
    std::ranges::stable_sort(entries, {}, UpperName);
    std::u16string block;
    for (const std::u16string& entry : entries)
        block += entry + u'\0';
    return block + u'\0';
}
} // namespace

std::optional<unsigned long>
UseRunAndWait(const std::string& program, const std::string& commandLine,
              const std::vector<std::pair<std::string, std::string>>& variables) {
    const std::string lower = UseToLower(program);
    const bool batch = lower.ends_with(".bat") || lower.ends_with(".cmd");
    // cmd /s takes off the outer quotes and runs what is left as it stands.
    const std::u16string application = Wide(batch ? UseSystemFolder() + "\\cmd.exe" : program);
    std::u16string line = Wide(batch ? "cmd.exe /d /s /c \"" + commandLine + "\"" : commandLine);
    std::u16string environment = EnvironmentBlock(variables);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(reinterpret_cast<const wchar_t*>(application.c_str()),
                        reinterpret_cast<wchar_t*>(line.data()), nullptr, nullptr, TRUE,
                        CREATE_UNICODE_ENVIRONMENT, environment.data(), nullptr, &startup, &process))
        return std::nullopt;
    CloseHandle(process.hThread);
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD exitCode = 0;
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hProcess);
    return exitCode;
}
