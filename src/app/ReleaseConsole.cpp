// A release's environment for one console or one program, nothing written: "-env" prints it for cmd,
// "-exec" starts a program with it.
#include "app/Options.h"
#include "app/StandardOutput.h"
#include "environment/Environment.h"
#include "environment/EnvironmentText.h"
#include "environment/ReleaseEnvironment.h"
#include "platform/ChildProcess.h"
#include "platform/FileSystem.h"
#include "platform/Text.h"
#include "platform/Unicode.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace {
// The longest line that cmd's "for /f" reads: it drops a longer one whole (Windows documents 8,191
// characters for a command line, its end included; Wine's cmd drops a line of 8,191).
constexpr size_t kLongestCmdLine = 8190;
// What cmd reads in a batch file's command line as more than text: quotes, variables (with "!" under
// delayed expansion), and the characters that join, pipe and redirect commands.
constexpr std::string_view kCmdSpecials = "\"%&|<>^!";

// The full path of the program a command names: a name holding a folder as given, else the first
// file of that name in the folders of path, in their order; each tried as written when it has an
// extension, then with every extension of PATHEXT. Only folders that are absolute once expanded are
// searched: "bin", "%UNSET%\bin" or "" would be looked for in the current folder, where a planted file
// would stand in for the release's program. Empty when there is none.
std::string FindProgram(const std::string& program, const std::string& path) {
    std::vector<std::string> bases;
    if (program.find_first_of("\\/:") != std::string::npos)
        bases.push_back(program);
    else
        for (const std::string& entry : UsePathEntries(path))
            if (const std::string folder = UseTrimQuotes(entry); UseIsAbsoluteFolder(folder))
                bases.push_back(UseTrimTrailingBackslashes(folder) + "\\" + program);
    const std::string extensions = UseProcessVariable("PATHEXT").value_or(".COM;.EXE;.BAT;.CMD");
    const bool hasExtension = program.find('.', program.find_last_of("\\/:") + 1) != std::string::npos;
    for (const std::string& base : bases) {
        if (hasExtension && UseFileStatusUtf8(base) == UseFileKind::File) return base;
        for (const std::string& extension : UsePathEntries(extensions))
            if (UseFileStatusUtf8(base + extension) == UseFileKind::File) return base + extension;
    }
    return {};
}

// False, after printing why, when either environment cannot be read: an empty PATH taken for it
// would print, or run with, the wrong one.
bool EnvironmentsReadable(UseCommandLineRun& run) {
    for (bool machineWide : {true, false})
        if (const std::string refusal = UseEnvUnreadable(machineWide); !refusal.empty()) {
            UsePrintLine(refusal);
            run.refused = true;
            return false;
        }
    return true;
}

// The root of the release named, of the one pinned for the current folder when the name is ".", or of
// the active one when no name is given.
std::string ReleaseRoot(const std::string& name, UseCommandLineRun& run) {
    if (name == ".") return UseFindPinnedRelease(UseCurrentFolderUtf8(), run).root;
    if (!name.empty()) return UseFindReleaseRoot(name, run);
    const std::string root = UseEnvReadActiveRoot();
    if (root.empty()) {
        UsePrintLine("No release is active: NVLROOT is set in neither environment.");
        run.refused = true;
    }
    return root;
}

// Where the pin of "-exec ." is looked for: the folder of the file the command's first argument names,
// when it names one (the project the command works on), else the current folder.
std::string PinnedFolderOf(const std::vector<std::string>& arguments) {
    if (!arguments.empty() && UseFileStatusUtf8(arguments.front()) == UseFileKind::File) {
        const std::string file = UseFullPathUtf8(arguments.front());
        if (const size_t slash = file.find_last_of("\\/"); slash != std::string::npos)
            return file.substr(0, slash);
    }
    return UseCurrentFolderUtf8();
}

// The number of characters a line holds, as cmd counts them.
size_t CharacterCount(const std::string& line) {
    return UseUtf16FromUtf8(line).value_or(std::u16string()).size();
}
} // namespace

void UsePrintReleaseEnvironment(const std::string& name, UseCommandLineRun& run) {
    if (!EnvironmentsReadable(run)) return;
    const std::string root = ReleaseRoot(name, run);
    if (root.empty()) return;
    const UseReleaseVariables variables = UseReleaseEnvironment(root);
    // As the reading console's code page writes them: a character it lacks is "?", never a look-alike,
    // and a line break is looked for in what is written, where a character that turned into one would
    // end the set line early and start another of its own. Within the quotes of a set command,
    // & | ^ ( ) < > are text; "for /f" takes a % as text too.
    const unsigned codePage = UseConsoleCodePage();
    std::vector<std::string> written;
    for (const auto& [variable, value] : {std::pair{"NVLROOT", variables.root}, {"PATH", variables.path}}) {
        const std::string line = "set \"" + std::string(variable) + "=" + value + "\"";
        written.push_back(UseCodePageFromUtf8(line, codePage));
        if (written.back().find_first_of("\r\n") != std::string::npos) {
            UsePrintLine("NVLROOT or PATH holds a line break; nothing was printed.");
            run.refused = true;
            return;
        }
        if (const size_t length = CharacterCount(line); length > kLongestCmdLine) {
            UsePrintLine("The set line of " + std::string(variable) + " would be " + std::to_string(length) +
                         " characters long, and cmd reads at most 8,190 of a line; nothing was printed.");
            run.refused = true;
            return;
        }
    }
    for (const std::string& line : written)
        UsePrintLine(line);
}

void UseRunWithRelease(const std::string& name, UseCommandLineRun& run) {
    if (!EnvironmentsReadable(run)) return;
    // The command as typed, read wide: passed on with every character it holds.
    const std::string& command = run.command;
    const std::string word = UseNextWord(command, true), program = UseTrimQuotes(word);
    const std::string arguments = UseTrimBlanks(command).substr(word.size());
    const std::vector<std::string> split = UseSplitArguments(arguments);
    const std::string root = name == "." ? UseFindPinnedRelease(PinnedFolderOf(split), run).root
                                         : UseFindReleaseRoot(name, run);
    if (root.empty()) return;
    const UseReleaseVariables variables = UseReleaseEnvironment(root);
    const std::string found = FindProgram(program, variables.path);
    if (found.empty()) {
        UsePrintLine(UseAnsiFromUtf8(UseEscapeControls("The program \"" + program +
                                                       "\" is in no folder of the PATH of release \"" +
                                                       UseUtf8FromAnsi(name) + "\".")));
        run.refused = true;
        return;
    }
    const std::string lower = UseToLower(found);
    if ((lower.ends_with(".bat") || lower.ends_with(".cmd")) &&
        (found.find_first_of("%!") != std::string::npos ||
         std::ranges::any_of(split, [](const std::string& argument) {
             return argument.find_first_of(kCmdSpecials) != std::string::npos;
         }))) {
        UsePrintLine(UseAnsiFromUtf8("The batch file " + found +
                                     " was not run: its path or an argument holds " +
                                     "\" % & | < > ^ or !, which cmd would read as part of a command."));
        run.refused = true;
        return;
    }
    run.commandExitCode = UseRunAndWait(found, "\"" + found + "\"" + arguments,
                                        {{"NVLROOT", variables.root}, {"PATH", variables.path}});
    if (!run.commandExitCode) {
        UsePrintLine("The program " + UseAnsiFromUtf8(found) + " could not be started.");
        run.refused = true;
    }
}
