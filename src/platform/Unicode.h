#pragma once
// Conversions between UTF-16, UTF-8 and the ANSI code page. The program's strings are 8-bit; values
// that must survive whatever characters they hold (PATH) travel as UTF-8 between the wide registry
// functions and the text code, whose separators and markers are all ASCII.
#include <optional>
#include <string>
#include <string_view>

// Nothing when the text is not valid UTF-16 (an unpaired surrogate), so a caller never works on a
// replacement character in place of the original.
std::optional<std::string> UseUtf8FromWide(std::wstring_view text);
// Nothing when the text is not valid UTF-8.
std::optional<std::wstring> UseWideFromUtf8(std::string_view text);
// For display through the 8-bit window functions: characters outside the code page become "?".
std::string UseAnsiFromUtf8(std::string_view text);
