#pragma once
// For tests only: the program itself always logs to C:\Temp\Morvane.
#include <string>

// Makes UseWriteSwitchLog use folder (created one level deep when missing) and folder\log.txt instead
// of the fixed place; an empty folder restores the fixed place.
void UseRedirectSwitchLogForTests(const std::string& folder);
