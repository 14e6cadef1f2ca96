#pragma once
// Starting another program and waiting for it.
#include <optional>
#include <string>
#include <utility>
#include <vector>

// Starts the program at the full path program with the command line given, in this process's
// environment with the variables given set (replacing those of the same name), and with this
// process's standard handles; waits for it to end. Its exit code, or nothing when it could not be
// started. Text is UTF-8. A batch file (.bat, .cmd) runs as Windows runs one, in the command
// interpreter, here the system folder's cmd.exe without its AutoRun commands, given the command line
// whole: the caller makes sure that cmd can read it as nothing but the batch file and its arguments.
std::optional<unsigned long> UseRunAndWait(const std::string& program, const std::string& commandLine,
                                           const std::vector<std::pair<std::string, std::string>>& variables);
