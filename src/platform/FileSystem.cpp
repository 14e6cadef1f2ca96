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

namespace {
std::wstring WidePath(const std::string& path) {
    const std::u16string wide = UseUtf16FromUtf8(path).value_or(std::u16string());
    return std::wstring(wide.begin(), wide.end());
}

// The final path of what a handle opened, without the "\\\\?\\" that the file system puts before it.
std::wstring FinalPath(HANDLE handle) {
    std::wstring path(MAX_PATH, L'\0');
    DWORD length = GetFinalPathNameByHandleW(handle, path.data(), static_cast<DWORD>(path.size()), 0);
    if (length >= path.size()) {
        path.assign(length, L'\0');
        length = GetFinalPathNameByHandleW(handle, path.data(), static_cast<DWORD>(path.size()), 0);
    }
    path.resize(length < path.size() ? length : 0);
    if (path.starts_with(L"\\\\?\\UNC\\")) return L"\\" + path.substr(7);
    return path.starts_with(L"\\\\?\\") ? path.substr(4) : path;
}
} // namespace

std::string UseFinalFolderPath(const std::string& folder) {
    const UseFileHandle handle(CreateFileW(WidePath(folder).c_str(), FILE_READ_ATTRIBUTES,
                                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                           OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!handle) return {};
    const std::wstring path = FinalPath(handle.Get());
    return UseUtf8FromUtf16(std::u16string(path.begin(), path.end()));
}

UseFileHandle UseOpenOwnFile(const std::string& path, const std::string& finalPath, UseOwnFile& result) {
    constexpr DWORD kAccess = GENERIC_WRITE | FILE_READ_ATTRIBUTES;
    const std::wstring wide = WidePath(path);
    // Not shared: a file held open elsewhere is left alone rather than written in turns.
    UseFileHandle file(
        CreateFileW(wide.c_str(), kAccess, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file && GetLastError() == ERROR_FILE_NOT_FOUND)
        file = UseFileHandle(
            CreateFileW(wide.c_str(), kAccess, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    result = UseOwnFile::Unavailable;
    if (!file) return file;
    const std::wstring expected = WidePath(finalPath), opened = FinalPath(file.Get());
    BY_HANDLE_FILE_INFORMATION information{};
    if (CompareStringOrdinal(opened.c_str(), static_cast<int>(opened.size()), expected.c_str(),
                             static_cast<int>(expected.size()), TRUE) != CSTR_EQUAL)
        result = UseOwnFile::Link;
    else if (!GetFileInformationByHandle(file.Get(), &information) || information.nNumberOfLinks != 1)
        result = UseOwnFile::HardLink;
    else
        result = UseOwnFile::Opened;
    return result == UseOwnFile::Opened ? std::move(file) : UseFileHandle();
}

namespace {
std::string Describe(DWORD error) {
    switch (error) {
    case ERROR_ACCESS_DENIED:
        return "access denied";
    case ERROR_SHARING_VIOLATION:
        return "another program holds it open";
    default:
        return "error " + std::to_string(error);
    }
}

std::string WithThousands(size_t number) {
    std::string digits = std::to_string(number);
    for (size_t at = digits.size(); at > 3; at -= 3)
        digits.insert(at - 3, ",");
    return digits;
}
} // namespace

UseSmallFileRead UseReadSmallFile(const std::string& path, size_t limit, std::string& text,
                                  std::string& problem) {
    const std::wstring wide = WidePath(path);
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return UseSmallFileRead::Missing;
        problem = Describe(error);
        return UseSmallFileRead::Problem;
    }
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) return UseSmallFileRead::Missing;
    const UseFileHandle file(CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                         nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    if (!file)
        problem = Describe(GetLastError());
    else if (GetFileType(file.Get()) != FILE_TYPE_DISK)
        problem = "it is not a file on disk";
    else if (!GetFileSizeEx(file.Get(), &size) || static_cast<unsigned long long>(size.QuadPart) > limit)
        problem = "it is longer than " + WithThousands(limit) + " bytes";
    if (!problem.empty()) return UseSmallFileRead::Problem;
    text.assign(static_cast<size_t>(size.QuadPart), '\0');
    DWORD read = 0;
    if (!ReadFile(file.Get(), text.data(), static_cast<DWORD>(text.size()), &read, nullptr)) {
        problem = Describe(GetLastError());
        return UseSmallFileRead::Problem;
    }
    text.resize(read);
    return UseSmallFileRead::Read;
}

std::string UseCurrentFolderUtf8() {
    std::u16string folder(GetCurrentDirectoryW(0, nullptr), u'\0');
    if (folder.empty()) return {};
    folder.resize(
        GetCurrentDirectoryW(static_cast<DWORD>(folder.size()), reinterpret_cast<wchar_t*>(folder.data())));
    return UseUtf8FromUtf16(folder);
}

std::string UseFullPathUtf8(const std::string& path) {
    const std::wstring wide = WidePath(path);
    std::wstring full(GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr), L'\0');
    if (full.empty()) return path;
    full.resize(GetFullPathNameW(wide.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr));
    return UseUtf8FromUtf16(std::u16string(full.begin(), full.end()));
}
