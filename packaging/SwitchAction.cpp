// The installer's switch, kelmora_switch.dll: Windows Installer runs it as the system account after
// the files are in place, when the install was given RELEASE. It runs the kelmora.exe this install
// put there with "-deploy" and the release, writes what that printed and its exit code into the
// installer's log, and fails the install, which is then rolled back, unless the switch was made.
#include <windows.h>

#include <msi.h>
#include <msiquery.h>

#include <algorithm>
#include <optional>
#include <string>

namespace {
// The deferred action's one property: the installed kelmora.exe's full path as the installer itself
// resolved it, a "|" (which no path holds), then the release exactly as given.
std::wstring ActionData(MSIHANDLE install) {
    wchar_t none[1] = L"";
    DWORD size = 0;
    if (MsiGetPropertyW(install, L"CustomActionData", none, &size) != ERROR_MORE_DATA) return {};
    std::wstring data(++size, L'\0');
    if (MsiGetPropertyW(install, L"CustomActionData", data.data(), &size) != ERROR_SUCCESS) return {};
    data.resize(size);
    return data;
}

// One line in the installer's log. The text is a field of the record, never its template, so that
// brackets in a release name are not taken for installer properties.
void Log(MSIHANDLE install, const std::wstring& text) {
    PMSIHANDLE record = MsiCreateRecord(1);
    MsiRecordSetStringW(record, 0, L"Morvane: [1]");
    MsiRecordSetStringW(record, 1, text.c_str());
    MsiProcessMessage(install, INSTALLMESSAGE_INFO, record);
}

struct Outcome {
    DWORD exitCode = 0;
    std::string output; // in the ANSI code page, as kelmora prints it
};

// Runs program with commandLine, without a window, its output and errors read through a pipe that is
// the only handle it inherits, and waits for it. Nothing, and error set, when it could not be started.
std::optional<Outcome> RunAndRead(const std::wstring& program, std::wstring commandLine, DWORD& error) {
    SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
    HANDLE reader = nullptr, writer = nullptr;
    if (!CreatePipe(&reader, &writer, &inheritable, 0)) {
        error = GetLastError();
        return std::nullopt;
    }
    SetHandleInformation(reader, HANDLE_FLAG_INHERIT, 0);
    SIZE_T size = 0;
    InitializeProcThreadAttributeList(nullptr, 1, 0, &size);
    std::string attributes(size, '\0');
    auto* list = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(attributes.data());
    const bool listMade = InitializeProcThreadAttributeList(list, 1, 0, &size);
    STARTUPINFOEXW startup{};
    startup.StartupInfo.cb = sizeof startup;
    startup.StartupInfo.dwFlags = STARTF_USESTDHANDLES;
    startup.StartupInfo.hStdOutput = startup.StartupInfo.hStdError = writer;
    startup.lpAttributeList = list;
    PROCESS_INFORMATION process{};
    const bool started = listMade &&
                         UpdateProcThreadAttribute(list, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, &writer,
                                                   sizeof writer, nullptr, nullptr) &&
                         CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE,
                                        CREATE_NO_WINDOW | EXTENDED_STARTUPINFO_PRESENT, nullptr, nullptr,
                                        &startup.StartupInfo, &process);
    error = started ? ERROR_SUCCESS : GetLastError();
    CloseHandle(writer);
    if (listMade) DeleteProcThreadAttributeList(list);
    std::optional<Outcome> outcome;
    if (started) {
        outcome.emplace();
        char buffer[4096];
        for (DWORD read = 0; ReadFile(reader, buffer, sizeof buffer, &read, nullptr) && read > 0;)
            outcome->output.append(buffer, read);
        WaitForSingleObject(process.hProcess, INFINITE);
        GetExitCodeProcess(process.hProcess, &outcome->exitCode);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    CloseHandle(reader);
    return outcome;
}

std::wstring FromAnsi(const std::string& text) {
    if (text.empty()) return {};
    std::wstring wide(MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0),
                      L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                        static_cast<int>(wide.size()));
    return wide;
}
} // namespace

extern "C" __declspec(dllexport) UINT __stdcall SwitchRelease(MSIHANDLE install) {
    const std::wstring data = ActionData(install);
    const size_t bar = data.find(L'|');
    if (bar == std::wstring::npos) {
        Log(install, L"the switch was given no program and release; nothing was switched.");
        return ERROR_INSTALL_FAILURE;
    }
    const std::wstring program = data.substr(0, bar), release = data.substr(bar + 1);
    // "-deploy" takes all the rest of the line as the release, so a double quote in it adds no option.
    const std::wstring command = L"\"" + program + L"\" -deploy \"" + release + L"\"";
    DWORD error = ERROR_SUCCESS;
    const std::optional<Outcome> outcome = RunAndRead(program, command, error);
    if (!outcome) {
        Log(install, program + L" could not be started (error " + std::to_wstring(error) +
                         L"); nothing was switched.");
        return ERROR_INSTALL_FAILURE;
    }
    const std::wstring output = FromAnsi(outcome->output);
    for (size_t start = 0; start < output.size();) {
        const size_t end = std::min(output.find(L'\n', start), output.size());
        if (end > start) Log(install, output.substr(start, end - start));
        start = end + 1;
    }
    Log(install, command + L" ended with exit code " + std::to_wstring(outcome->exitCode) +
                     (outcome->exitCode == 0 ? L"." : L"; the install fails and is rolled back."));
    return outcome->exitCode == 0 ? ERROR_SUCCESS : ERROR_INSTALL_FAILURE;
}
