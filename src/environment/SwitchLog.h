#pragma once
#include <string>

// Appends a record of the old and new PATH to C:\Temp\Morvane\log.txt. Failures are silent.
void UseWriteSwitchLog(const std::string& oldPath, const std::string& newPath, bool machineWide);

// The local time as "%A, %B %d, %Y, %I:%M:%S %p".
std::string UseFormatNow();
