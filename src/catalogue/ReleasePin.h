#pragma once
// Releases pinned per project: a text file named ".nvlrelease" in a folder names the release that the
// folder and every folder below it work with; the nearest one going up from a folder wins. What a pin
// holds is only ever a release's name, looked up among the installed releases: never a path, a command,
// or anything expanded, so a pin in a folder others can write chooses nothing but a release. Text and
// paths are UTF-8.
#include <optional>
#include <string>
#include <string_view>

inline constexpr const char* kUsePinFileName = ".nvlrelease";
// A pin holds a name and perhaps a few comments; a longer file is no pin.
inline constexpr size_t kUsePinFileLimit = 4096;

// The release name a pin's text holds: its first line that is neither blank nor a "#" comment, without
// the white space around it, a UTF-8 byte order mark at the start skipped; empty when there is none.
std::string UsePinnedName(std::string_view text);

struct UseReleasePin {
    std::string file;    // the pin file
    std::string name;    // the release it names; empty when it names none
    std::string problem; // when the file could not be read: the line that says so
};
// The pin in force for a folder: the nearest pin file in it or in a folder above it; nothing when there
// is none. A pin file that cannot be read (no access, longer than the limit, not a disk file) is the pin
// in force all the same, returned with its problem: the search never passes over it to a folder above.
std::optional<UseReleasePin> UseFindReleasePin(const std::string& folder);

// Writes name as the pin of folder, replacing the pin file there, never through a link or a second
// name of another file (UseOpenOwnFile). The line that says why it was not written; empty when it was.
std::string UseWriteReleasePin(const std::string& folder, const std::string& name);
