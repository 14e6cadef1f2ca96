#pragma once
// Text operations on 8-bit strings. Letter case is folded for ASCII letters only, so that the
// result never depends on the user's code page or locale.
#include <string>
#include <string_view>
#include <vector>

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

// Text for one line of output: every control character (codes 0 to 31, 127, and in UTF-8 text the C1
// controls U+0080 to U+009F) written as "<U+000A>", a form no file name can take, so that whatever a
// value holds never breaks the line or starts another.
std::string UseEscapeControls(std::string_view text);

// The arguments of a command line as a started program's C runtime reads them (and Windows'
// CommandLineToArgvW): blanks and tabs part them outside double quotes; 2n backslashes before a quote
// stand for n and the quote opens or closes, 2n+1 stand for n and a quote of the text; "" within
// quotes is a quote of the text.
std::vector<std::string> UseSplitArguments(std::string_view text);
