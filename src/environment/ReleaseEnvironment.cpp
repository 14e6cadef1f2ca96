#include "environment/ReleaseEnvironment.h"

#include "environment/Environment.h"
#include "environment/EnvironmentText.h"
#include "environment/PathRegroup.h"
#include "platform/Text.h"
#include "platform/Unicode.h"

#include <windows.h>

std::optional<std::string> UseProcessVariable(std::string_view name) {
    const std::optional<std::u16string> wideName = UseUtf16FromUtf8(name);
    if (!wideName || wideName->empty()) return std::nullopt;
    const auto* units = reinterpret_cast<const wchar_t*>(wideName->c_str());
    std::u16string value(GetEnvironmentVariableW(units, nullptr, 0), u'\0');
    if (value.empty()) return std::nullopt;
    value.resize(GetEnvironmentVariableW(units, reinterpret_cast<wchar_t*>(value.data()),
                                         static_cast<DWORD>(value.size())));
    return UseUtf8FromUtf16(value);
}

std::string UseExpandWithRoot(std::string_view text, const std::string& root) {
    return UseExpandReferences(text, [&root](std::string_view name) {
        return UseEqualsNoCase(name, "NVLROOT") ? std::optional<std::string>(root) : UseProcessVariable(name);
    });
}

UseReleaseVariables UseReleaseEnvironment(const std::string& catalogueRoot) {
    UseReleaseVariables variables;
    variables.root =
        UseTrimTrailingBackslashes(UseExpandReferences(UseUtf8FromAnsi(catalogueRoot), UseProcessVariable));
    const std::string system = UseRegroupPath(UseEnvReadPath(true), true);
    const std::string user = UseRegroupPath(UseEnvReadPath(false), false);
    variables.path = UseExpandWithRoot(UseJoinPaths(system, user), variables.root);
    return variables;
}
