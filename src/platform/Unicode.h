#pragma once
// Conversions between UTF-16, UTF-8 and the ANSI code page. The program's strings are 8-bit; values
// that must survive whatever characters they hold (PATH) travel as UTF-8 between the wide registry
// functions and the text code, whose separators and markers are all ASCII.
#include <optional>
#include <string>
#include <string_view>

// UTF-16 to UTF-8. A surrogate without its pair, which no character is made of but which a value
// may still hold, becomes the three bytes UTF-8 would give its code (the form known as WTF-8), so
// that a value read in comes back out unit for unit.
std::string UseUtf8FromUtf16(std::u16string_view text);
// UTF-8, with surrogates in the form above, to UTF-16; nothing for any other byte sequence.
std::optional<std::u16string> UseUtf16FromUtf8(std::string_view text);
// For display through the 8-bit window functions: characters outside the code page become "?", never
// a look-alike character of the code page.
std::string UseAnsiFromUtf8(std::string_view text);
// The same for any code page.
std::string UseCodePageFromUtf8(std::string_view text, unsigned codePage);
// 8-bit text of the ANSI code page, as the registry's and the command line's 8-bit functions give it.
std::string UseUtf8FromAnsi(std::string_view text);

// The process command line as UTF-8, read through the wide function: every character as typed, where
// the 8-bit one would give a look-alike (a fullwidth quote as a real one) or "?".
std::string UseProcessCommandLine();
