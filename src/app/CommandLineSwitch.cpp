#include "app/Options.h"

// Placeholder until the command-line switch lands.
void UseSwitchToRelease(const std::string&, UseCommandLineRun&) {}
void UseSwitchToPath(const std::string&, UseCommandLineRun&) {}
