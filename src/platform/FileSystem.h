#pragma once
// File probes and text files, over kernel32 and the C++ runtime.
#include <windows.h>

#include <functional>
#include <string>
#include <utility>

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

// One open file, closed when the object goes away.
class UseFileHandle {
public:
    explicit UseFileHandle(HANDLE handle = INVALID_HANDLE_VALUE) noexcept : handle_(handle) {}
    UseFileHandle(UseFileHandle&& other) noexcept : handle_(other.handle_) {
        other.handle_ = INVALID_HANDLE_VALUE;
    }
    UseFileHandle(const UseFileHandle&) = delete;
    UseFileHandle& operator=(const UseFileHandle&) = delete;
    UseFileHandle& operator=(UseFileHandle&& other) noexcept {
        std::swap(handle_, other.handle_);
        return *this;
    }
    ~UseFileHandle() {
        if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
    }
    HANDLE Get() const noexcept { return handle_; }
    explicit operator bool() const noexcept { return handle_ != INVALID_HANDLE_VALUE; }

private:
    HANDLE handle_;
};

// The final path of an existing folder (UTF-8), every link and substituted or mapped drive on the way
// followed, as the file system names it (C:\Folder, \\server\share\Folder). Empty when the folder
// cannot be opened.
std::string UseFinalFolderPath(const std::string& folder);

// What stands at a path that is to be written: the file itself, or something a writer there would
// write through to another file.
enum class UseOwnFile {
    Opened,      // the file, which no other name leads to
    Unavailable, // missing folder, no access, held open by another program
    Link,        // a link (or a link on the way) to a file at another place
    HardLink,    // the file has another name as well, someone else's file perhaps
};
// Opens path (UTF-8) once, for writing (and reading its attributes), not shared, creating the file only
// where no name stands at all (a link that points nowhere included). Every check is made through that
// one opening, so the file checked is the file written: its final path must be finalPath (letter case
// ignored), and it must have no other name. The handle is open only when the result is Opened.
UseFileHandle UseOpenOwnFile(const std::string& path, const std::string& finalPath, UseOwnFile& result);

// Reads a whole file of at most limit bytes (path in UTF-8) into text. Missing when nothing or a folder
// stands at path; Problem, with problem saying why ("access denied", "it is longer than 4,096 bytes",
// "it is not a file on disk", "error N"), when something stands there that cannot be read: never taken
// for nothing.
enum class UseSmallFileRead { Read, Missing, Problem };
UseSmallFileRead UseReadSmallFile(const std::string& path, size_t limit, std::string& text,
                                  std::string& problem);
// The process's current folder in UTF-8, whatever characters it holds; empty when it cannot be read.
std::string UseCurrentFolderUtf8();
// The full path of a path (UTF-8) relative to the current folder; the path itself when it has none.
std::string UseFullPathUtf8(const std::string& path);
