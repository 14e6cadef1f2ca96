// The options for scripts and consoles (-list, -undo, -env, -exec, -check, -help) run as kelmora.exe
// under Wine against a detected and a hand-configured release, one row per run in order: each row
// starts from the state the row before left, or from a fresh one, and checks the exit code, what was
// printed, and either NVLROOT and PATH of its environment afterwards or that the registry was left
// exactly as it was.
#include "environment/SwitchHistory.h"
#include "platform/Text.h"
#include "support/Process.h"
#include "support/Sandbox.h"

#include <fstream>
#include <map>

namespace {
// Where a row starts: where the row before left off, NVLROOT naming the hand-configured release in the
// system or in the user environment (no history), or the prefix's own environment.
enum class Start { Keep, System, User, Prefix };

struct Row {
    Start start = Start::Keep;
    std::string userPath = "";      // the user's PATH at the start, when not the usual one
    DWORD pathType = REG_EXPAND_SZ; // of the PATH that names %NVLROOT%, at the start
    std::pair<const char*, std::string> outside = {"", ""}; // a variable something else sets before the run
    std::string arguments = "";                             // for kelmora.exe, or a batch file for cmd
    unsigned long exitCode = 0;
    std::string output = ""; // all that is printed; a "*" stands for any text
    std::string root = "";   // NVLROOT afterwards; when empty, nothing may have been written
    std::string path = "";   // PATH afterwards, and its type
    DWORD typeAfter = REG_EXPAND_SZ;
    std::string logEnd = ""; // how the switch log ends afterwards
};

TEST(ScriptOptionsTest, EachOptionPrintsAndWritesWhatItSays) {
    const ScopedPrefixRegistry prefix;
    CreateDirectoryA("C:\\Temp", nullptr);
    const ScopedTempFolder temp;
    const StoredValue ownPath[] = {GetStored(false, kUserEnvironmentKey, "PATH"),
                                   GetStored(true, kSystemEnvironmentKey, "PATH")};
    // MVX 16.6 as its installer leaves it, and a release added by hand whose folder holds & ^ ( and %.
    const std::string mvx = temp.AddFolder("MVX 16.6\\tools\\bin").substr(0, temp.Path().size() + 9);
    const std::string bench =
        temp.AddFolder("Bench&x^y(1)%z%\\tools\\bin").substr(0, temp.Path().size() + 16);
    const std::string old = temp.AddFolder("Old\\tools\\bin").substr(0, temp.Path().size() + 4);
    const std::string code = "{7D3E5A10-2B4C-4F61-9A8E-0C1D2E3F4A5B}";
    const std::string uninstall = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + code;
    CreateKey(true, "SOFTWARE\\Norvale\\Norvale MVX 16.6\\16.6\\" + code);
    SetString(true, uninstall, "DisplayName", "Norvale MVX 16.6");
    SetString(true, uninstall, "InstallLocation", mvx);
    temp.AddFile("MVX 16.6\\compnts.dat");
    SetString(false, "SOFTWARE\\Norvale\\Morvane\\ManualConfiguration\\Bench", "Location", bench);
    // A program that only the current folder holds is never run for a bare name.
    temp.AddFile("rogue.cmd", "@echo rogue\r\n");
    char ownFolder[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, ownFolder);
    SetCurrentDirectoryA(temp.Path().c_str());

    const std::string systemWindows = "%SystemRoot%\\system32;%SystemRoot%", tempFolder = std::getenv("TEMP");
    const std::string suiteSystem = "%SystemRoot%\\system32;%NVLROOT%\\tools\\bin;%SystemRoot%";
    const std::string suiteUser = "%TEMP%;%NVLROOT%\\tools\\bin", windows = std::getenv("SystemRoot");
    const std::string regrouped = systemWindows + ";%NVLROOT%\\tools\\bin";
    const std::string mvxBin = mvx + "\\tools\\bin",
                      mvxPath = windows + "\\system32;" + windows + ";" + mvxBin + ";" + tempFolder;
    // Folders that exist, each named differently: C:\windows\., C:\windows\.\. and so on.
    const auto dots = [](int count) {
        std::string path;
        for (int i = 1; i <= count; ++i)
            path += (i <= 124 ? ";C:\\windows" : ";C:\\windows\\system32") +
                    UseReplaceAll(std::string(i <= 124 ? i : i - 124, '.'), ".", "\\.");
        return path;
    };
    const std::string json = "[{\"active\":false,\"found\":\"detected\",\"name\":\"MVX 16.6\",\"root\":\"" +
                             UseReplaceAll(mvx, "\\", "\\\\") +
                             "\"},{\"active\":true,\"found\":\"hand-configured\"," +
                             "\"name\":\"Bench\",\"root\":\"" + UseReplaceAll(bench, "\\", "\\\\") + "\"}]\n";
    const std::string list =
        "  MVX 16.6  " + mvx + std::string(9, ' ') + "detected\n* Bench     " + bench + "  hand-configured\n";
    const std::string batch =
        temp.AddFile("env.cmd", "@echo off\r\nfor /f \"tokens=1,*\" %%a in ('" + BuildFolder() +
                                    "\\kelmora.exe -env bench') do if /i \"%%a\"==\"set\" set %%b\r\n"
                                    "set NVLROOT\r\nset PATH\r\n");
    const std::string benchPath =
        windows + "\\system32;" + windows + ";" + bench + "\\tools\\bin;" + tempFolder;
    const std::string back = " environment is back as it was before the switch of *.\n";
    const std::string changed = " environment was changed after the switch of *; nothing was undone.\n";
    const std::string injected = ";C:\\p|echo INJECTED"; // a command, were the line run
    const std::string entry = "The user PATH entry \"", userRegrouped = "%NVLROOT%\\tools\\bin;%TEMP%";
    const Row rows[] = {
        // clang-format off
        {.start = Start::System, .arguments = "-list", .output = list},
        {.arguments = "-list json", .output = json},
        {.arguments = "-list xml", .exitCode = 1,
         .output = "The list form \"xml\" is unknown; -list prints lines, -list json a JSON array.\n"},
        {.arguments = "-lis", .exitCode = 1, .output = "Unknown parameters are used\n"},
        {.arguments = "-help", .output = "Morvane chooses*"},
        {.start = Start::System, .arguments = "-env \"MVX 16.6\"",
         .output = "set \"NVLROOT=" + mvx + "\"\nset \"PATH=" + mvxPath + "\"\n"},
        {.userPath = "%TEMP%" + injected, .arguments = batch, .output = "NVLROOT=" + bench + "\r\nPATH=" +
         benchPath + injected + "\r\nPATHEXT=" + std::getenv("PATHEXT") + "\r\n"},
        {.start = Start::Prefix, .arguments = "-env", .exitCode = 1,
         .output = "No release is active: NVLROOT is set in neither environment.\n"},
        {.start = Start::System, .arguments = "-exec \"MVX 16.6\" Cmd /C echo Kept %NVLROOT%& exit 7",
         .exitCode = 7, .output = "Kept " + mvx + "\r\n"},
        {.arguments = "-exec \"MVX 16.6\" cmd /c echo %PATH%", .output = mvxPath + "\r\n"},
        {.arguments = "-exec bench rogue", .exitCode = 1,
         .output = "The program \"rogue\" is in no folder of the PATH of release \"bench\".\n"},
        {.arguments = "-check"},
        {.start = Start::Prefix, .arguments = "-check"},
        {.start = Start::System, .pathType = REG_SZ, .arguments = "-check", .exitCode = 1,
         .output = "The system PATH holds % references but is stored as REG_SZ, so they are not expanded.\n"},
        {.start = Start::System, .userPath = "%TEMP%;C:\\Nowhere", .arguments = "-check", .exitCode = 1,
         .output = entry + "C:\\Nowhere\" names no existing folder.\n"},
        {.start = Start::User, .userPath = suiteUser + ";%SystemRoot%\\", .arguments = "-check",
         .exitCode = 1, .output = "The folder \"" + windows + "\\\" is on PATH 2 times.\n"},
        {.start = Start::User, .userPath = suiteUser + ";" + mvxBin, .arguments = "-check", .exitCode = 1,
         .output = entry + mvxBin + "\" is a folder of release \"MVX 16.6\", which is not the active one.\n"},
        {.start = Start::System, .outside = {"NVLROOT", old}, .arguments = "-check", .exitCode = 1,
         .output = "NVLROOT of the system environment, \"" + old + "\", is not the root of a release.\n"},
        {.start = Start::System, .userPath = "%TEMP%" + dots(60), .arguments = "-check", .exitCode = 1,
         .output = "PATH is * characters long; some programs read only the first 2,047.\n"},
        {.start = Start::System, .userPath = "%TEMP%" + dots(244), .arguments = "-check", .exitCode = 1,
         .output = "PATH is * characters long, near the limit of 32,767.\n"},
        {.start = Start::System, .pathType = REG_SZ, .arguments = "-rel \"MVX 16.6\"", .root = mvx,
         .path = regrouped},
        {.arguments = "-path \"" + old + "\"", .root = UseToLower(old), .path = regrouped},
        {.arguments = "-undo", .output = "The system" + back, .root = mvx, .path = regrouped},
        {.arguments = "-undo", .output = "The system" + back, .root = bench, .path = suiteSystem,
         .typeAfter = REG_SZ, .logEnd = "Updated SYSTEM Path: \r\n\r\n" + suiteSystem},
        {.arguments = "-undo", .exitCode = 1, .output = "There is no switch to undo.\n"},
        {.arguments = "-rel \"MVX 16.6\"", .root = mvx, .path = regrouped},
        {.outside = {"PATH", "C:\\Elsewhere"}, .arguments = "-undo", .exitCode = 1,
         .output = "PATH of the system" + changed},
        {.start = Start::User, .pathType = REG_SZ, .arguments = "-rel \"MVX 16.6\"", .root = mvx,
         .path = userRegrouped},
        {.arguments = "-undo", .output = "The user" + back, .root = bench, .path = suiteUser,
         .typeAfter = REG_SZ},
        {.arguments = "-rel \"MVX 16.6\"", .root = mvx, .path = userRegrouped},
        {.outside = {"NVLROOT", old}, .arguments = "-undo", .exitCode = 1,
         .output = "NVLROOT of the user" + changed},
        // clang-format on
    };
    bool machineWide = true;
    for (const Row& row : rows) {
        SCOPED_TRACE(std::to_string(&row - rows) + ": " + row.arguments);
        if (row.start != Start::Keep) {
            machineWide = row.start != Start::User;
            RegDeleteTreeA(HKEY_CURRENT_USER, kSwitchHistoryKey);
            for (bool system : {false, true}) {
                RegDeleteKeyValueA(UseRegRoot(system), EnvironmentKey(system), "NVLROOT");
                RegDeleteKeyValueA(UseRegRoot(system), EnvironmentKey(system), "PATH");
                if (row.start == Start::Prefix && ownPath[system].type != REG_NONE)
                    SetString(system, EnvironmentKey(system), "PATH", ownPath[system].text,
                              ownPath[system].type);
            }
            if (row.start != Start::Prefix) {
                SetString(machineWide, EnvironmentKey(machineWide), "NVLROOT", bench);
                SetString(true, kSystemEnvironmentKey, "PATH", machineWide ? suiteSystem : systemWindows,
                          machineWide ? row.pathType : REG_EXPAND_SZ);
                SetString(false, kUserEnvironmentKey, "PATH", machineWide ? "%TEMP%" : suiteUser,
                          machineWide ? REG_EXPAND_SZ : row.pathType);
            }
        }
        if (!row.userPath.empty()) SetString(false, kUserEnvironmentKey, "PATH", row.userPath, REG_EXPAND_SZ);
        if (*row.outside.first)
            SetString(machineWide, EnvironmentKey(machineWide), row.outside.first, row.outside.second);
        const RegistrySnapshot before = TakeSnapshot();
        const ProcessResult result = row.arguments.ends_with(".cmd")
                                         ? RunProgram(windows + "\\system32\\cmd.exe", "/c " + row.arguments)
                                         : RunKelmora(row.arguments);
        EXPECT_EQ(row.exitCode, result.exitCode);
        const size_t star = row.output.find('*');
        EXPECT_TRUE(star == std::string::npos ? result.output == row.output
                                              : result.output.starts_with(row.output.substr(0, star)) &&
                                                    result.output.ends_with(row.output.substr(star + 1)))
            << result.output;
        if (row.root.empty()) {
            EXPECT_EQ(before, TakeSnapshot());
            continue;
        }
        EXPECT_EQ(row.root, GetStored(machineWide, EnvironmentKey(machineWide), "NVLROOT").text);
        const StoredValue path = GetStored(machineWide, EnvironmentKey(machineWide), "PATH");
        EXPECT_EQ(row.path, path.text);
        EXPECT_EQ(row.typeAfter, path.type);
        std::ifstream log("C:\\Temp\\Morvane\\log.txt", std::ios::binary);
        EXPECT_TRUE(std::string(std::istreambuf_iterator<char>(log), {}).ends_with(row.logEnd));
    }
    SetCurrentDirectoryA(ownFolder);
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, uninstall.c_str());
}
} // namespace
