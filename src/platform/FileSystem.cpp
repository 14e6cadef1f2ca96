#include "platform/FileSystem.h"

#include "platform/Unicode.h"

#include <windows.h>

#include <fstream>

bool UseFileExists(const std::string& path) {
    return UseFileStatus(path) != UseFileKind::Missing;
}

namespace {
UseFileKind KindOf(DWORD attributes) {
    if (attributes == INVALID_FILE_ATTRIBUTES) return UseFileKind::Missing;
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) ? UseFileKind::Folder : UseFileKind::File;
}
} // namespace

UseFileKind UseFileStatus(const std::string& path) {
    return KindOf(GetFileAttributesA(path.c_str()));
}

UseFileKind UseFileStatusUtf8(const std::string& path) {
    const std::optional<std::u16string> wide = UseUtf16FromUtf8(path);
    if (!wide) return UseFileKind::Missing;
    return KindOf(GetFileAttributesW(reinterpret_cast<const wchar_t*>(wide->c_str())));
}

std::string UseModulePath() {
    char buffer[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, buffer, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return {};
    return std::string(buffer, length);
}

std::string UseModuleFolder() {
    const std::string path = UseModulePath();
    const size_t slash = path.rfind('\\');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

std::string UseSystemFolder() {
    char buffer[MAX_PATH] = {};
    const UINT length = GetSystemDirectoryA(buffer, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return {};
    return std::string(buffer, length);
}

std::string UseCurrentFolder() {
    char buffer[MAX_PATH] = {};
    const DWORD length = GetCurrentDirectoryA(MAX_PATH, buffer);
    if (length == 0 || length >= MAX_PATH) return {};
    return std::string(buffer, length);
}

bool UseForEachLine(const std::string& path, const std::function<void(const std::string&)>& onLine) {
    // Binary mode keeps NUL bytes and stray CRs as they are; the CR of a CR LF pair is dropped here.
    std::ifstream file(path, std::ios::binary);
    if (!file) return false;
    std::string line;
    while (std::getline(file, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        onLine(line);
    }
    return true;
}
