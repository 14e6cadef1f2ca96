#pragma once
#include <string>
#include <string_view>

// The references that make a PATH entry one of the suite's, as they read in upper case.
inline constexpr std::string_view kSuiteMarkers[] = {"%NVL_INST_DIR%", "%NVLROOT%"};

// Regroups the entries of a PATH text: Windows folders (system scope only), then the suite's
// entries, then the rest; drops empty entries and exact repeats. Pure text in, text out.
std::string UseRegroupPath(const std::string& oldText, bool machineWide);
