#include "ui/Prompts.h"

namespace {
UsePrompts* installedPrompts = nullptr;
}

UsePrompts* UseInstalledPrompts() {
    return installedPrompts;
}

UseScopedPrompts::UseScopedPrompts(UsePrompts& prompts)
    : previous_(installedPrompts), previousPresenter_(UseInstallMessagePresenter(&prompts)) {
    installedPrompts = &prompts;
}

UseScopedPrompts::~UseScopedPrompts() {
    installedPrompts = previous_;
    UseInstallMessagePresenter(previousPresenter_);
}
