#include "platform/Prompts.h"

namespace {
UsePrompts* installedPrompts = nullptr;
}

UsePrompts* UseInstalledPrompts() {
    return installedPrompts;
}

UseScopedPrompts::UseScopedPrompts(UsePrompts& prompts) : previous_(installedPrompts) {
    installedPrompts = &prompts;
}

UseScopedPrompts::~UseScopedPrompts() {
    installedPrompts = previous_;
}

void UseShowMessage(HWND owner, const std::string& text, const std::string& caption) {
    if (installedPrompts != nullptr)
        installedPrompts->Present(owner, text, caption);
    else
        MessageBoxA(owner, text.c_str(), caption.c_str(), MB_ICONEXCLAMATION | MB_OK);
}
