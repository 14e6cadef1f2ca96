// Switching from the command line, run as a script would run kelmora.exe, against the test prefix's
// own registry and its real log "C:\Temp\Morvane\log.txt".
#include "platform/Text.h"
#include "support/PrefixState.h"
#include "support/Process.h"
#include "support/Sandbox.h"

#include <windows.h>

#include <atomic>
#include <fstream>
#include <regex>
#include <thread>

namespace {
constexpr const char* kLogFile = "C:\\Temp\\Morvane\\log.txt";
constexpr const char* kFileAssociationsKey = "SOFTWARE\\Norvale\\Morvane\\File Associations";

// userenv is loaded when needed rather than linked: only this check uses it.
template <typename F> F Function(HMODULE module, const char* name) {
    // Through the generic function type, which converts to any other without a warning.
    return reinterpret_cast<F>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

// The traces an installation of MVX 16.6 leaves: the suite key with its product-code subkey, the
// uninstall key of that code, and "compnts.dat" in the root.
class ScopedMvx166Install {
public:
    explicit ScopedMvx166Install(const std::string& root) {
        CreateKey(true, std::string("SOFTWARE\\Norvale\\Norvale MVX 16.6\\16.6\\") + kCode);
        SetString(true, UninstallKey(), "DisplayName", "Norvale MVX 16.6");
        SetString(true, UninstallKey(), "InstallLocation", root + "\\");
        std::ofstream(root + "\\compnts.dat") << "";
    }
    // The suite key goes with SOFTWARE\Norvale, which the fixture removes.
    ~ScopedMvx166Install() { RegDeleteTreeA(HKEY_LOCAL_MACHINE, UninstallKey().c_str()); }

private:
    static constexpr const char* kCode = "{7D3E5A10-2B4C-4F61-9A8E-0C1D2E3F4A5B}";
    static std::string UninstallKey() {
        return std::string("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\") + kCode;
    }
};

const char* EnvKey(bool machineWide) {
    return machineWide ? kSystemEnvironmentKey : kUserEnvironmentKey;
}

// Answers the main dialog (or any "Morvane" window) of a kelmora.exe run that did not find what it was
// given, as a user would, so the run ends.
class ScopedDialogDismisser {
public:
    ScopedDialogDismisser()
        : thread_([this] {
              while (!stop_) {
                  EnumWindows(DismissIfKelmora, 0);
                  Sleep(100);
              }
          }) {}
    ~ScopedDialogDismisser() {
        stop_ = true;
        thread_.join();
    }
    ScopedDialogDismisser(const ScopedDialogDismisser&) = delete;
    ScopedDialogDismisser& operator=(const ScopedDialogDismisser&) = delete;

private:
    static BOOL CALLBACK DismissIfKelmora(HWND window, LPARAM) {
        char title[64] = {};
        GetWindowTextA(window, title, sizeof title);
        if (!IsWindowVisible(window) || std::string(title).rfind("Morvane", 0) != 0) return TRUE;
        DWORD processId = 0;
        GetWindowThreadProcessId(window, &processId);
        const HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
        char image[MAX_PATH] = {};
        DWORD length = MAX_PATH;
        if (process && QueryFullProcessImageNameA(process, 0, image, &length) &&
            UseToLower(image).ends_with("\\kelmora.exe"))
            PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
        if (process) CloseHandle(process);
        return TRUE;
    }

    std::atomic<bool> stop_{false};
    std::thread thread_;
};

class SwitchTest : public PrefixTest {
protected:
    void SetUp() override {
        // Wine starts its desktop process with the session's first window. Started by kelmora.exe's
        // broadcast, it would inherit the pipe that captures kelmora's output and keep it open after
        // kelmora ends; started from here, it holds nothing of the run.
        GetDesktopWindow();
        // The log's parent folder is not the program's to create.
        CreateDirectoryA("C:\\Temp", nullptr);
        DeleteFileA(kLogFile);
        for (bool machineWide : {true, false})
            RemoveVariable(machineWide, "NVLROOT");
    }

    static void SetEnvironment(bool machineWide, const char* root, const char* path) {
        if (root) SetString(machineWide, EnvKey(machineWide), "NVLROOT", root);
        if (path) SetString(machineWide, EnvKey(machineWide), "PATH", path, REG_EXPAND_SZ);
    }
    static void RemoveVariable(bool machineWide, const char* name) {
        RegDeleteKeyValueA(machineWide ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER, EnvKey(machineWide), name);
    }
    static StoredValue Stored(bool machineWide, const char* name) {
        return GetStored(machineWide, EnvKey(machineWide), name);
    }
    static std::string RootRecord() { return GetStored(false, kFileAssociationsKey, "rootDirectory").text; }

    // The log with its times replaced by T.
    static std::string Log() {
        std::ifstream in(kLogFile, std::ios::binary);
        const std::string text((std::istreambuf_iterator<char>(in)), {});
        return std::regex_replace(text, std::regex("============ [^\r\n]* ==========="),
                                  "============ T ===========");
    }
    static std::string Record(const char* scope, const std::string& oldPath, const std::string& newPath) {
        return std::string("\r\n\r\n============ T ===========\r\n\r\nOriginal ") + scope +
               " Path: \r\n\r\n" + oldPath + "\r\n\r\nUpdated " + scope + " Path: \r\n\r\n" + newPath;
    }

    // What a process started now sees, its environment built from the registry as Explorer builds one
    // after an environment change broadcast.
    static std::string NewProcessSees(const char* variable) {
        HANDLE token = nullptr;
        EXPECT_TRUE(
            OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY | TOKEN_DUPLICATE | TOKEN_IMPERSONATE, &token));
        using CreateBlock = BOOL(WINAPI*)(LPVOID*, HANDLE, BOOL);
        using DestroyBlock = BOOL(WINAPI*)(LPVOID);
        const HMODULE userenv = LoadLibraryA("userenv.dll");
        const auto create = Function<CreateBlock>(userenv, "CreateEnvironmentBlock");
        const auto destroy = Function<DestroyBlock>(userenv, "DestroyEnvironmentBlock");
        void* block = nullptr;
        EXPECT_TRUE(create && destroy && create(&block, token, FALSE));
        CloseHandle(token);
        if (!block) return "<no environment block>";
        // The block becomes this process's environment, which the child inherits.
        SetEnvironmentVariableA(variable, nullptr);
        for (const wchar_t* entry = static_cast<const wchar_t*>(block); *entry; entry += wcslen(entry) + 1) {
            const std::wstring text(entry);
            const size_t equals = text.find(L'=', 1);
            if (equals != std::wstring::npos)
                SetEnvironmentVariableW(text.substr(0, equals).c_str(), text.substr(equals + 1).c_str());
        }
        destroy(block);
        char system[MAX_PATH] = {};
        GetSystemDirectoryA(system, MAX_PATH);
        const ProcessResult echo =
            RunProgram(std::string(system) + "\\cmd.exe", std::string("/c echo %") + variable + "%");
        return UseTrimWhite(echo.output);
    }

    ScopedTempFolder folder_;
};

TEST_F(SwitchTest, ReleaseByNameSwitchesTheSystemEnvironmentForNewProcesses) {
    const std::string root = folder_.AddFolder("Suite\\MVX 16.6");
    ScopedMvx166Install install(root);
    const std::string oldPath = "C:\\Tools;%SystemRoot%\\system32;%NVLROOT%\\tools\\bin;%SystemRoot%";
    const std::string newPath = "%SystemRoot%\\system32;%SystemRoot%;%NVLROOT%\\tools\\bin;C:\\Tools";
    SetEnvironment(true, "C:\\Norvale\\Old", oldPath.c_str());

    const ProcessResult result = RunKelmora("-rel \"MVX 16.6\"");
    EXPECT_FALSE(result.timedOut);
    EXPECT_EQ(0u, result.exitCode);
    EXPECT_EQ("", result.output);

    EXPECT_EQ(REG_SZ, Stored(true, "NVLROOT").type);
    EXPECT_EQ(root, Stored(true, "NVLROOT").text);
    EXPECT_EQ(REG_EXPAND_SZ, Stored(true, "PATH").type);
    EXPECT_EQ(newPath, Stored(true, "PATH").text);
    EXPECT_EQ(REG_NONE, Stored(false, "NVLROOT").type);
    EXPECT_EQ(Record("SYSTEM", oldPath, newPath), Log());
    EXPECT_EQ(root, RootRecord());
    EXPECT_EQ(root, NewProcessSees("NVLROOT"));
}

TEST_F(SwitchTest, ReleaseNameInOtherCaseSwitchesTheUserEnvironment) {
    const std::string root = folder_.AddFolder("Suite\\MVX 16.6");
    ScopedMvx166Install install(root);
    SetEnvironment(false, "C:\\Norvale\\Old", "%NVLROOT%\\bin;;C:\\Tools");

    const ProcessResult result = RunKelmora("-rel \"mVx 16.6\"");
    EXPECT_EQ(0u, result.exitCode);
    EXPECT_EQ("", result.output);
    EXPECT_EQ(root, Stored(false, "NVLROOT").text); // as detected, not as typed
    EXPECT_EQ("%NVLROOT%\\bin;C:\\Tools", Stored(false, "PATH").text);
    EXPECT_EQ(REG_NONE, Stored(true, "NVLROOT").type);
    EXPECT_EQ(Record("USER", "%NVLROOT%\\bin;;C:\\Tools", "%NVLROOT%\\bin;C:\\Tools"), Log());
    EXPECT_EQ(root, RootRecord());
    EXPECT_EQ(root, NewProcessSees("NVLROOT"));
}

TEST_F(SwitchTest, FolderSwitchFollowsTheScopeRules) {
    const std::string folder = folder_.AddFolder("Suite\\Root");
    const std::string written = UseToLower(folder); // the whole command line is read in lower case
    struct Case {
        const char* what;
        bool systemRoot;
        bool userRoot;
    } cases[] = {{"system over user", true, true}, {"neither: only the record", false, false}};
    for (const Case& c : cases) {
        for (bool machineWide : {true, false}) {
            RemoveVariable(machineWide, "NVLROOT");
            if (machineWide ? c.systemRoot : c.userRoot) SetEnvironment(machineWide, "C:\\Old", nullptr);
            SetEnvironment(machineWide, nullptr, "C:\\Tools;%NVLROOT%\\bin");
        }
        RegDeleteKeyValueA(HKEY_CURRENT_USER, kFileAssociationsKey, "rootDirectory");

        const ProcessResult result = RunKelmora("-path \"" + folder + "\"");
        EXPECT_EQ(0u, result.exitCode) << c.what;
        EXPECT_EQ(c.systemRoot ? written : "", Stored(true, "NVLROOT").text) << c.what;
        EXPECT_EQ(c.systemRoot ? "%NVLROOT%\\bin;C:\\Tools" : "C:\\Tools;%NVLROOT%\\bin",
                  Stored(true, "PATH").text)
            << c.what;
        EXPECT_EQ(c.userRoot ? "C:\\Old" : "", Stored(false, "NVLROOT").text) << c.what;
        EXPECT_EQ("C:\\Tools;%NVLROOT%\\bin", Stored(false, "PATH").text) << c.what;
        EXPECT_EQ(written, RootRecord()) << c.what;
    }
}

TEST_F(SwitchTest, MissingFolderEndsWithExitCodeTwoAndNoMessage) {
    SetEnvironment(true, "C:\\Old", "C:\\Tools;%NVLROOT%\\bin");
    ScopedDialogDismisser dismisser;
    const ProcessResult result = RunKelmora("-path \"" + folder_.Path() + "\\Missing\"");
    EXPECT_FALSE(result.timedOut);
    EXPECT_EQ(2u, result.exitCode);
    EXPECT_EQ("", result.output);
    EXPECT_EQ("C:\\Old", Stored(true, "NVLROOT").text);
    EXPECT_EQ("C:\\Tools;%NVLROOT%\\bin", Stored(true, "PATH").text);
    EXPECT_EQ("", RootRecord());
}

TEST_F(SwitchTest, UnknownReleaseIsReportedAndTheNextSwitchStillRuns) {
    const std::string folder = folder_.AddFolder("Suite\\Root");
    SetEnvironment(true, "C:\\Old", "C:\\Tools;%NVLROOT%\\bin");
    ScopedDialogDismisser dismisser;
    const ProcessResult result = RunKelmora("-rel \"No Such Release\" -path \"" + folder + "\"");
    EXPECT_FALSE(result.timedOut);
    EXPECT_EQ(2u, result.exitCode);
    EXPECT_EQ("The release \"no such release\" can not be found.\n", result.output);
    EXPECT_EQ(UseToLower(folder), Stored(true, "NVLROOT").text);
    EXPECT_EQ("%NVLROOT%\\bin;C:\\Tools", Stored(true, "PATH").text);
    EXPECT_EQ(UseToLower(folder), RootRecord());
}
} // namespace
