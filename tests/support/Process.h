#pragma once
// Runs kelmora.exe (or another program) as a separate process, the way a script would.
#include <windows.h>

#include <functional>
#include <string>

struct ProcessResult {
    unsigned long exitCode = static_cast<unsigned long>(-1); // as it is when the program did not start
    std::string output; // everything the process wrote to standard output and standard error
    std::string dialog; // the caption of the last dialog it showed, which a user then closed
};

// The folder that holds the test executables and kelmora.exe.
std::string BuildFolder();

// What a user does with a dialog the program shows, once it is on screen: by default, closes it.
using DialogUser = std::function<void(HWND dialog)>;
void CloseDialog(HWND dialog);

// Runs exe (in quotes when it holds a blank) followed by a blank and arguments, both UTF-8, with standard
// output redirected to a pipe, while a user does what user says with every dialog it shows; kills the process
// when it has not ended within 30 seconds.
ProcessResult RunProgram(const std::string& exePath, const std::string& arguments,
                         const DialogUser& user = CloseDialog);

// RunProgram on the built kelmora.exe.
ProcessResult RunKelmora(const std::string& arguments);
