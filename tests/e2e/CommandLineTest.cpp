// kelmora.exe run as a script runs it, one row per command line and registry state: the exit code,
// what it printed, whether the main dialog opened, how many environment broadcasts it sent, how many
// records it added to the real log "C:\Temp\Morvane\log.txt", and every registry entry it changed.
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
    const std::string bench = temp.AddFolder("Bench Build"), old = temp.AddFolder("Old");
    temp.AddFile("MVX 16.6\\compnts.dat");
    const std::string folder = UseToLower(temp.AddFolder("Suite\\Root"));
    const auto toFolder = [&](const std::string& tail = "") { return "-path \"" + folder + tail + "\""; };
    const std::string tool = temp.AddFile("Tools\\draftsch.exe"), nsdLine = "nsd \"" + tool + "\" -r";
    const auto file = [&](const std::string& name, const std::string& content) {
        return "\"" + temp.AddFile(name, content) + "\"";
    };
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

// The log records the old and new PATH of each rewrite in the form its readers expect, and a "-" in
// the program's own file name after its base name starts the options there.
TEST(CommandLineTest, LogRecordAndAProgramFileNamedWithADash) {
    const ScopedPrefixRegistry prefix;
    const ScopedTempFolder temp;
    SetString(true, kSystemEnvironmentKey, "NVLROOT", temp.Path());
    SetString(true, kSystemEnvironmentKey, "PATH", kPath, REG_EXPAND_SZ);
    DeleteFileA("C:\\Temp\\Morvane\\log.txt");
    ASSERT_EQ(0u, RunKelmora("-path \"" + temp.AddFolder("New") + "\"").exitCode);
    const std::string log = LogText();
    EXPECT_EQ(0u, log.find("\r\n\r\n============ ")) << log;
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
} // namespace
