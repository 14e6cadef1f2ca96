#pragma once
// The modal folder picker of the shell. While it is open, its status line shows the current
// selection's path, cut short when long.
#include <windows.h>

#include <optional>
#include <string>

class FolderBrowser {
public:
    enum class Mode { FoldersOnly, FoldersAndFiles };

    // initialFolder, when not empty, is selected as the picker opens.
    FolderBrowser(HWND owner, std::string title, Mode mode, std::string initialFolder = "");

    // Shows the picker (or asks the prompts a test installed). The chosen path, or nothing when the
    // user cancels or the chosen item has no file-system path.
    std::optional<std::string> Browse() const;

    HWND Owner() const { return owner_; }
    const std::string& Title() const { return title_; }
    Mode BrowseMode() const { return mode_; }
    const std::string& InitialFolder() const { return initialFolder_; }

private:
    std::optional<std::string> ShowShellPicker() const;

    HWND owner_;
    std::string title_;
    Mode mode_;
    std::string initialFolder_;
};

// The status line's text for path: its first 35 characters followed by "..." when it is longer.
std::string UseFolderStatusText(const std::string& path);
