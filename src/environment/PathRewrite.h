#pragma once
#include <string>

// Rewrites the scope's PATH when it holds suite entries and its regrouped form differs, then logs
// the change. True when PATH was written and logged.
bool UseRewritePath(bool machineWide);
