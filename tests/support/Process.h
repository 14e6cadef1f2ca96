#pragma once
// Runs kelmora.exe (or another program) as a separate process, the way a script would.
#include <string>

struct ProcessResult {
    unsigned long exitCode = static_cast<unsigned long>(-1); // as it is when the program did not start
    std::string output; // everything the process wrote to standard output and standard error
    std::string dialog; // the caption of the last dialog it showed, which a user then closed
};

// The folder that holds the test executables and kelmora.exe.
std::string BuildFolder();

// Runs "<exe>" followed by a blank and arguments, with standard output redirected to a pipe, while a
// user closes every dialog it shows; kills the process when it has not ended within 30 seconds.
ProcessResult RunProgram(const std::string& exePath, const std::string& arguments);

// RunProgram on the built kelmora.exe.
ProcessResult RunKelmora(const std::string& arguments);
