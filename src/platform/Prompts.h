#pragma once
// What the program asks of the user outside its own dialogs: message boxes and the folder picker.
// The program always shows the real ones; a test installs prompts of its own to answer them.
#include <windows.h>

#include <optional>
#include <string>

class FolderBrowser;

class UsePrompts {
public:
    virtual ~UsePrompts() = default;
    virtual void Present(HWND owner, const std::string& text, const std::string& caption) = 0;
    virtual std::optional<std::string> PickFolder(const FolderBrowser& request) = 0;
};

// The installed prompts, or nullptr when the real ones are shown.
UsePrompts* UseInstalledPrompts();

// Installs prompts for its own lifetime, then puts back whatever was there before.
class UseScopedPrompts {
public:
    explicit UseScopedPrompts(UsePrompts& prompts);
    ~UseScopedPrompts();
    UseScopedPrompts(const UseScopedPrompts&) = delete;
    UseScopedPrompts& operator=(const UseScopedPrompts&) = delete;

private:
    UsePrompts* previous_;
};

// A message box: owner, caption, the exclamation icon and one OK button.
void UseShowMessage(HWND owner, const std::string& text, const std::string& caption);
