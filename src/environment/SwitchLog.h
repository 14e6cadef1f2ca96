#pragma once
#include <ctime>
#include <string>

// Appends a record of the old and new PATH to C:\Temp\Morvane\log.txt. Failures are silent.
void UseWriteSwitchLog(const std::string& oldPath, const std::string& newPath, bool machineWide);

// The local time as "%A, %B %d, %Y, %I:%M:%S %p".
std::string UseFormatNow();

// The same pattern for a given time, with English day and month names whatever the user's locale.
std::string UseFormatLogTime(const std::tm& time);

// One record as the log holds it, with "\n" line breaks (stored as CR LF): an empty line, the header
// with the time, then the original and the updated PATH, each under its own title line.
std::string UseSwitchLogRecord(const std::string& time, const std::string& oldPath,
                               const std::string& newPath, bool machineWide);
