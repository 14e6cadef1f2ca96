#pragma once
// Runs kelmora.exe (or a copy of it) as a separate process, the way a script would.
#include <string>
#include <vector>

struct ProcessResult {
    unsigned long exitCode = 0;
    std::string output; // everything the process wrote to standard output and standard error
    bool timedOut = false;
    std::vector<std::string> libraries; // the file names of the libraries it loaded, in lower case
};

// The folder that holds the test executables and kelmora.exe.
std::string BuildFolder();

// Runs "<exe>" followed by a blank and arguments, in workingFolder when given, with standard output
// redirected to a pipe, as its debugger (to hear of the libraries it loads); waits up to timeoutMs and
// kills the process when it has not ended by then.
ProcessResult RunProgram(const std::string& exePath, const std::string& arguments,
                         const std::string& workingFolder = "", unsigned long timeoutMs = 30000);

// RunProgram on the built kelmora.exe.
ProcessResult RunKelmora(const std::string& arguments, const std::string& workingFolder = "");
