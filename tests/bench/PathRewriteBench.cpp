// How long regrouping takes on the longest PATH the registry's environment allows: 32,767 characters
// holding thousands of entries of every class, with repeats (every seventh entry) and empty entries.
#include "environment/PathRegroup.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

int main() {
    const char* const shapes[] = {"C:\\T%u", "%%SystemRoot%%\\s%u", "%%NVLROOT%%\\b%u", "D:\\Microsoft\\%u",
                                  ""};
    std::string path;
    char entry[64];
    for (unsigned i = 0;; ++i) {
        std::snprintf(entry, sizeof entry, shapes[i % 5], i % 7 == 6 ? i / 2 : i);
        if (path.size() + std::string(entry).size() + 1 > 32767) break;
        (path += entry) += ';';
    }
    std::vector<double> runs;
    size_t kept = 0;
    for (int run = 0; run < 200; ++run) {
        const auto start = std::chrono::steady_clock::now();
        kept = UseRegroupPath(path, true).size();
        runs.push_back(
            std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(runs.begin(), runs.end());
    std::printf("PATH of %zu characters (the limit is 32767), %zu entries (%zu characters kept): median %.1f "
                "us, fastest %.1f us, "
                "slowest %.1f us over %zu runs\n",
                path.size(), static_cast<size_t>(std::count(path.begin(), path.end(), ';')), kept,
                runs[runs.size() / 2], runs.front(), runs.back(), runs.size());
    return 0;
}
