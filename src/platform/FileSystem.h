#pragma once
// File probes and text files, over kernel32 and the C++ runtime.
#include <functional>
#include <string>

// True when the path exists as a file or a folder.
bool UseFileExists(const std::string& path);

enum class UseFileKind { Missing, File, Folder };
// The platform's file-status query: what the path names, if anything.
UseFileKind UseFileStatus(const std::string& path);
// The same for a path in UTF-8, whatever characters it holds.
UseFileKind UseFileStatusUtf8(const std::string& path);

// The running program's full path (at most MAX_PATH bytes); empty when it cannot be obtained.
std::string UseModulePath();
// The running program's folder: its full path up to (not including) the last backslash.
std::string UseModuleFolder();
// The system folder (C:\Windows\System32); empty when it cannot be obtained.
std::string UseSystemFolder();
// The process's current folder (read into a MAX_PATH buffer).
std::string UseCurrentFolder();

// Opens path as a text file and hands every line, its line break removed (a CR before the LF
// included), to onLine in file order. Lines may be of any length. False when the file does not open.
bool UseForEachLine(const std::string& path, const std::function<void(const std::string&)>& onLine);
