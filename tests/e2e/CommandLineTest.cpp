// kelmora.exe run as a script runs it, one row per command line and registry state: the exit code,
// what it printed, whether the main dialog opened, how many environment broadcasts it sent, how many
// records it added to the real log "C:\Temp\Morvane\log.txt", and every registry entry it changed.
#include "environment/SwitchHistory.h"
#include "platform/Text.h"
#include "support/Process.h"
#include "support/Sandbox.h"

#include <fstream>

namespace {
constexpr const char* kRecordKey = "SOFTWARE\\Norvale\\Morvane\\File Associations";
const std::string kSystem = std::string("HKLM\\") + kSystemEnvironmentKey + "\\";
const std::string kUser = std::string("HKCU\\") + kUserEnvironmentKey + "\\";
const std::string kRecord = std::string("HKCU\\") + kRecordKey + "\\";
const std::string kClasses = "HKCU\\SOFTWARE\\Classes\\";
const std::pair<std::string, std::string> kHistory = {"HKCU\\SOFTWARE\\Norvale\\Morvane\\History\\", "*"};
const std::string kPath = "C:\\Tools;%SystemRoot%\\system32;%NVLROOT%\\tools\\bin;C:\\Tools;%SystemRoot%";
const std::string kRegrouped = "%SystemRoot%\\system32;%SystemRoot%;%NVLROOT%\\tools\\bin;C:\\Tools";

enum class Roots { System, User, Both, None }; // where NVLROOT is set before the run

struct Row {
    const char* name;
    Roots roots;
    std::string arguments;
    unsigned long exitCode;
    std::string output;                                       // the first line printed
    std::vector<std::pair<std::string, std::string>> changes; // entry and its text after ("*": any)
    int broadcasts;
    int logRecords = 0;
    bool dialog = false;
    std::string denied = "";    // a key that refuses writes
    const char* otherType = ""; // a system variable stored as a DWORD
};

std::string LogText() {
    std::ifstream in("C:\\Temp\\Morvane\\log.txt", std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

int Records(const std::string& log) {
    int records = 0;
    for (size_t at = 0; (at = log.find("\r\n\r\n============ ", at)) != std::string::npos; ++at)
        ++records;
    return records;
}

// A value as the snapshot holds it: type, ":", the text and its terminating zero.
std::string Stored(DWORD type, const std::string& text) {
    return std::to_string(type) + ":" + text + std::string(1, '\0');
}

TEST(CommandLineTest, EachRunChangesWhatItNamesAndTellsWhatItDid) {
    const ScopedPrefixRegistry prefix;
    CreateDirectoryA("C:\\Temp", nullptr); // the log's parent folder is not the program's to create
    const ScopedTempFolder temp;
    // An installation of MVX 16.6 as its installer leaves it, and a release added by hand.
    const std::string release = temp.AddFolder("MVX 16.6"), code = "{7D3E5A10-2B4C-4F61-9A8E-0C1D2E3F4A5B}";
    const std::string uninstall = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + code;
    const std::string bench = temp.AddFolder("Bench Build"), old = temp.AddFolder("Old"),
                      lab = temp.AddFolder("Lab");
    temp.AddFile("MVX 16.6\\compnts.dat");
    const std::string folder = UseToLower(temp.AddFolder("Suite\\Root"));
    const auto toFolder = [&](const std::string& tail = "") { return "-path \"" + folder + tail + "\""; };
    const std::string tool = temp.AddFile("Tools\\draftsch.exe"), nsdLine = "nsd \"" + tool + "\" -r";
    const auto file = [&](const std::string& name, const std::string& content) {
        return "\"" + temp.AddFile(name, content) + "\"";
    };
    const std::string quoted = file("q.txt", nsdLine + "\n");
    const std::string utf16("n\0s\0d\0 \0\"\0c\0:\0\\\0x\0\"\0\r\0\n\0", 24);
    const std::string reg =
        "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\SOFTWARE\\Norvale\\Script]\r\n\"Script\"=\"yes\"\r\n";
    const std::string missingScript = UseToLower(temp.Path()) + "\\missing.reg",
                      toRelease = "-rel \"MVX 16.6\"";
    const auto system = [](const std::string& root, const std::string& path = kRegrouped) {
        return std::vector<std::pair<std::string, std::string>>{
            {kSystem + "[NVLROOT]", Stored(REG_SZ, root)},
            {kSystem + "[PATH]", Stored(REG_EXPAND_SZ, path)},
            kHistory};
    };
    const auto record = [](const std::string& root) {
        return std::pair{kRecord + "[rootDirectory]", Stored(REG_SZ, root)};
    };
    const auto with = [](std::vector<std::pair<std::string, std::string>> changes, auto... more) {
        (changes.push_back(more), ...);
        return changes;
    };
    const std::pair<std::string, std::string> nsdRecord = {kRecord + "nsd\\", "*"};
    const std::vector<std::pair<std::string, std::string>> nsdRegistered = {
        nsdRecord, {kClasses + ".nsd\\", "*"}, {kClasses + "nsd_auto_file_mvxnrvl\\", "*"}};
    // The last line that can be added wins, its program resolved and all in lower case in the command.
    temp.AddFile("Old\\Tools\\Draft.exe");
    const std::string lines = "nsd \"%NVLROOT%\\missing.exe\" -a\nnsd \"%NVLROOT%\\Tools\\Draft.exe\" -B";
    const std::vector<std::pair<std::string, std::string>> nsdStored = {
        {kRecord + "nsd\\", ""},
        {kRecord + "nsd\\[Application]", Stored(REG_EXPAND_SZ, "%NVLROOT%\\Tools\\Draft.exe")},
        {kClasses + ".nsd\\", ""},
        {kClasses + ".nsd\\[]", Stored(REG_SZ, "nsd_auto_file_mvxnrvl")},
        {kClasses + "nsd_auto_file_mvxnrvl\\", "*"},
        {kClasses + "nsd_auto_file_mvxnrvl\\shell\\open\\command\\[]",
         Stored(REG_EXPAND_SZ, "\"" + UseToLower(old) + "\\tools\\draft.exe\" \"%1\" -b")}};
    const Row rows[] = {
        // clang-format off
        {"a detected release", Roots::System, toRelease, 0, "", with(system(release), record(release)), 3, 1},
        {"a hand-configured release, user scope", Roots::User, "-rel \"bench build\"", 0, "",
         {{kUser + "[NVLROOT]", Stored(REG_SZ, bench)}, {kUser + "[PATH]", Stored(REG_EXPAND_SZ, "%NVLROOT%\\bin;%SystemRoot%;C:\\Tools")},
          record(bench), kHistory}, 3, 1},
        {"both roots set: the system's wins", Roots::Both, toFolder("\\"), 0, "", with(system(folder), record(folder)), 3, 1},
        {"no root set: only the record", Roots::None, toFolder("\\\\"), 0, "", {record(folder + "\\\\")}, 1},
        {"a folder that does not exist", Roots::System, toFolder("\\missing"), 2, "", {}, 1, 0, true},
        {"a release not found, then a folder", Roots::System, "-rel \"No Such\" " + toFolder(), 2,
         "The release \"no such\" can not be found.", with(system(folder), record(folder)), 3, 1, true},
        {"no options", Roots::System, "", 0, "", {}, 0, 0, true},
        {"-deploy: the system environment whatever NVLROOT says, no record", Roots::User, "-Deploy MVX 16.6", 0,
         "Release \"mvx 16.6\" is active in the system environment: NVLROOT is " + release + ".", system(release), 3, 1},
        {"-deploy: the list administrators keep for every user", Roots::None, "-deploy lab", 0,
         "Release \"lab\" is active in the system environment: NVLROOT is " + lab + ".", system(lab), 3, 1},
        {"-deploy: the user's own list is not read", Roots::System, "-deploy bench build", 2,
         "The release \"bench build\" can not be found.", {}, 1},
        {"-deploy: a quote adds no option, and no dialog opens", Roots::System, "-deploy \"No Such\" -fas " + quoted, 2,
         "The release \"no such\" -fas " + UseToLower(quoted) + " can not be found.", {}, 1},
        {"-deploy: the system environment refused", Roots::System, "-deploy mvx 16.6", 1,
         "The system environment could not be written; release \"mvx 16.6\" was not made active.", {}, 1, 0, false, kSystem},
        {"-deploy: no release", Roots::System, "-deploy \"\"", 1, "Value was expected, but none was given", {}, 0},
        {"an association file, last line unended", Roots::System, "-fa " + file("a.txt", lines), 0, "", nsdStored, 1},
        {"a record key nobody may read", Roots::System, "-fa " + file("d.txt", lines), 1,
         "Unable to create registry entry for file extension", {}, 0, 0, false, "!" + kRecord},
        {"a glued value chooses the longest option", Roots::System, "-fas" + file("m.txt", nsdLine + "\n"), 0, "",
         {{"HKLM\\SOFTWARE\\Norvale\\", "*"}, {"HKLM\\SOFTWARE\\Classes\\.nsd\\", "*"}}, 1},
        {"a registry script", Roots::System, "-reg " + file("s cript.reg", reg), 0, "",
         {{"HKCU\\SOFTWARE\\Norvale\\Script\\", "*"}}, 1},
        {"a missing registry script", Roots::System, "-reg \"" + missingScript + "\"", 1,
         "The registry script " + missingScript + " does not exist.", {}, 1},
        {"a registry script holding a quote", Roots::System, "-reg\"c:\\a.reg\"x", 1,
         "The registry script path c:\\a.reg\"x holds a double quote; nothing was imported.", {}, 1},
        {"a registry script path too long", Roots::System, "-reg \"c:\\" + std::string(1010, 'x') + "\"", 1,
         "The registry script path is longer than 1010 characters; nothing was imported.", {}, 1},
        {"a value missing", Roots::System, "-reg a.reg -rel", 1, "Value was expected, but none was given", {}, 0},
        {"an option twice", Roots::System, "-rel a -REL b", 1, "Parameters are used twice", {}, 0},
        {"an unknown option", Roots::System, "-re a", 1, "Unknown parameters are used", {}, 0},
        {"system environment refused", Roots::System, toFolder(), 1, "", {record(folder)}, 1, 0, false, kSystem},
        {"refused and not found: the refusal counts", Roots::System, "-rel \"No Such\" " + toFolder(), 1,
         "The release \"no such\" can not be found.", {record(folder)}, 1, 0, true, kSystem},
        {"user environment refused", Roots::User, toFolder(), 1, "", {record(folder)}, 1, 0, false, kUser},
        {"root record refused", Roots::System, toFolder(), 1, "", system(folder), 3, 1, false, kRecord},
        {"user classes refused", Roots::System, "-fa " + file("b.txt", nsdLine), 1, "", {nsdRecord}, 1, 0, false,
         kClasses + ".nsd\\"},
        {"machine record refused", Roots::System, "-fas " + file("c.txt", nsdLine), 1, "", {}, 1, 0, false,
         "HKLM\\" + std::string(kRecordKey) + "\\nsd\\"},
        {"system root of another type", Roots::User, toFolder(), 0, "",
         {{kUser + "[NVLROOT]", Stored(REG_SZ, folder)}, {kUser + "[PATH]", "*"}, record(folder), kHistory}, 3, 1, false, "",
         "NVLROOT"},
        {"system PATH of another type", Roots::System, toFolder(), 0, "",
         {{kSystem + "[NVLROOT]", Stored(REG_SZ, folder)}, record(folder), kHistory}, 2, 0, false, "", "PATH"},
        {"a byte order mark", Roots::System, "-fa " + file("bom.txt", "\xEF\xBB\xBF" + nsdLine + "\r\n"), 0, "",
         nsdRegistered, 1},
        {"a UTF-16 file", Roots::System, "-fa " + file("utf16.txt", "\xFF\xFE" + utf16), 1, "", {}, 1},
        {"an extension with a backslash", Roots::System, "-fa " + file("n.txt", "a\\b \"" + tool + "\"\n"), 1, "", {}, 1},
        {"executable types, PATHEXT's too", Roots::System, "-fa " + file("x.txt", "exe \"" + tool + "\"\nBat \"" + tool +
         "\"\nxyz \"" + tool + "\"\n" + nsdLine), 1, "", nsdRegistered, 1},
        {"a missing association file", Roots::System, "-fa \"" + temp.Path() + "\\missing.txt\"", 1, "", {}, 1},
        {"an open command too long", Roots::System,
         "-fa " + file("long.txt", "nsd \"" + tool + "\" " + std::string(40000, 'x') + "\n"), 1, "", {}, 1},
        // clang-format on
    };
    SetEnvironmentVariableA("PATHEXT", ".COM;.EXE;.XYZ"); // what kelmora.exe inherits
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const ScopedPrefixRegistry rowPrefix;
        CreateKey(true, "SOFTWARE\\Norvale\\Norvale MVX 16.6\\16.6\\" + code);
        SetString(true, uninstall, "DisplayName", "Norvale MVX 16.6");
        SetString(true, uninstall, "InstallLocation", release + "\\");
        SetString(false, "SOFTWARE\\Norvale\\Morvane\\ManualConfiguration\\Bench Build", "Location", bench);
        SetString(true, "SOFTWARE\\Norvale\\Morvane\\ManualConfiguration\\Lab", "Location", lab);
        CreateKey(false, kRecordKey);
        for (bool machineWide : {true, false}) {
            const char* key = EnvironmentKey(machineWide);
            RegDeleteKeyValueA(UseRegRoot(machineWide), key, "NVLROOT");
            // Blanks past the registry's first 512 bytes: the root is read whole, then trimmed.
            if (row.roots == Roots::Both || row.roots == (machineWide ? Roots::System : Roots::User))
                SetString(machineWide, key, "NVLROOT", old + std::string(600, ' '));
            SetString(machineWide, key, "PATH", machineWide ? kPath : "%SystemRoot%;C:\\Tools;%NVLROOT%\\bin",
                      REG_EXPAND_SZ);
        }
        const DWORD one = 1;
        if (*row.otherType)
            RegSetKeyValueA(HKEY_LOCAL_MACHINE, kSystemEnvironmentKey, row.otherType, REG_DWORD, &one,
                            sizeof one);
        if (const bool none = row.denied.starts_with("!"); !row.denied.empty()) // "!": not even readable
            SetAccess(row.denied.starts_with("HKLM"),
                      row.denied.substr(none ? 6 : 5, row.denied.size() - (none ? 7 : 6)),
                      none ? kNoAccess : kReadOnly);
        DeleteFileA("C:\\Temp\\Morvane\\log.txt");
        const RegistrySnapshot before = TakeSnapshot();
        const BroadcastListener listener;
        const ProcessResult result = RunKelmora(row.arguments);
        const RegistrySnapshot after = TakeSnapshot();
        EXPECT_EQ(row.exitCode, result.exitCode);
        EXPECT_EQ(row.output, result.output.substr(0, result.output.find('\n')));
        EXPECT_EQ(row.dialog ? "Morvane" : "", result.dialog.substr(0, 7));
        EXPECT_EQ(row.broadcasts, listener.EnvironmentChanges());
        EXPECT_EQ(row.logRecords, Records(LogText()));
        std::vector<std::string> changed;
        for (const auto& [entry, text] : row.changes) {
            changed.push_back(entry);
            const std::string stored = after.count(entry) ? after.at(entry) : "(missing)";
            if (text != "*") {
                EXPECT_EQ(text, stored) << entry;
            }
        }
        ExpectOnlyChanges(before, after, changed);
    }
}

// The log records the old and new PATH of each rewrite in the form its readers expect, a log of 1 MiB
// starts over, and a "-" in the program's own file name after its base name starts the options there.
TEST(CommandLineTest, LogRecordAndAProgramFileNamedWithADash) {
    const ScopedPrefixRegistry prefix;
    const ScopedTempFolder temp;
    SetString(true, kSystemEnvironmentKey, "NVLROOT", temp.Path());
    SetString(true, kSystemEnvironmentKey, "PATH", kPath, REG_EXPAND_SZ);
    CreateDirectoryA("C:\\Temp", nullptr);
    CreateDirectoryA("C:\\Temp\\Morvane", nullptr);
    std::ofstream("C:\\Temp\\Morvane\\log.txt", std::ios::binary) << std::string(1048576, 'x');
    ASSERT_EQ(0u, RunKelmora("-path \"" + temp.AddFolder("New") + "\"").exitCode);
    const std::string log = LogText();
    EXPECT_EQ(0u, log.find("\r\n\r\n============ ")) << log.size();
    EXPECT_TRUE(log.ends_with(" ===========\r\n\r\nOriginal SYSTEM Path: \r\n\r\n" + kPath +
                              "\r\n\r\nUpdated SYSTEM Path: \r\n\r\n" + kRegrouped))
        << log;
    const std::string copy = temp.Path() + "\\kelmora-old.exe";
    ASSERT_TRUE(CopyFileA((BuildFolder() + "\\kelmora.exe").c_str(), copy.c_str(), FALSE));
    EXPECT_EQ("Unknown parameters are used\n", RunProgram(copy, "").output);
}

// Regrouping moves entries named outside the code page, a stray surrogate included, without changing
// a unit of them.
TEST(CommandLineTest, PathOutsideTheCodePageKeepsEveryUnit) {
    const ScopedPrefixRegistry prefix;
    const ScopedTempFolder temp;
    SetString(true, kSystemEnvironmentKey, "NVLROOT", temp.Path());
    UseRegKey key;
    ASSERT_EQ(ERROR_SUCCESS, key.Open(HKEY_LOCAL_MACHINE, kSystemEnvironmentKey, KEY_ALL_ACCESS));
    const std::u16string path = u"C:\\Caf\u00e9;%NVLROOT%\\bin;C:\\\u5de5\xD800;%SystemRoot%";
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(key.Get(), L"PATH", 0, REG_EXPAND_SZ,
                                            reinterpret_cast<const BYTE*>(path.c_str()),
                                            static_cast<DWORD>((path.size() + 1) * 2)));
    EXPECT_EQ(0u, RunKelmora("-path \"" + temp.AddFolder("New") + "\"").exitCode);
    std::u16string stored(64, u'\0');
    DWORD size = static_cast<DWORD>(stored.size() * 2);
    RegQueryValueExW(key.Get(), L"PATH", nullptr, nullptr, reinterpret_cast<BYTE*>(stored.data()), &size);
    EXPECT_TRUE(stored.c_str() ==
                std::u16string(u"%SystemRoot%;%NVLROOT%\\bin;C:\\Caf\u00e9;C:\\\u5de5\xD800"));
}

// The options for scripts and consoles (-list, -undo, -env, -exec, -check, -help) run as kelmora.exe
// under Wine against a detected and a hand-configured release, one row per run in order: each row
// starts from the state the row before left, or from a fresh one, and checks the exit code, what was
// printed, and either NVLROOT and PATH of its environment afterwards or that the registry was left
// exactly as it was.
// Where a row starts: where the row before left off, NVLROOT naming the hand-configured release in the
// system or in the user environment (no history), or the prefix's own environment.
enum class Start { Keep, System, User, Prefix };

struct ScriptRow {
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
    const ScriptRow rows[] = {
        // clang-format off
        {.start = Start::System, .arguments = "-list", .output = list},
        {.arguments = "-list json", .output = json},
        {.arguments = "-listjson", .output = json},
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
    for (const ScriptRow& row : rows) {
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
        EXPECT_TRUE(LogText().ends_with(row.logEnd));
    }
    SetCurrentDirectoryA(ownFolder);
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, uninstall.c_str());
}
} // namespace
