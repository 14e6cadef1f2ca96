#pragma once
#include <string>

// Regroups the entries of a PATH text: Windows folders (system scope only), then the suite's
// entries, then the rest; drops empty entries and exact repeats. Pure text in, text out.
std::string UseRegroupPath(const std::string& oldText, bool machineWide);

// Rewrites the scope's PATH when it holds suite entries and its regrouped form differs, then logs
// the change. True when PATH was written and logged.
bool UseRewritePath(bool machineWide);
