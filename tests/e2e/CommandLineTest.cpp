// kelmora.exe run as a script runs it, one row per command line and registry state: the exit code,
// what it printed, whether the main dialog opened, how many environment broadcasts it sent, how many
// records it added to the real log "C:\Temp\Morvane\log.txt", and every registry entry it changed.
#include "environment/EnvironmentText.h"
#include "environment/SwitchHistory.h"
#include "platform/Text.h"
#include "platform/Unicode.h"
#include "support/Process.h"
#include "support/Sandbox.h"

#include <fstream>

namespace {
constexpr const char* kRecordKey = "SOFTWARE\\Norvale\\Morvane\\File Associations";
const std::string kSystem = std::string("HKLM\\") + kSystemEnvironmentKey + "\\";
const std::string kUser = std::string("HKCU\\") + kUserEnvironmentKey + "\\";
const std::string kRecord = std::string("HKCU\\") + kRecordKey + "\\";
const std::string kClasses = "HKCU\\SOFTWARE\\Classes\\";
// A switch's record for undoing it: the system environment's where only administrators write.
const std::pair<std::string, std::string> kSystemHistory = {"HKLM\\SOFTWARE\\Norvale\\Morvane\\", "*"},
                                          kUserHistory = {"HKCU\\SOFTWARE\\Norvale\\Morvane\\History\\", "*"};
const std::string kPath = "C:\\Tools;%SystemRoot%\\system32;%NVLROOT%\\tools\\bin;C:\\Tools;%SystemRoot%";
const std::string kRegrouped = "%SystemRoot%\\system32;%SystemRoot%;%NVLROOT%\\tools\\bin;C:\\Tools";

enum class Roots { System, User, Both, None }; // where NVLROOT is set before the run

struct Row {
    const char* name;
    Roots roots;
    std::string arguments;
    unsigned long exitCode;
    std::string output; // the first line printed, or all of it when this ends in a line feed
    std::vector<std::pair<std::string, std::string>> changes; // entry and its text after ("*": any)
    int broadcasts;
    int logRecords = 0;
    bool dialog = false;
    std::string denied = "";        // a key that refuses writes
    const char* otherType = "";     // a system variable stored as a DWORD
    std::string systemPath = kPath; // as stored, a zero character and what follows it included
    std::string program = "";       // a copy of kelmora.exe that runs instead, relative to the case's folder
    bool logHeld = false;           // another program holds the log open, sharing it for reading and writing
};

std::string FileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string LogText() {
    return FileText("C:\\Temp\\Morvane\\log.txt");
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

// What a switch of the system environment says of a release that only the user's own settings name.
std::string UserOnly(const std::string& name, const std::string& root) {
    return "The release \"" + name + "\" at " + root +
           " comes from your own settings, which any program you run can change; a switch of the system "
           "environment takes a release only from what administrators alone can write, so nothing was "
           "switched.";
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
    // What an import says of a file and of each line it left out, the file named as kelmora reads it.
    const auto ofFile = [&](const std::string& name, const std::string& what) {
        return "The association file " + UseToLower(temp.Path()) + "\\" + name + " " + what;
    };
    const auto notImported = [&](int line, const std::string& name, const std::string& why) {
        return "Line " + std::to_string(line) + " of " + UseToLower(temp.Path()) + "\\" + name +
               " was not imported: " + why + ".";
    };
    const auto executable = [](const std::string& type) {
        return "files of type ." + type + " are programs to Windows and are never associated";
    };
    const auto character = [](const std::string& extension) {
        return "the extension \"" + extension +
               "\" holds one of the characters \\ / : * ? \" < > | or a control character";
    };
    const std::string refused = "the registry refused a write to ";
    // Every type Windows runs as a program, in any letter case, and one PATHEXT adds: each said, in turn.
    std::string typeLines, typesRefused;
    int typeLine = 0;
    for (const std::string& type :
         UsePathEntries("EXE;com;Bat;cmd;pif;scr;lnk;msi;msp;ps1;vbs;vbe;js;jse;wsf;wsh;hta;"
                        "cpl;reg;url;msc;jar;application;appref-ms;gadget;"
                        "settingcontent-ms;vb;ws;wsc;scf;inf;XYZ")) {
        typeLines += type + " \"" + tool + "\"\n";
        typesRefused += notImported(++typeLine, "types.txt", executable(type)) + "\n";
    }
    typeLines += nsdLine;
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
            kSystemHistory};
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
          record(bench), kUserHistory}, 3, 1},
        {"both roots set: the system's wins", Roots::Both, toFolder("\\"), 0, "", with(system(folder), record(folder)), 3, 1},
        {"no root set: only the record", Roots::None, toFolder("\\\\"), 0, "", {record(folder + "\\\\")}, 1},
        {"a folder that does not exist", Roots::System, toFolder("\\missing"), 2,
         "The release folder \"" + folder + "\\missing\" does not exist.", {}, 1, 0, true},
        {"a release not found, then a folder", Roots::System, "-rel \"No Such\" " + toFolder(), 2,
         "The release \"no such\" can not be found.", with(system(folder), record(folder)), 3, 1, true},
        {"no options", Roots::System, "", 0, "", {}, 0, 0, true},
        {"-deploy: the system environment whatever NVLROOT says, no record", Roots::User, "-Deploy MVX 16.6", 0,
         "Release \"mvx 16.6\" is active in the system environment: NVLROOT is " + release + ".", system(release), 3, 1},
        {"-deploy: the list administrators keep for every user", Roots::None, "-deploy lab", 0,
         "Release \"lab\" is active in the system environment: NVLROOT is " + lab + ".", system(lab), 3, 1},
        {"-deploy: not from the user's own list", Roots::System, "-deploy bench build", 1,
         UserOnly("bench build", bench), {}, 1},
        {"-rel for the system environment: not from the user's own list", Roots::System, "-rel \"bench build\"", 1,
         UserOnly("bench build", bench), {}, 1},
        {"-rel for the system environment: the machine-wide list", Roots::System, "-rel lab", 0, "",
         with(system(lab), record(lab)), 3, 1},
        {"-deploy: a quote adds no option, and no dialog opens", Roots::System, "-deploy \"No Such\" -fas " + quoted, 2,
         "The release \"no such\" -fas " + UseToLower(quoted) + " can not be found.", {}, 1},
        {"-deploy: the system environment refused", Roots::System, "-deploy mvx 16.6", 1,
         "The system environment could not be written; release \"mvx 16.6\" was not made active.", {}, 1, 0, false, kSystem},
        {"-deploy: no release", Roots::System, "-deploy \"\"", 1, "Value was expected, but none was given", {}, 0},
        {"an association file, last line unended", Roots::System, "-fa " + file("a.txt", lines), 0,
         notImported(1, "a.txt", "the program \"%NVLROOT%\\missing.exe\" does not exist") + "\n", nsdStored, 1},
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
        {"user classes refused", Roots::System, "-fa " + file("b.txt", nsdLine), 1,
         notImported(1, "b.txt", refused + "HKEY_CURRENT_USER\\SOFTWARE\\Classes\\.nsd"), {nsdRecord}, 1, 0, false,
         kClasses + ".nsd\\"},
        {"open command refused", Roots::System, "-fa " + file("o.txt", nsdLine), 1,
         notImported(1, "o.txt", refused + "HKEY_CURRENT_USER\\SOFTWARE\\Classes\\nsd_auto_file_mvxnrvl\\shell\\open\\command"),
         {nsdRecord, {kClasses + ".nsd\\", "*"}}, 1, 0, false, kClasses + "nsd_auto_file_mvxnrvl\\shell\\open\\command\\"},
        {"machine record refused", Roots::System, "-fas " + file("c.txt", nsdLine), 1,
         notImported(1, "c.txt", refused + "HKEY_LOCAL_MACHINE\\" + kRecordKey + "\\nsd"), {}, 1, 0, false,
         "HKLM\\" + std::string(kRecordKey) + "\\nsd\\"},
        {"system root of another type", Roots::User, toFolder(), 0, "",
         {{kUser + "[NVLROOT]", Stored(REG_SZ, folder)}, {kUser + "[PATH]", "*"}, record(folder), kUserHistory}, 3, 1, false, "",
         "NVLROOT"},
        {"system PATH of another type", Roots::System, toFolder(), 0, "",
         {{kSystem + "[NVLROOT]", Stored(REG_SZ, folder)}, record(folder), kSystemHistory}, 2, 0, false, "", "PATH"},
        {"a byte order mark", Roots::System, "-fa " + file("bom.txt", "\xEF\xBB\xBF" + nsdLine + "\r\n"), 0, "",
         nsdRegistered, 1},
        {"a UTF-16 file: one line for all", Roots::System, "-fa " + file("utf16.txt", "\xFF\xFE" + utf16), 1,
         ofFile("utf16.txt", "is not 8-bit text: line 1 holds a zero byte.\n"), {}, 1},
        {"extensions with a backslash, with an escape shown as \"?\"", Roots::System,
         "-fa " + file("n.txt", "a\\b \"" + tool + "\"\na\x1b[2Jb \"" + tool + "\"\n"), 1,
         notImported(1, "n.txt", character("a\\b")) + "\n" + notImported(2, "n.txt", character("a?[2Jb")) + "\n", {}, 1},
        {"a line not of the form, after a comment and a blank line", Roots::System,
         "-fa " + file("f.txt", "# types\n\t\nnsd " + tool + "\n" + nsdLine), 0,
         notImported(3, "f.txt", "it is not an extension followed by a program in double quotes") + "\n", nsdRegistered, 1},
        {"a missing association file", Roots::System, "-fa \"" + temp.Path() + "\\missing.txt\"", 1,
         ofFile("missing.txt", "does not exist.\n"), {}, 1},
        {"a folder for an association file", Roots::System, "-fa \"" + temp.Path() + "\\suite\"", 1,
         ofFile("suite", "could not be read."), {}, 1},
        {"a PATH holding a zero character: read up to it", Roots::System, toFolder(), 0, "", with(system(folder),
         record(folder)), 3, 1, false, "", "", kPath + std::string(1, '\0') + "C:\\After"},
        {"the program in a folder named with its own name and a dash", Roots::System, toFolder(), 0, "",
         with(system(folder), record(folder)), 3, 1, false, "", "", kPath, "kelmora-1.2\\kelmora.exe"},
        {"a renamed copy, quoted for its blank", Roots::System, toFolder(), 0, "", with(system(folder), record(folder)),
         3, 1, false, "", "", kPath, "Old Tools\\kelmora-old.exe"},
        {"a renamed copy without options", Roots::System, "", 0, "", {}, 0, 0, true, "", "", kPath, "kelmora-old.exe"},
        {"every kind of entry regrouped, letter case ignored", Roots::System, toFolder(), 0, "",
         with(system(folder, "%windir%\\x;C:\\Program Files\\microsoft SQL;D:\\Windows Kits;C:\\Sys\\SYSTEM32;"
                             "%nvl_inst_dir%\\bin;%NVLROOT%\\bin;C:\\Tools;C:\\Tools\\"), record(folder)), 3, 1, false, "",
         "", "C:\\Tools;%windir%\\x;%nvl_inst_dir%\\bin;C:\\Program Files\\microsoft SQL;;%NVLROOT%\\bin;D:\\Windows "
         "Kits;C:\\Tools;C:\\Sys\\SYSTEM32;C:\\Tools\\;%windir%\\x"},
        {"the suite named in lower case only: regrouped", Roots::System, toFolder(), 0, "", with(system(folder,
         "%SystemRoot%;%nvl_inst_dir%\\bin;C:\\Tools"), record(folder)), 3, 1, false, "", "", "C:\\Tools;%nvl_inst_dir%\\bin;%SystemRoot%"},
        {"no suite entry: PATH left as it is", Roots::System, toFolder(), 0, "", {{kSystem + "[NVLROOT]", Stored(REG_SZ,
         folder)}, record(folder), kSystemHistory}, 2, 0, false, "", "", "C:\\Tools;%SystemRoot%;%NVLROOT"},
        {"a log another program holds open is left alone", Roots::System, toFolder(), 0, "",
         with(system(folder), record(folder)), 3, 0, false, "", "", kPath, "", true},
        {"every type Windows runs as a program, PATHEXT's too", Roots::System, "-fa " + file("types.txt", typeLines),
         1, typesRefused, nsdRegistered, 1},
        {"an open command too long", Roots::System,
         "-fa " + file("long.txt", "nsd \"" + tool + "\" " + std::string(40000, 'x') + "\n"), 1,
         notImported(1, "long.txt", "its open command is too long (32,767 characters or more once expanded)"), {}, 1},
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
        RegSetKeyValueA(HKEY_LOCAL_MACHINE, kSystemEnvironmentKey, "PATH", REG_EXPAND_SZ,
                        row.systemPath.c_str(), static_cast<DWORD>(row.systemPath.size() + 1));
        const std::string program =
            row.program.empty() ? BuildFolder() + "\\kelmora.exe" : temp.Path() + "\\" + row.program;
        if (!row.program.empty()) {
            temp.AddFolder(row.program.substr(0, row.program.rfind('\\') + 1));
            ASSERT_TRUE(CopyFileA((BuildFolder() + "\\kelmora.exe").c_str(), program.c_str(), FALSE));
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
        CreateDirectoryA("C:\\Temp\\Morvane", nullptr);
        const HANDLE held =
            row.logHeld ? CreateFileA("C:\\Temp\\Morvane\\log.txt", GENERIC_READ | GENERIC_WRITE,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, CREATE_NEW, 0, nullptr)
                        : INVALID_HANDLE_VALUE;
        const RegistrySnapshot before = TakeSnapshot();
        const BroadcastListener listener;
        const ProcessResult result = RunProgram(program, row.arguments);
        const RegistrySnapshot after = TakeSnapshot();
        EXPECT_EQ(row.exitCode, result.exitCode);
        EXPECT_EQ(row.output, row.output.ends_with('\n') ? result.output
                                                         : result.output.substr(0, result.output.find('\n')));
        EXPECT_EQ(row.dialog ? "Morvane" : "", result.dialog.substr(0, 7));
        EXPECT_EQ(row.broadcasts, listener.EnvironmentChanges());
        EXPECT_EQ(row.logRecords, Records(LogText()));
        if (held != INVALID_HANDLE_VALUE) CloseHandle(held);
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

// The log records the old and new PATH of each rewrite in the form its readers expect, and a log of
// 1 MiB starts over.
TEST(CommandLineTest, LogRecordOfARewrite) {
    const ScopedPrefixRegistry prefix;
    const ScopedTempFolder temp;
    SetString(true, kSystemEnvironmentKey, "NVLROOT", temp.Path());
    CreateDirectoryA("C:\\Temp", nullptr);
    CreateDirectoryA("C:\\Temp\\Morvane", nullptr);
    // A log one byte short of 1 MiB keeps what it holds; one of 1 MiB starts over.
    for (const size_t size : {1048575u, 1048576u}) {
        SetString(true, kSystemEnvironmentKey, "PATH", kPath, REG_EXPAND_SZ);
        std::ofstream("C:\\Temp\\Morvane\\log.txt", std::ios::binary) << std::string(size, 'x');
        ASSERT_EQ(0u, RunKelmora("-path \"" + temp.AddFolder("New") + "\"").exitCode);
        const std::string log = LogText();
        EXPECT_EQ(size < 1048576 ? size : 0u, log.find("\r\n\r\n============ ")) << log.size();
        EXPECT_TRUE(log.ends_with(" ===========\r\n\r\nOriginal SYSTEM Path: \r\n\r\n" + kPath +
                                  "\r\n\r\nUpdated SYSTEM Path: \r\n\r\n" + kRegrouped))
            << log.substr(log.size() - std::min<size_t>(log.size(), 300));
    }
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

// A value (or, without a name, a key alone) written before a run through the wide functions: data is
// UTF-16 for strings (Wide()), raw bytes otherwise.
struct Plant {
    std::string key; // "HKLM\\..." or "HKCU\\..."
    const char* name = nullptr;
    DWORD type = REG_NONE;
    std::string data = "";
};

// text (UTF-8) as the wide functions take it.
std::wstring WideText(const std::string& text) {
    const std::u16string wide = UseUtf16FromUtf8(text).value_or(std::u16string());
    return std::wstring(wide.begin(), wide.end());
}

// text (UTF-8) as a string value stores it, with its terminating zero unless told otherwise.
std::string Wide(const std::string& text, bool terminated = true) {
    const std::wstring wide = WideText(text);
    return std::string(reinterpret_cast<const char*>(wide.c_str()), (wide.size() + (terminated ? 1 : 0)) * 2);
}

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
    std::string logEnd = "";         // how the switch log ends afterwards
    std::vector<Plant> planted = {}; // written before the run, and left
    std::string denied = "";         // a key ("HKLM\\..." or "HKCU\\...") nobody may read during the run
    std::string in = "";             // the current folder of the run, within the case's folder
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
    // A program that only the current folder holds is never run for a bare name, nor one in a folder that
    // a relative PATH entry names there (the root of the current drive for ""), where the release's PATH
    // leads to two of them, the first taken.
    temp.AddFile("rogue.cmd", "@echo rogue\r\n");
    for (const std::string planted : {"bin\\tool.cmd", "%UNSET_KELMORA%\\bin\\tool.cmd", "C:\\tool.cmd"})
        temp.AddFile(planted, "@echo planted " + planted + "\r\n");
    const std::string real = temp.AddFolder("Real"),
                      relative = "bin;%UNSET_KELMORA%\\bin;\"\";" + real + ";" + real + "2";
    temp.AddFile("Real\\tool.cmd", "@echo real\r\n");
    temp.AddFile("Real2\\tool.bat", "@echo second\r\n");
    temp.AddFolder("MVX 16.6x\\tools");
    temp.AddFile("Real\\show.cmd", "@echo args=[%*]\r\n@exit /b 5\r\n");
    temp.AddFile("Bench&x^y(1)%z%\\tools\\bin\\benchtool.cmd", "@echo bench\r\n");
    CopyFileA((BuildFolder() + "\\kelmora_planted.exe").c_str(), (real + "\\args.exe").c_str(), FALSE);
    const std::string refusedBatch = "The batch file " + real +
                                     "\\show.cmd was not run: its path or an argument holds "
                                     "\" % & | < > ^ or !, which cmd would read as part of a command.\n";
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
    // A user PATH that makes the joined one (the system's expanded, ";", the user's) length characters
    // long: %TEMP%'s folder, folders of C:\windows named differently, and two of the case's own whose
    // names make up the rest.
    const auto pathOfLength = [&](size_t length) {
        const size_t system = (windows + "\\system32;" + windows + ";" + bench + "\\tools\\bin;").size(),
                     twoFolders = 2 * (temp.Path().size() + 2);
        int count = 0;
        while (system + (tempFolder + dots(count + 1)).size() + twoFolders + 120 < length)
            ++count;
        const std::string path = tempFolder + dots(count);
        const size_t rest = length - system - path.size() - twoFolders;
        return path + ";" + temp.AddFolder(std::string(rest / 2, 'p')) + ";" +
               temp.AddFolder(std::string(rest - rest / 2, 'q'));
    };
    const auto json = [&](bool mvxPinned) {
        return "[{\"active\":false,\"found\":\"detected\",\"name\":\"MVX 16.6\",\"pinned\":" +
               std::string(mvxPinned ? "true" : "false") + ",\"root\":\"" + UseReplaceAll(mvx, "\\", "\\\\") +
               "\"},{\"active\":true,\"found\":\"hand-configured\",\"name\":\"Bench\",\"pinned\":false,"
               "\"root\":\"" +
               UseReplaceAll(bench, "\\", "\\\\") + "\"}]\n";
    };
    // One more release added by hand, at the folder of "Old", as -list json shows it.
    const auto byHand = [&](const std::string& name) {
        return ",{\"active\":false,\"found\":\"hand-configured\",\"name\":\"" + name +
               "\",\"pinned\":false,\"root\":\"" + UseReplaceAll(old, "\\", "\\\\") + "\"}";
    };
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
    // History records: the machine's and the user's, a record forged in the user's key, and one that
    // planted at the last number.
    const std::string machineHistory = "HKLM\\" + std::string(kSwitchHistoryKey) + "\\",
                      userHistory = "HKCU\\" + std::string(kSwitchHistoryKey) + "\\";
    const auto forged = [&](const std::string& record, const std::string& before) {
        return std::vector<Plant>{{record + "\\Before", "PATH", REG_EXPAND_SZ, Wide(before)},
                                  {record + "\\Before", "NVLROOT", REG_SZ, Wide(old)},
                                  {record + "\\After", "PATH", REG_EXPAND_SZ, Wide(regrouped)},
                                  {record + "\\After", "NVLROOT", REG_SZ, Wide(mvx)},
                                  {record, "Time", REG_SZ, Wide("forged")},
                                  {record, "Scope", REG_SZ, Wide("System")}};
    };
    const std::string first = machineHistory + "0000000001\\Before";
    const std::string unusable =
        "The record of the switch of * holds an NVLROOT or PATH that is not a string of at most 32,767 "
        "characters; nothing was undone.\n";
    const std::string longest = "C:\\" + std::string(32764, 'x');
    // -env's PATH line at cmd's longest, 8,190 characters, and one longer.
    const std::string envStart = "set \"PATH=" + windows + "\\system32;" + windows + ";" + mvxBin + ";C:\\";
    const std::string filler(8190 - envStart.size() - 1, 'y');
    // Projects pinned to a release: a pin with a byte order mark, a comment, a blank line and two names
    // (the first counts), one nearer that pins another, one that pins a release not installed, and pins
    // at the longest a pin may be and one byte longer.
    temp.AddFile("Proj\\.nvlrelease",
                 "\xEF\xBB\xBF# the project's release\r\n\r\n  MVX 16.6 \t\r\nBench\r\n");
    temp.AddFile("Proj\\Sub\\Deeper\\.nvlrelease", "bench");
    temp.AddFile("Proj\\Sub\\Deeper\\board.nsd");
    temp.AddFile("Other\\.nvlrelease", "Gone\n");
    temp.AddFile("Longest\\.nvlrelease", "Bench\n#" + std::string(4096 - 7, '-'));
    temp.AddFile("Longer\\.nvlrelease", "Bench\n#" + std::string(4097 - 7, '-'));
    temp.AddFolder("Empty");
    temp.AddFile("Real\\showroot.cmd", "@set NVLROOT\r\n");
    const auto pinnedBy = [&](const std::string& name, const std::string& folder) {
        return "The release \"" + name + "\" is pinned by " + temp.Path() + "\\" + folder +
               "\\.nvlrelease.\n";
    };
    const std::string pinnedList = "  MVX 16.6  " + mvx + std::string(9, ' ') +
                                   "detected  pinned\n* Bench     " + bench + "  hand-configured\n";
    temp.AddFile("Old\\compnts.dat");
    const std::string userTraces = "HKCU\\SOFTWARE\\Norvale\\Norvale MVX 16.6\\16.6\\";
    const std::string unreadable = "The system environment could not be read (access denied).\n",
                      systemKey = "HKLM\\" + std::string(kSystemEnvironmentKey);
    const ScriptRow rows[] = {
        // clang-format off
        {.start = Start::System, .arguments = "-list", .output = list},
        {.arguments = "-list json", .output = json(false)},
        {.arguments = "-listjson", .output = json(false)},
        {.arguments = "-list xml", .exitCode = 1,
         .output = "The list form \"xml\" is unknown; -list prints lines, -list json a JSON array.\n"},
        {.arguments = "-lis", .exitCode = 1, .output = "Unknown parameters are used\n"},
        // The whole summary, every example in it.
        {.arguments = "-help", .output = FileText(KELMORA_TEST_DATA "/e2e/help.txt")},
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
        {.start = Start::System, .userPath = pathOfLength(2047), .arguments = "-check"},
        {.userPath = pathOfLength(2048), .arguments = "-check", .exitCode = 1,
         .output = "PATH is 2048 characters long; some programs read only the first 2,047.\n"},
        {.userPath = pathOfLength(29999), .arguments = "-check", .exitCode = 1,
         .output = "PATH is 29999 characters long; some programs read only the first 2,047.\n"},
        {.userPath = pathOfLength(30000), .arguments = "-check", .exitCode = 1,
         .output = "PATH is 30000 characters long, near the limit of 32,767.\n"},
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
        {.start = Start::Prefix, .arguments = "-undo", .exitCode = 1, .output = "There is no switch to undo.\n"},
        // A switch of the system environment is undone from the machine's history alone: a record of it
        // forged in the user's key is never read, before the real one is undone or after.
        {.start = Start::System, .arguments = "-rel \"MVX 16.6\"", .root = mvx, .path = regrouped},
        {.arguments = "-undo", .output = "The system" + back, .root = bench, .path = suiteSystem,
         .planted = forged(userHistory + "0000000009", "C:\\Users\\Public\\planted;%SystemRoot%\\system32")},
        {.arguments = "-undo", .exitCode = 1, .output = "There is no switch to undo.\n"},
        // Only a string of at most 32,767 characters with its terminating zero goes back.
        {.arguments = "-rel \"MVX 16.6\"", .root = mvx, .path = regrouped},
        {.arguments = "-undo", .exitCode = 1, .output = unusable,
         .planted = {{first, "PATH", REG_DWORD, std::string("\1\0\0\0", 4)}}},
        {.arguments = "-undo", .exitCode = 1, .output = unusable,
         .planted = {{first, "PATH", REG_EXPAND_SZ, Wide(longest + "x")}}},
        {.arguments = "-undo", .exitCode = 1, .output = unusable,
         .planted = {{first, "PATH", REG_EXPAND_SZ, Wide("C:\\x", false)}}},
        {.arguments = "-undo", .exitCode = 1, .output = unusable,
         .planted = {{first, "PATH", REG_EXPAND_SZ, Wide(longest)}, {first, "NVLROOT", REG_BINARY, "C:"}}},
        {.arguments = "-undo", .output = "The system" + back, .root = old, .path = longest,
         .logEnd = "Updated SYSTEM Path: \r\n\r\n" + longest, .planted = {{first, "NVLROOT", REG_SZ, Wide(old)}}},
        // A key planted at the last number neither jams the numbering nor stands for a switch.
        {.start = Start::System, .arguments = "-rel \"MVX 16.6\"", .root = mvx, .path = regrouped,
         .planted = {{machineHistory + "9999999999"}, {userHistory + "9999999999"}}},
        {.arguments = "-undo", .output = "The system" + back, .root = bench, .path = suiteSystem,
         .planted = {{machineHistory + "0000000005"}}}, // a key that holds no record is no switch
        {.start = Start::System, .arguments = "-rel \"MVX 16.6\"", .root = mvx, .path = regrouped,
         .planted = forged(machineHistory + "9999999999", "C:\\Planted")},
        {.arguments = "-undo", .output = "The system" + back, .root = bench, .path = suiteSystem},
        {.arguments = "-undo", .exitCode = 1, .output = "There is no switch to undo.\n"},
        // -exec searches absolute folders only, in order, and hands its command on as typed.
        {.start = Start::System, .userPath = relative, .arguments = "-exec bench tool", .output = "real\r\n"},
        {.userPath = real, .arguments = "-exec bench args.exe \xEF\xBC\x82\xCE\xA9mega\xEF\xBC\x82  x",
         .output = "\"" + real + "\\args.exe\" \xEF\xBC\x82\xCE\xA9mega\xEF\xBC\x82  x"},
        // A batch file: arguments cmd would read as commands are refused, others reach it as typed.
        {.arguments = "-exec bench show.cmd \"two words\" x", .exitCode = 5, .output = "args=[\"two words\" x]\r\n"},
        {.arguments = "-exec bench show.cmd a\"&echo X", .exitCode = 1, .output = refusedBatch},
        {.arguments = "-exec bench show.cmd %PATHEXT%", .exitCode = 1, .output = refusedBatch},
        {.arguments = "-exec bench show.cmd a&b", .exitCode = 1, .output = refusedBatch},
        {.arguments = "-exec bench show.cmd \"a|b\"", .exitCode = 1, .output = refusedBatch},
        {.arguments = "-exec bench show.cmd \"a<b\"", .exitCode = 1, .output = refusedBatch},
        {.arguments = "-exec bench show.cmd \"a>b\"", .exitCode = 1, .output = refusedBatch},
        {.arguments = "-exec bench show.cmd a^b", .exitCode = 1, .output = refusedBatch},
        {.arguments = "-exec bench show.cmd a!b", .exitCode = 1, .output = refusedBatch},
        {.arguments = "-exec bench show.cmd a\\\"b", .exitCode = 1, .output = refusedBatch},
        {.userPath = "%NVLROOT%\\tools\\bin", .arguments = "-exec bench benchtool", .exitCode = 1,
         .output = "The batch file " + bench + "\\tools\\bin\\benchtool.cmd was not run: its path or an argument "
                   "holds \" % & | < > ^ or !, which cmd would read as part of a command.\n"},
        // -env writes "?" for what the code page lacks, never a look-alike, refuses a line break (a lone
        // CR too) and a line longer than cmd reads.
        {.start = Start::System, .userPath = "%TEMP%;C:\\Kova\xC4\x8D\\bin", .arguments = "-env \"MVX 16.6\"",
         .output = "set \"NVLROOT=" + mvx + "\"\nset \"PATH=" + mvxPath + ";C:\\Kova?\\bin\"\n"},
        {.userPath = "%TEMP%;C:\\a\nb", .arguments = "-env", .exitCode = 1,
         .output = "NVLROOT or PATH holds a line break; nothing was printed.\n"},
        {.userPath = "%TEMP%;C:\\a\rb", .arguments = "-env", .exitCode = 1,
         .output = "NVLROOT or PATH holds a line break; nothing was printed.\n"},
        {.userPath = "C:\\" + filler, .arguments = "-env \"MVX 16.6\"",
         .output = "set \"NVLROOT=" + mvx + "\"\n" + envStart + filler + "\"\n"},
        {.userPath = "C:\\" + filler + "y", .arguments = "-env \"MVX 16.6\"", .exitCode = 1,
         .output = "The set line of PATH would be 8191 characters long, and cmd reads at most 8,190 of a line; "
                   "nothing was printed.\n"},
        // What cannot be read is said, never taken for nothing; every message is one line.
        {.userPath = "%TEMP%", .arguments = "-check", .exitCode = 1, .output = unreadable, .denied = systemKey},
        {.arguments = "-env", .exitCode = 1, .output = unreadable, .denied = systemKey},
        {.arguments = "-exec bench cmd /c echo x", .exitCode = 1, .output = unreadable, .denied = systemKey},
        {.arguments = "-check", .exitCode = 1, .output = "PATH of the user environment is stored as type 4, not as a string.\n",
         .planted = {{"HKCU\\Environment", "PATH", REG_DWORD, std::string("\1\0\0\0", 4)}}},
        {.userPath = "%TEMP%;C:\\a\nb\rc\x7F", .arguments = "-check", .exitCode = 1,
         .output = entry + "C:\\a<U+000A>b<U+000D>c<U+007F>\" names no existing folder.\n"},
        {.userPath = "%TEMP%;" + real + "\\tool.cmd", .arguments = "-check", .exitCode = 1,
         .output = entry + real + "\\tool.cmd\" names no existing folder.\n"},
        {.userPath = "%TEMP%;" + mvx + "x\\tools", .arguments = "-check"},
        {.userPath = "%TEMP%;" + UseToUpper(mvxBin) + "\\", .arguments = "-check", .exitCode = 1,
         .output = entry + UseToUpper(mvxBin) + "\\\" is a folder of release \"MVX 16.6\", which is not the active one.\n"},
        // In code page 437, U+25D9 and U+266A look like a line feed and a carriage return.
        {.userPath = "%TEMP%;C:\\x\xE2\x97\x99y\xE2\x99\xAAz", .arguments = temp.AddFile("cp437.cmd", "@chcp 437 >nul\r\n@" +
         BuildFolder() + "\\kelmora.exe -env \"MVX 16.6\"\r\n"), .output = "set \"NVLROOT=" + mvx + "\"\nset \"PATH=" +
         mvxPath + ";C:\\x?y?z\"\n"},
        // Options after one that reads, and after one refused.
        {.userPath = "%TEMP%", .arguments = "-list xml -env", .exitCode = 1, .output = "The list form \"xml\" is "
         "unknown; -list prints lines, -list json a JSON array.\nset \"NVLROOT=" + bench + "\"\nset \"PATH=" + benchPath + "\"\n"},
        {.arguments = "-env -list", .output = "set \"NVLROOT=" + bench + "\"\nset \"PATH=" + benchPath + "\"\n" + list},
        {.arguments = "-list -check", .output = list},
        // Pins: found going up, the nearest first, read as a name only; -pin writes the catalogue's name.
        {.start = Start::System, .userPath = real, .arguments = "-pin", .output = pinnedBy("MVX 16.6", "Proj"), .in = "Proj\\Sub"},
        {.arguments = "-env .", .output = "set \"NVLROOT=" + mvx + "\"\nset \"PATH=" + windows + "\\system32;" + windows +
         ";" + mvxBin + ";" + real + "\"\n", .in = "Proj\\Sub"},
        {.arguments = "-env .", .output = "set \"NVLROOT=" + bench + "\"\n*", .in = "Proj\\Sub\\Deeper"},
        {.arguments = "-list", .output = pinnedList, .in = "Proj\\Sub"},
        {.arguments = "-list json", .output = json(true), .in = "Proj"},
        {.arguments = "-exec . showroot", .output = "NVLROOT=" + mvx + "\r\n", .in = "Proj"},
        {.arguments = "-exec . showroot Sub\\Deeper\\board.nsd", .output = "NVLROOT=" + bench + "\r\n", .in = "Proj"},
        {.arguments = "-env .", .exitCode = 2, .output = "The release \"Gone\" pinned by " + temp.Path() +
         "\\Other\\.nvlrelease can not be found.\n", .in = "Other"},
        {.arguments = "-check", .exitCode = 1, .output = "The release \"Gone\" pinned by " + temp.Path() +
         "\\Other\\.nvlrelease can not be found.\n", .in = "Other"},
        {.arguments = "-pin", .output = pinnedBy("Bench", "Longest"), .in = "Longest"},
        {.arguments = "-pin", .exitCode = 1, .output = "The pin file " + temp.Path() + "\\Longer\\.nvlrelease could not be "
         "read: it is longer than 4,096 bytes.\n", .in = "Longer"},
        {.arguments = "-pin", .exitCode = 1, .output = "No release is pinned for " + temp.Path() + "\\Empty: there is no "
         ".nvlrelease in it or in a folder above it.\n", .in = "Empty"},
        {.arguments = "-env .", .exitCode = 1, .output = "No release is pinned for " + temp.Path() + "\\Empty: there is no "
         ".nvlrelease in it or in a folder above it.\n", .in = "Empty"},
        {.arguments = "-pin nosuch", .exitCode = 2, .output = "The release \"nosuch\" can not be found.\n", .in = "Empty"},
        {.arguments = "-pin \"mvx 16.6\"", .output = pinnedBy("MVX 16.6", "Empty"), .in = "Empty"},
        {.arguments = "-pin", .output = pinnedBy("MVX 16.6", "Empty"), .in = "Empty"},
        // A name outside ASCII in JSON; of two releases of the pinned name, the first is the pinned one.
        {.arguments = "-list json", .output = json(false).substr(0, json(false).size() - 2) + byHand("Caf\\u00e9") + "]\n",
         .planted = {{"HKCU\\SOFTWARE\\Norvale\\Morvane\\ManualConfiguration\\Caf\xC3\xA9", "Location", REG_SZ,
                      Wide(old)}}},
        {.arguments = "-list json", .output = json(true).substr(0, json(true).size() - 2) + byHand("Caf\\u00e9") +
         byHand("mvx 16.6") + "]\n", .planted = {{"HKCU\\SOFTWARE\\Norvale\\Morvane\\ManualConfiguration\\mvx 16.6",
         "Location", REG_SZ, Wide(old)}}, .in = "Proj"},
        // The system environment takes a release from what administrators alone write; what the user's own
        // installer traces and hand-configured list say counts for the user's environment alone.
        {.start = Start::System, .arguments = "-rel \"MVX 16.6\"", .root = mvx, .path = regrouped, .planted = {
         {userTraces + code}, {userTraces.substr(0, 5) + uninstall, "DisplayName", REG_SZ, Wide("Norvale MVX 16.6")},
         {userTraces.substr(0, 5) + uninstall, "InstallLocation", REG_SZ, Wide(old)}}},
        {.start = Start::User, .arguments = "-rel \"MVX 16.6\"", .root = old, .path = userRegrouped},
        {.start = Start::System, .arguments = "-rel bench", .exitCode = 1, .output = UserOnly("bench", bench) + "\n"},
        // clang-format on
    };
    bool machineWide = true;
    for (const ScriptRow& row : rows) {
        SCOPED_TRACE(std::to_string(&row - rows) + ": " + row.arguments);
        if (row.start != Start::Keep) {
            machineWide = row.start != Start::User;
            for (bool system : {false, true}) {
                RegDeleteTreeA(UseRegRoot(system), kSwitchHistoryKey);
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
        for (const Plant& plant : row.planted) {
            HKEY key = nullptr;
            ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(UseRegRoot(plant.key.starts_with("HKLM")),
                                                     WideText(plant.key.substr(5)).c_str(), 0, nullptr, 0,
                                                     KEY_ALL_ACCESS, nullptr, &key, nullptr));
            if (plant.name)
                RegSetValueExW(key, WideText(plant.name).c_str(), 0, plant.type,
                               reinterpret_cast<const BYTE*>(plant.data.data()),
                               static_cast<DWORD>(plant.data.size()));
            RegCloseKey(key);
        }
        const bool deniedMachineWide = row.denied.starts_with("HKLM");
        if (!row.denied.empty()) SetAccess(deniedMachineWide, row.denied.substr(5), kNoAccess);
        const RegistrySnapshot before = TakeSnapshot();
        SetCurrentDirectoryA((temp.Path() + "\\" + row.in).c_str());
        const ProcessResult result = row.arguments.ends_with(".cmd")
                                         ? RunProgram(windows + "\\system32\\cmd.exe", "/c " + row.arguments)
                                         : RunKelmora(row.arguments);
        const RegistrySnapshot after = TakeSnapshot();
        if (!row.denied.empty()) SetAccess(deniedMachineWide, row.denied.substr(5), KEY_ALL_ACCESS);
        EXPECT_EQ(row.exitCode, result.exitCode);
        const size_t star = row.output.find('*');
        EXPECT_TRUE(star == std::string::npos ? result.output == row.output
                                              : result.output.starts_with(row.output.substr(0, star)) &&
                                                    result.output.ends_with(row.output.substr(star + 1)))
            << result.output;

        if (row.root.empty()) {
            EXPECT_EQ(before, after);
            continue;
        }
        EXPECT_EQ(row.root, GetStored(machineWide, EnvironmentKey(machineWide), "NVLROOT").text);
        const StoredValue path = GetStored(machineWide, EnvironmentKey(machineWide), "PATH");
        EXPECT_EQ(row.path, path.text);
        EXPECT_EQ(row.typeAfter, path.type);
        EXPECT_TRUE(LogText().ends_with(row.logEnd));
    }
    SetCurrentDirectoryA(ownFolder);
    for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER})
        RegDeleteTreeA(root, uninstall.c_str());
}
} // namespace
