#pragma once
// A property check that stops the fuzz run on the first violation; the fuzzer then keeps the input.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#define FUZZ_CHECK(...) ((__VA_ARGS__) ? void() : FuzzPropertyBroken(#__VA_ARGS__, __FILE__, __LINE__))

[[noreturn]] inline void FuzzPropertyBroken(const char* condition, const char* file, int line) {
    std::fprintf(stderr, "%s:%d: property broken: %s\n", file, line, condition);
    std::abort();
}
