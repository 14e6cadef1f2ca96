#include "platform/Unicode.h"

#include <windows.h>

std::optional<std::string> UseUtf8FromWide(std::wstring_view text) {
    if (text.empty()) return std::string();
    const int length = static_cast<int>(text.size());
    const int size =
        WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, text.data(), length, nullptr, 0, nullptr, nullptr);
    if (size <= 0) return std::nullopt;
    std::string result(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, text.data(), length, result.data(), size, nullptr,
                        nullptr);
    return result;
}

std::optional<std::wstring> UseWideFromUtf8(std::string_view text) {
    if (text.empty()) return std::wstring();
    const int length = static_cast<int>(text.size());
    const int size = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), length, nullptr, 0);
    if (size <= 0) return std::nullopt;
    std::wstring result(static_cast<size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), length, result.data(), size);
    return result;
}

std::string UseAnsiFromUtf8(std::string_view text) {
    const std::optional<std::wstring> wide = UseWideFromUtf8(text);
    if (!wide) return std::string(text);
    if (wide->empty()) return {};
    const int length = static_cast<int>(wide->size());
    const int size = WideCharToMultiByte(CP_ACP, 0, wide->data(), length, nullptr, 0, nullptr, nullptr);
    std::string result(static_cast<size_t>(size > 0 ? size : 0), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide->data(), length, result.data(), size, nullptr, nullptr);
    return result;
}
