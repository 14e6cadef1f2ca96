// How long regrouping takes on the longest PATH the registry's environment allows: 32,767 characters
// holding thousands of entries of every class, with repeats and empty entries.
#include "environment/PathRewrite.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {
constexpr size_t kMaximumPathLength = 32767;

// Entries of every class, with repeats (every seventh entry) and empty entries (every fifth shape).
std::string MixedPath() {
    const char* const shapes[] = {"C:\\T%u", "%%SystemRoot%%\\s%u", "%%NVLROOT%%\\b%u", "D:\\Microsoft\\%u",
                                  ""};
    std::string path;
    char entry[64];
    for (unsigned i = 0;; ++i) {
        std::snprintf(entry, sizeof entry, shapes[i % 5], i % 7 == 6 ? i / 2 : i);
        if (path.size() + std::strlen(entry) + 1 > kMaximumPathLength) return path;
        path += entry;
        path += ';';
    }
}

// As many distinct entries as fit: short names, one suite entry at the end.
std::string ShortEntriesPath() {
    std::string path;
    char entry[16];
    for (unsigned i = 0;; ++i) {
        std::snprintf(entry, sizeof entry, "%x", i);
        if (path.size() + std::strlen(entry) + 12 > kMaximumPathLength) return path + "%NVLROOT%";
        path += entry;
        path += ';';
    }
}

double Seconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

void Measure(const char* what, const std::string& path) {
    const size_t entries = static_cast<size_t>(std::count(path.begin(), path.end(), ';')) + 1;
    std::vector<double> runs;
    size_t kept = 0;
    for (int run = 0; run < 200; ++run) {
        LARGE_INTEGER start, end;
        QueryPerformanceCounter(&start);
        kept = UseRegroupPath(path, true).size();
        QueryPerformanceCounter(&end);
        runs.push_back(Seconds(start, end));
    }
    std::sort(runs.begin(), runs.end());
    std::printf("%s: %zu characters, %zu entries (%zu characters kept): median %.1f us, fastest %.1f us, "
                "slowest %.1f us over %zu runs\n",
                what, path.size(), entries, kept, runs[runs.size() / 2] * 1e6, runs.front() * 1e6,
                runs.back() * 1e6, runs.size());
}
} // namespace

int main() {
    Measure("mixed PATH", MixedPath());
    Measure("short entries", ShortEntriesPath());
    return 0;
}
