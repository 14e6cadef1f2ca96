#pragma once
// What every fuzz target shares: a property check that stops the run on the first violation (the
// fuzzer then keeps the input), and the input as text split at one separator.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#define FUZZ_CHECK(...) ((__VA_ARGS__) ? void() : FuzzPropertyBroken(#__VA_ARGS__, __FILE__, __LINE__))

[[noreturn]] inline void FuzzPropertyBroken(const char* condition, const char* file, int line) {
    std::fprintf(stderr, "%s:%d: property broken: %s\n", file, line, condition);
    std::abort();
}

inline std::string FuzzText(const std::uint8_t* data, std::size_t size) {
    return std::string(reinterpret_cast<const char*>(data), size);
}

// Every piece between separators, empty ones included: "" gives one empty piece.
inline std::vector<std::string> FuzzSplit(std::string_view text, char separator) {
    std::vector<std::string> pieces;
    for (std::size_t start = 0;;) {
        const std::size_t end = text.find(separator, start);
        pieces.emplace_back(text.substr(start, end - start));
        if (end == std::string_view::npos) return pieces;
        start = end + 1;
    }
}
