#pragma once
// Standard output of a windowed program: what command-line mode prints reaches a pipe or file the
// caller redirected it to, or else the console the program was started from.
#include <string>

// Connects standard output to the parent's console when it goes nowhere else, and makes it
// unbuffered, so that every line is out before a dialog opens or the process is ended.
void UseConnectStandardOutput();

// Prints text and a line feed, flushed at once.
void UsePrintLine(const std::string& text);

// The code page that the console of the program reading standard output decodes it with (what cmd's
// "for /f" takes a program's output in): that of the console this program or its parent has, else the
// ANSI code page.
unsigned UseConsoleCodePage();
