#include "ui/ReleaseEntry.h"

bool UseSplitReleaseEntry(const std::string& entry, std::string& name, std::string& root) {
    const std::size_t last = entry.rfind(')');
    if (last == std::string::npos) return false;
    std::size_t open = last;
    for (int depth = 1; open > 0 && depth > 0;) {
        --open;
        if (entry[open] == ')') ++depth;
        if (entry[open] == '(') --depth;
    }
    name = entry.substr(0, open);
    root = entry.substr(open + 1, last - open - 1);
    return true;
}
