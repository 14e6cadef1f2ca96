#pragma once
#include <ctime>
#include <string>

// Appends a record of the old and new PATH to C:\Temp\Morvane\log.txt, provided the folder is a
// folder and the file the file at that very place, not a link to another (an elevated program writing
// through a link that a user planted in C:\Temp would write wherever the user chose). Returns the line
// that says why the log was not written when that was the reason; empty otherwise. A missing
// C:\Temp or a log held open by another program leave the log unwritten without a word.
std::string UseWriteSwitchLog(const std::string& oldPath, const std::string& newPath, bool machineWide);

// The local time as "%A, %B %d, %Y, %I:%M:%S %p".
std::string UseFormatNow();

// The same pattern for a given time, with English day and month names whatever the user's locale.
std::string UseFormatLogTime(const std::tm& time);

// One record as the log holds it, with "\n" line breaks (stored as CR LF): an empty line, the header
// with the time, then the original and the updated PATH, each under its own title line.
std::string UseSwitchLogRecord(const std::string& time, const std::string& oldPath,
                               const std::string& newPath, bool machineWide);
