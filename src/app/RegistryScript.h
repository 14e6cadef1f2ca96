#pragma once
// "-reg": a registry script imported silently by the platform's registry editor.
#include <cstddef>
#include <string>

// The longest script path the command takes ("regedit /s ", two quotes and the terminating zero
// fill the rest of the 1024 bytes that the command has always been limited to).
inline constexpr std::size_t kUseRegistryScriptPathLimit = 1010;

// The registry editor's command line that imports file, or the line that says why it is refused;
// exactly one of the two is non-empty.
struct UseRegistryScriptCommand {
    std::string command;
    std::string refusal;
};
UseRegistryScriptCommand UseComposeRegistryScriptCommand(const std::string& file);
