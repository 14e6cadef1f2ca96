#pragma once
// The release list entry, name + "(" + root + ")", taken apart again.
#include <string>

// Splits entry into the name and the root inside the parenthesis pair that ends it; names and roots
// may hold parentheses of their own. False when entry has no closing parenthesis.
bool UseSplitReleaseEntry(const std::string& entry, std::string& name, std::string& root);
