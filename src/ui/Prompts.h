#pragma once
// What the program asks of the user outside its own dialogs: message boxes and the folder picker.
// The program always shows the real ones; a test installs its own prompts to answer them.
#include "platform/Dialog.h"
#include "ui/FolderBrowser.h"

#include <optional>
#include <string>

class UsePrompts : public UseMessagePresenter {
public:
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
    UseMessagePresenter* previousPresenter_;
};
