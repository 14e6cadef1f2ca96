#include "platform/Unicode.h"

#include <windows.h>

std::string UseUtf8FromUtf16(std::u16string_view text) {
    std::string result;
    result.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t code = text[i];
        if (code >= 0xD800 && code <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF)
            code = 0x10000 + ((code - 0xD800) << 10) + (text[++i] - 0xDC00);
        if (code < 0x80) {
            result += static_cast<char>(code);
        } else if (code < 0x800) {
            result += static_cast<char>(0xC0 | (code >> 6));
            result += static_cast<char>(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            result += static_cast<char>(0xE0 | (code >> 12));
            result += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            result += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            result += static_cast<char>(0xF0 | (code >> 18));
            result += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
            result += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            result += static_cast<char>(0x80 | (code & 0x3F));
        }
    }
    return result;
}

std::optional<std::u16string> UseUtf16FromUtf8(std::string_view text) {
    std::u16string result;
    result.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const int length = lead < 0x80           ? 1
                           : (lead >> 5) == 0x6  ? 2
                           : (lead >> 4) == 0xE  ? 3
                           : (lead >> 3) == 0x1E ? 4
                                                 : 0;
        if (length == 0 || i + length > text.size()) return std::nullopt;
        char32_t code = length == 1 ? lead : lead & (0x7F >> length);
        for (int k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80) return std::nullopt;
            code = (code << 6) | (next & 0x3F);
        }
        // The shortest form only, and nothing past the last code.
        static constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
        if (code < kSmallest[length] || code > 0x10FFFF) return std::nullopt;
        if (code >= 0x10000) {
            result += static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10));
            result += static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF));
        } else {
            result += static_cast<char16_t>(code);
        }
        i += length;
    }
    return result;
}

std::string UseCodePageFromUtf8(std::string_view text, unsigned codePage) {
    const std::optional<std::u16string> wide = UseUtf16FromUtf8(text);
    if (!wide) return std::string(text);
    if (wide->empty()) return {};
    const auto* units = reinterpret_cast<const wchar_t*>(wide->data());
    const int length = static_cast<int>(wide->size());
    // Never a look-alike: a c with a caron written as "c" names another folder, and code pages 437 and 850
    // write U+25D9 as a line feed. A character the code page lacks is "?". UTF-8 takes every character (a
    // stray surrogate as U+FFFD) and accepts no flags.
    const auto convert = [&](char* out, int size) {
        return WideCharToMultiByte(codePage, codePage == CP_UTF8 ? 0 : WC_NO_BEST_FIT_CHARS, units, length,
                                   out, size, nullptr, nullptr);
    };
    const int size = convert(nullptr, 0);
    // A code page that takes no flags at all (ISO-2022 and the like) reads as the ANSI one.
    if (size <= 0) return codePage == CP_ACP ? std::string(length, '?') : UseCodePageFromUtf8(text, CP_ACP);
    std::string result(static_cast<size_t>(size), '\0');
    convert(result.data(), size);
    return result;
}

std::string UseAnsiFromUtf8(std::string_view text) {
    return UseCodePageFromUtf8(text, CP_ACP);
}

std::string UseUtf8FromAnsi(std::string_view text) {
    if (text.empty()) return {};
    const int length = static_cast<int>(text.size());
    const int size = MultiByteToWideChar(CP_ACP, 0, text.data(), length, nullptr, 0);
    std::u16string wide(static_cast<size_t>(size > 0 ? size : 0), u'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), length, reinterpret_cast<wchar_t*>(wide.data()), size);
    return UseUtf8FromUtf16(wide);
}

std::string UseProcessCommandLine() {
    return UseUtf8FromUtf16(reinterpret_cast<const char16_t*>(GetCommandLineW()));
}
