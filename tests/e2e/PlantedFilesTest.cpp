// What anyone who can write an ordinary folder can plant where kelmora.exe, run with administrator
// rights, writes, runs or loads: each row plants one thing, runs kelmora.exe, and checks that the
// planted thing was neither written through, run nor loaded, and that the switch, the import or the
// help still did its work. Planted programs and libraries are copies of tests/planted/Planted.cpp.
#include "platform/Text.h"
#include "support/Process.h"
#include "support/Sandbox.h"

#include <fstream>
#include <tuple>

namespace {
constexpr const char* kLogFolder = "C:\\Temp\\Morvane";
constexpr const char* kScriptKey = "Software\\Norvale\\PlantedScriptTest";

std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// A Windows path as a quoted argument of a program of the machine Wine runs on (/bin/ln makes the links:
// Wine's CreateSymbolicLink makes none).
std::string Unix(const std::string& path) {
    static const auto toUnix = reinterpret_cast<char*(CDECL*)(LPCWSTR)>(reinterpret_cast<void (*)()>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    char* unix = toUnix(std::wstring(path.begin(), path.end()).c_str());
    const std::string quoted = " \"" + std::string(unix) + "\"";
    HeapFree(GetProcessHeap(), 0, unix);
    return quoted;
}

// A user who presses Help in the main dialog, then closes it and every other dialog.
void PressHelp(HWND dialog) {
    if (const HWND help = GetDlgItem(dialog, 57670))
        PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(57670, BN_CLICKED), reinterpret_cast<LPARAM>(help));
    CloseDialog(dialog);
}

TEST(PlantedFilesTest, TheLogIsNeverWrittenThroughALink) {
    CreateDirectoryA("C:\\Temp", nullptr);
    CreateDirectoryA(kLogFolder, nullptr);
    const ScopedTempFolder temp;
    const std::string log = std::string(kLogFolder) + "\\log.txt", elsewhere = temp.AddFolder("Elsewhere");
    const std::string refusal = "The switch log " + log + " was not written: ",
                      toFile = refusal + "it is a link to another file.";
    // The size of the file that what stands at the log's place leads to, and the line printed.
    const std::tuple<std::size_t, std::string, std::string> cases[] = {
        {1100000, "link", toFile},
        {10, "link", toFile},
        {10, "hard link", refusal + "the file has another name as well (a hard link)."},
        {10, "folder link", refusal + kLogFolder + " is a link to another folder."},
    };
    for (const auto& [size, planted, line] : cases) {
        SCOPED_TRACE(planted + " to " + std::to_string(size) + " bytes");
        const ScopedPrefixRegistry prefix;
        SetString(true, kSystemEnvironmentKey, "NVLROOT", temp.Path());
        SetString(true, kSystemEnvironmentKey, "PATH", "C:\\Tools;%NVLROOT%\\bin", REG_EXPAND_SZ);
        const std::string secret = temp.AddFile("Elsewhere\\secret.txt", std::string(size, 's'));
        RunProgram("/bin/rm", "-rf" + Unix(planted == "folder link" ? kLogFolder : log));
        if (planted == "link") RunProgram("/bin/ln", "-s" + Unix(secret) + Unix(log));
        if (planted == "hard link") CreateHardLinkA(log.c_str(), secret.c_str(), nullptr);
        if (planted == "folder link") RunProgram("/bin/ln", "-s" + Unix(elsewhere) + Unix(kLogFolder));
        const ProcessResult result = RunKelmora("-path \"" + temp.AddFolder("New") + "\"");
        EXPECT_EQ(0u, result.exitCode);
        EXPECT_EQ(line + "\n", result.output);
        EXPECT_TRUE(Read(secret) == std::string(size, 's')) << Read(secret).substr(0, 300);
        EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA((elsewhere + "\\log.txt").c_str()));
        EXPECT_EQ(UseToLower(temp.Path() + "\\New"), GetStored(true, kSystemEnvironmentKey, "NVLROOT").text);
        RunProgram("/bin/rm", "-f" + Unix(log) + Unix(kLogFolder)); // the links, not what they lead to
        CreateDirectoryA(kLogFolder, nullptr);
    }
    // A project's pin, which "-pin" writes in a folder that others may write too.
    const ScopedPrefixRegistry prefix;
    SetString(false, "SOFTWARE\\Norvale\\Morvane\\ManualConfiguration\\Bench", "Location", temp.Path());
    const std::string project = temp.AddFolder("Project"), pin = project + "\\.nvlrelease";
    char ownFolder[MAX_PATH] = "";
    GetCurrentDirectoryA(MAX_PATH, ownFolder);
    SetCurrentDirectoryA(project.c_str());
    for (const auto& [planted, line] : {std::pair{"link", "it is a link to another file."},
                                        {"hard link", "the file has another name as well (a hard link)."}}) {
        SCOPED_TRACE(planted);
        const std::string secret = temp.AddFile("Elsewhere\\secret.txt", "secret");
        DeleteFileA(pin.c_str());
        if (planted == std::string("link"))
            RunProgram("/bin/ln", "-s" + Unix(secret) + Unix(pin));
        else
            CreateHardLinkA(pin.c_str(), secret.c_str(), nullptr);
        const ProcessResult result = RunKelmora("-pin bench");
        EXPECT_EQ(1u, result.exitCode);
        EXPECT_EQ("The pin file " + pin + " was not written: " + line + "\n", result.output);
        EXPECT_EQ("secret", Read(secret));
        RunProgram("/bin/rm", "-f" + Unix(pin));
    }
    SetCurrentDirectoryA(ownFolder);
}

TEST(PlantedFilesTest, NoPlantedProgramOrLibraryRuns) {
    const ScopedPrefixRegistry prefix;
    const ScopedTempFolder temp;
    // The copy of the program stands in a folder named by its short name, free of the program's base
    // name, which the temporary folder's long name carries.
    std::string app(MAX_PATH, '\0');
    app.resize(GetShortPathNameA(temp.AddFolder("App").c_str(), app.data(), MAX_PATH));
    const std::string here = temp.AddFolder("Here"), onPath = temp.AddFolder("OnPath");
    const std::string bin = temp.AddFolder("Release\\tools\\bin"), exe = app + "\\kelmora.exe",
                      viewer = BuildFolder() + "\\kelmora_planted.exe";
    CopyFileA((BuildFolder() + "\\kelmora.exe").c_str(), exe.c_str(), FALSE);
    SetString(true, kSystemEnvironmentKey, "NVLROOT", temp.Path() + "\\Release");
    // The viewer registered for PDF files, where Wine's shell looks for it; Wine told to look for these
    // libraries where Windows would before taking its own.
    const std::string pdfClass = GetStored(true, "SOFTWARE\\Classes\\.pdf", "").text,
                      pdf = "SOFTWARE\\Classes\\Planted";
    SetString(true, "SOFTWARE\\Classes\\.pdf", "", "Planted");
    SetString(true, pdf + "\\shell\\open\\command", "", "\"" + viewer + "\" \"%1\"");
    for (const char* library : {"riched20", "shell32", "ole32"})
        SetString(false, "Software\\Wine\\AppDefaults\\kelmora.exe\\DllOverrides", library, "native,builtin");
    const std::string script =
        std::string("REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\") + kScriptKey + "]\r\n\"Script\"=\"yes\"";
    const std::string reg = "-reg \"" + temp.AddFile("s.reg", script + "\r\n") + "\"";
    const std::string fa = "-fa \"" + temp.AddFile("assoc.txt", "nsd \"" + viewer + "\"\r\n") + "\"";
    // What shows the work done: the script's value, the file type's class, the viewer's command line.
    enum Work { Import, Register, Help };
    const std::string done[] = {"yes", "nsd_auto_file_mvxnrvl",
                                "\"" + viewer + "\" \"" + temp.AddFile("Release\\tools\\bin\\kelmora.pdf") +
                                    "\""};
    const std::tuple<std::string, std::string, Work> cases[] = {
        {here + "\\regedit.bat", reg, Import}, {here + "\\regedit.exe", reg, Import},
        {app + "\\riched20.dll", "", Help},    {app + "\\shell32.dll", fa, Register},
        {app + "\\ole32.dll", "", Help},       {here + "\\ole32.dll", fa, Register},
        {here + "\\riched20.dll", "", Help},   {bin + "\\AcroRd32.exe", "", Help},
        {here + "\\AcroRd32.exe", "", Help},   {onPath + "\\AcroRd32.exe", "", Help},
    };
    // Each case runs in a process of its own: what it sets here goes with it, but its current folder.
    char folder[MAX_PATH] = "", path[32768] = "";
    GetCurrentDirectoryA(MAX_PATH, folder);
    SetCurrentDirectoryA(here.c_str());
    GetEnvironmentVariableA("PATH", path, sizeof path);
    SetEnvironmentVariableA("PATH", (onPath + ";" + path).c_str());
    for (const auto& [planted, arguments, work] : cases) {
        SCOPED_TRACE(planted);
        if (planted.ends_with(".bat"))
            std::ofstream(planted) << "echo ran > regedit.bat.ran\r\n";
        else
            CopyFileA((viewer.substr(0, viewer.size() - 3) + planted.substr(planted.size() - 3)).c_str(),
                      planted.c_str(), FALSE);
        RegDeleteTreeA(HKEY_CURRENT_USER, kScriptKey);
        DeleteFileA((viewer + ".ran").c_str());
        const ProcessResult result = RunProgram(exe, arguments, PressHelp);
        for (int wait = 0; work == Help && Read(viewer + ".ran").empty() && wait < 100; ++wait)
            Sleep(50);
        EXPECT_EQ(0u, result.exitCode) << result.output;
        EXPECT_EQ("", Read(planted + ".ran"));
        const std::string found[] = {GetStored(false, kScriptKey, "Script").text,
                                     GetStored(false, "Software\\Classes\\.nsd", "").text,
                                     Read(viewer + ".ran")};
        EXPECT_EQ(done[work], found[work]);
    }
    SetCurrentDirectoryA(folder);
    RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\kelmora.exe");
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, pdf.c_str());
    SetString(true, "SOFTWARE\\Classes\\.pdf", "", pdfClass);
}

TEST(PlantedFilesTest, NoDialogOpensWhereNoOneCanSeeIt) {
    const ScopedPrefixRegistry prefix;
    CreateWindowStationA("PlantedTestStation", 0, WINSTA_ALL_ACCESS, nullptr); // closed with this process
    // With options, the release not found ends the run with exit code 2; without, dialog mode gives 1.
    for (const auto& [arguments, exitCode] : {std::pair{" -rel \"No Such Release\"", 2ul}, {"", 1ul}}) {
        SCOPED_TRACE(arguments);
        std::string command = "\"" + BuildFolder() + "\\kelmora.exe\"" + arguments;
        char desktop[] = "PlantedTestStation\\Default";
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        startup.lpDesktop = desktop;
        PROCESS_INFORMATION process{};
        ASSERT_TRUE(CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                   &startup, &process));
        EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(process.hProcess, 20000));
        TerminateProcess(process.hProcess, 255);
        DWORD code = 0;
        GetExitCodeProcess(process.hProcess, &code);
        EXPECT_EQ(exitCode, code);
    }
}

} // namespace
