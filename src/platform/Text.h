#pragma once
// Text operations on 8-bit strings. Letter case is folded for ASCII letters only, so that the
// result never depends on the user's code page or locale.
#include <string>
#include <string_view>

std::string UseToLower(std::string_view text);
std::string UseToUpper(std::string_view text);
bool UseEqualsNoCase(std::string_view a, std::string_view b);

// Removes leading and trailing space characters (code 32 only).
std::string UseTrimBlanks(std::string_view text);
// Removes leading and trailing white space (blank, tab, CR, LF, VT, FF).
std::string UseTrimWhite(std::string_view text);
// Removes every trailing backslash.
std::string UseTrimTrailingBackslashes(std::string_view text);

std::string UseReplaceAll(std::string_view text, std::string_view from, std::string_view to);
