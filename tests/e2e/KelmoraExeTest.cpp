// kelmora.exe run as a script would run it, against the test prefix's own registry and its real log
// "C:\Temp\Morvane\log.txt".
#include "platform/Text.h"
#include "support/PrefixState.h"
#include "support/Process.h"
#include "support/Sandbox.h"

#include <windows.h>

#include <algorithm>
#include <fstream>
#include <thread>
#include <tuple>

namespace {
constexpr const char* kRecordKey = "SOFTWARE\\Norvale\\Morvane\\File Associations";
constexpr const char* kScriptKey = "Software\\Norvale\\KelmoraScriptTest";

// Runs kelmora.exe while a user closes every dialog it shows, and no other program's (tests run side by
// side); caption gets the last one's caption.
ProcessResult RunClosingDialogs(const std::string& arguments, std::string& caption) {
    const std::jthread user([&caption](std::stop_token ended) {
        for (HWND dialog = nullptr; !ended.stop_requested(); Sleep(dialog ? 0 : 50)) {
            dialog = FindWindowExA(nullptr, dialog, "#32770", nullptr);
            DWORD id = 0, length = MAX_PATH;
            char text[64] = "", image[MAX_PATH] = "";
            GetWindowThreadProcessId(dialog, &id);
            if (const HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id)) {
                QueryFullProcessImageNameA(process, 0, image, &length);
                CloseHandle(process);
            }
            if (!UseToLower(image).ends_with("\\kelmora.exe") || !GetWindowTextA(dialog, text, sizeof text))
                continue;
            caption = text;
            PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        }
    });
    return RunKelmora(arguments); // the user stops and is joined once the run has ended
}

TEST(KelmoraExeTest, EachCommandLineChangesWhatItNamesAndNothingElse) {
    const ScopedPrefixRegistry prefix;
    CreateDirectoryA("C:\\Temp", nullptr); // the log's parent folder is not the program's to create
    ScopedTempFolder temp;
    // The traces an installation of MVX 16.6 leaves: the suite key with its product-code subkey, the
    // uninstall key of that code, and "compnts.dat" in the root.
    const std::string release = temp.AddFolder("MVX 16.6"), code = "{7D3E5A10-2B4C-4F61-9A8E-0C1D2E3F4A5B}";
    const std::string uninstall = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + code;
    CreateKey(true, "SOFTWARE\\Norvale\\Norvale MVX 16.6\\16.6\\" + code);
    SetString(true, uninstall, "DisplayName", "Norvale MVX 16.6");
    SetString(true, uninstall, "InstallLocation", release + "\\");
    temp.AddFile("MVX 16.6\\compnts.dat");
    const std::string tool = temp.AddFile("Old\\bin\\draftsch.exe"), old = temp.Path() + "\\Old";
    const std::string folder = temp.AddFolder("Suite\\Root"), found = "-path \"" + folder + "\"";
    const std::string path = "C:\\Tools;%SystemRoot%\\system32;%NVLROOT%\\tools\\bin;%SystemRoot%";
    const std::string regrouped = "%SystemRoot%\\system32;%SystemRoot%;%NVLROOT%\\tools\\bin;C:\\Tools";
    const std::string reg =
        std::string("REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\") + kScriptKey + "]\r\n\"Script\"=";
    temp.AddFile("bad.reg", reg + "\"refused\"\r\n");
    // The folder by its short name: free of blanks and of the program's base name, which its long
    // name carries.
    std::string shortFolder(MAX_PATH, '\0');
    shortFolder.resize(GetShortPathNameA(temp.Path().c_str(), shortFolder.data(), MAX_PATH));
    const std::string bad = shortFolder + "\\bad.reg", copy = shortFolder + "\\kelmora-old.exe";
    const std::string assoc = temp.AddFile("assoc.txt", "nsd \"%NVLROOT%\\bin\\draftsch.exe\" -r\r\n");
    // arguments, system root, user root, exit code, output, the new root ("" when none), main dialog
    const std::tuple<std::string, bool, bool, unsigned long, std::string, std::string, bool> cases[] = {
        {"-rel \"MVX 16.6\"", true, false, 0, "", release, false},
        {found, true, true, 0, "", UseToLower(folder), false},   // the command line is read in lower case
        {found, false, false, 0, "", UseToLower(folder), false}, // neither: only the record
        {"-path \"" + folder + "\\Missing\"", true, false, 2, "", "", true},
        {"-rel \"No Such Release\" " + found, true, false, 2,
         "The release \"no such release\" can not be found.\n", UseToLower(folder), true},
        {"", true, false, 0, "", "", true},
        {"-fa \"" + assoc + "\"", true, false, 0, "", "", false},
        {"-reg \"" + temp.AddFile("Norvale script.reg", reg + "\"yes\"\r\n") + "\"", true, false, 0, "", "",
         false},
        {"-reg \"" + bad + "\" -rel", true, false, 1, "Value was expected, but none was given\n", "", false},
        {"-rel a -REL b", true, false, 1, "Parameters are used twice\n", "", false},
        {"-reg\"" + bad + "\"x", true, false, 1,
         "The registry script path " + UseToLower(bad) + "\"x holds a double quote; nothing was imported.\n",
         "", false},
        {"-reg \"" + bad.substr(0, 3) + std::string(1010, 'x') + "\"", true, false, 1,
         "The registry script path is longer than 1010 characters; nothing was imported.\n", "", false},
    };
    for (const auto& [arguments, systemRoot, userRoot, exitCode, output, newRoot, dialog] : cases) {
        SCOPED_TRACE(arguments + (systemRoot ? " system" : "") + (userRoot ? " user" : ""));
        for (bool machineWide : {true, false}) {
            const char* key = EnvironmentKey(machineWide);
            RegDeleteKeyValueA(UseRegRoot(machineWide), key, "NVLROOT");
            if (machineWide ? systemRoot : userRoot) SetString(machineWide, key, "NVLROOT", old);
            SetString(machineWide, key, "PATH", path, REG_EXPAND_SZ);
        }
        RegDeleteKeyValueA(HKEY_CURRENT_USER, kRecordKey, "rootDirectory");
        DeleteFileA("C:\\Temp\\Morvane\\log.txt");
        std::string caption;
        const ProcessResult result = RunClosingDialogs(arguments, caption);
        EXPECT_EQ(exitCode, result.exitCode);
        EXPECT_EQ(output, result.output);
        EXPECT_EQ(dialog ? "Morvane" : "", caption.substr(0, 7));
        const bool switched = systemRoot && !newRoot.empty();
        const StoredValue systemRootAfter = GetStored(true, kSystemEnvironmentKey, "NVLROOT");
        EXPECT_EQ(switched ? newRoot : systemRoot ? old : "", systemRootAfter.text);
        EXPECT_EQ(systemRoot ? REG_SZ : REG_NONE, systemRootAfter.type);
        EXPECT_EQ(switched ? regrouped : path, GetStored(true, kSystemEnvironmentKey, "PATH").text);
        EXPECT_EQ(REG_EXPAND_SZ, GetStored(true, kSystemEnvironmentKey, "PATH").type);
        EXPECT_EQ(userRoot ? old : "", GetStored(false, kUserEnvironmentKey, "NVLROOT").text);
        EXPECT_EQ(path, GetStored(false, kUserEnvironmentKey, "PATH").text);
        EXPECT_EQ(newRoot, GetStored(false, kRecordKey, "rootDirectory").text);
        // One log record for each PATH rewrite.
        std::ifstream in("C:\\Temp\\Morvane\\log.txt", std::ios::binary);
        const std::string log(std::istreambuf_iterator<char>(in), {});
        EXPECT_EQ(switched ? 0 : std::string::npos, log.rfind("\r\n\r\n============ ")) << log;
        EXPECT_EQ(switched, log.ends_with(path + "\r\n\r\nUpdated SYSTEM Path: \r\n\r\n" + regrouped)) << log;
    }
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, uninstall.c_str());
    EXPECT_EQ("yes", GetStored(false, kScriptKey, "Script").text);
    // A "-" after the base name in the program's own file name starts the options.
    ASSERT_TRUE(CopyFileA((BuildFolder() + "\\kelmora.exe").c_str(), copy.c_str(), FALSE));
    EXPECT_EQ("Unknown parameters are used\n", RunProgram(copy, "").output);
    // The file type is registered for the current user, its command naming the tool found now.
    const StoredValue command =
        GetStored(false, "Software\\Classes\\nsd_auto_file_mvxnrvl\\shell\\open\\command", "");
    EXPECT_EQ("\"" + UseToLower(tool) + "\" \"%1\" -r", command.text);
    EXPECT_EQ(REG_EXPAND_SZ, command.type);
}
} // namespace
