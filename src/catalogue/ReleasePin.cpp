#include "catalogue/ReleasePin.h"

#include "platform/FileSystem.h"
#include "platform/Text.h"

#include <algorithm>
#include <vector>

namespace {
// The folder and the folders above it, nearest first, down to its drive's root or its share.
std::vector<std::string> FolderAndParents(std::string folder) {
    folder = UseTrimTrailingBackslashes(folder);
    const size_t shareEnd = folder.starts_with("\\\\") ? folder.find('\\', folder.find('\\', 2) + 1) : 0;
    std::vector<std::string> folders{folder};
    for (size_t cut; (cut = folder.rfind('\\')) != std::string::npos && cut > 0 &&
                     (shareEnd == 0 || (shareEnd != std::string::npos && cut >= shareEnd));) {
        folder.resize(cut);
        folders.push_back(folder);
    }
    return folders;
}

std::string PinFile(const std::string& folder) {
    return UseTrimTrailingBackslashes(folder) + "\\" + kUsePinFileName;
}
} // namespace

std::string UsePinnedName(std::string_view text) {
    constexpr std::string_view kBom = "\xEF\xBB\xBF";
    if (text.starts_with(kBom)) text.remove_prefix(kBom.size());
    for (size_t start = 0; start <= text.size();) {
        const size_t end = std::min(text.find('\n', start), text.size());
        const std::string line = UseTrimWhite(text.substr(start, end - start));
        if (!line.empty() && !line.starts_with('#')) return line;
        start = end + 1;
    }
    return {};
}

std::optional<UseReleasePin> UseFindReleasePin(const std::string& folder) {
    for (const std::string& candidate : FolderAndParents(folder)) {
        const std::string file = PinFile(candidate);
        std::string text, problem;
        switch (UseReadSmallFile(file, kUsePinFileLimit, text, problem)) {
        case UseSmallFileRead::Missing:
            continue;
        case UseSmallFileRead::Problem:
            return UseReleasePin{file, {}, "The pin file " + file + " could not be read: " + problem + "."};
        case UseSmallFileRead::Read:
            return UseReleasePin{file, UsePinnedName(text), {}};
        }
    }
    return std::nullopt;
}

std::string UseWriteReleasePin(const std::string& folder, const std::string& name) {
    const std::string file = PinFile(folder);
    const std::string refusal = "The pin file " + file + " was not written: ";
    UseOwnFile opened = UseOwnFile::Unavailable;
    const UseFileHandle handle = UseOpenOwnFile(file, PinFile(UseFinalFolderPath(folder)), opened);
    if (opened == UseOwnFile::Link) return refusal + "it is a link to another file.";
    if (opened == UseOwnFile::HardLink) return refusal + "the file has another name as well (a hard link).";
    const std::string text = name + "\r\n";
    DWORD written = 0;
    if (!handle || !SetEndOfFile(handle.Get()) ||
        !WriteFile(handle.Get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) ||
        written != text.size())
        return refusal + "it could not be opened for writing.";
    return {};
}
