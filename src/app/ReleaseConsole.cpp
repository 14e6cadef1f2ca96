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

#include <vector>

namespace {
// The full path of the program a command names: a name holding a folder as given, else the first
// file of that name in the folders of path, in their order; each tried as written when it has an
// extension, then with every extension of PATHEXT. Never the current folder for a bare name, so a
// file planted there is never run in place of the release's program. Empty when there is none.
std::string FindProgram(const std::string& program, const std::string& path) {
    std::vector<std::string> bases;
    if (program.find_first_of("\\/:") != std::string::npos)
        bases.push_back(program);
    else
        for (const std::string& folder : UsePathEntries(path))
            bases.push_back(UseTrimTrailingBackslashes(UseTrimQuotes(folder)) + "\\" + program);
    const std::string extensions = UseProcessVariable("PATHEXT").value_or(".COM;.EXE;.BAT;.CMD");
    const bool hasExtension = program.find('.', program.find_last_of("\\/:") + 1) != std::string::npos;
    for (const std::string& base : bases) {
        if (hasExtension && UseFileStatusUtf8(base) == UseFileKind::File) return base;
        for (const std::string& extension : UsePathEntries(extensions))
            if (UseFileStatusUtf8(base + extension) == UseFileKind::File) return base + extension;
    }
    return {};
}

// The root of the release named, or of the active one when no name is given.
std::string ReleaseRoot(const std::string& name, UseCommandLineRun& run) {
    if (!name.empty()) return UseFindReleaseRoot(name, run);
    const std::string root = UseEnvReadActiveRoot();
    if (root.empty()) {
        UsePrintLine("No release is active: NVLROOT is set in neither environment.");
        run.refused = true;
    }
    return root;
}
} // namespace

void UsePrintReleaseEnvironment(const std::string& name, UseCommandLineRun& run) {
    const std::string root = ReleaseRoot(name, run);
    if (root.empty()) return;
    const UseReleaseVariables variables = UseReleaseEnvironment(root);
    // A line break would end the set line early and start another of its own.
    if ((variables.root + variables.path).find_first_of("\r\n") != std::string::npos) {
        UsePrintLine("NVLROOT or PATH holds a line break; nothing was printed.");
        run.refused = true;
        return;
    }
    // Within the quotes of a set command, & | ^ ( ) < > are text; "for /f" takes a % as text too.
    const unsigned codePage = UseConsoleCodePage();
    UsePrintLine(UseCodePageFromUtf8("set \"NVLROOT=" + variables.root + "\"", codePage));
    UsePrintLine(UseCodePageFromUtf8("set \"PATH=" + variables.path + "\"", codePage));
}

void UseRunWithRelease(const std::string& name, UseCommandLineRun& run) {
    const std::string root = UseFindReleaseRoot(name, run);
    if (root.empty()) return;
    const UseReleaseVariables variables = UseReleaseEnvironment(root);
    const std::string command = UseUtf8FromAnsi(run.command);
    const std::string word = UseNextWord(command, true), program = UseTrimQuotes(word);
    const std::string found = FindProgram(program, variables.path);
    if (found.empty()) {
        UsePrintLine("The program \"" + UseAnsiFromUtf8(program) +
                     "\" is in no folder of the PATH of release \"" + name + "\".");
        run.refused = true;
        return;
    }
    run.commandExitCode =
        UseRunAndWait(found, "\"" + found + "\"" + UseTrimBlanks(command).substr(word.size()),
                      {{"NVLROOT", variables.root}, {"PATH", variables.path}});
    if (!run.commandExitCode) {
        UsePrintLine("The program " + UseAnsiFromUtf8(found) + " could not be started.");
        run.refused = true;
    }
}
