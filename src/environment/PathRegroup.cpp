#include "environment/PathRegroup.h"

#include "platform/Text.h"

#include <cstdint>
#include <functional>
#include <vector>

namespace {
constexpr std::string_view kWindowsMarkers[] = {"%SYSTEMROOT%", "%WINDIR%", "WINDOWS", "SYSTEM32",
                                                "MICROSOFT"};

enum class EntryClass : std::uint8_t { Windows, Suite, Other };

template <size_t N> bool StartsWithAny(std::string_view text, const std::string_view (&markers)[N]) {
    for (std::string_view marker : markers)
        if (text.starts_with(marker)) return true;
    return false;
}

// The same answer as a substring search for every marker, found in one pass over the entry: only the
// first letters of the markers can start a match, and most characters are none of them.
EntryClass Classify(std::string_view upperEntry, bool machineWide) {
    bool windows = false;
    for (size_t i = 0; i < upperEntry.size(); ++i) {
        const char c = upperEntry[i];
        if (c != '%' && c != 'W' && c != 'S' && c != 'M') continue;
        const std::string_view rest = upperEntry.substr(i);
        if (StartsWithAny(rest, kSuiteMarkers)) return EntryClass::Suite;
        windows = windows || StartsWithAny(rest, kWindowsMarkers);
    }
    // The Windows group exists in the system environment only.
    return windows && machineWide ? EntryClass::Windows : EntryClass::Other;
}

struct Entry {
    std::uint32_t start;
    std::uint32_t length;
    EntryClass entryClass;
};

// The distinct entries of a PATH in order of first appearance. Identical entries always fall in the
// same class, so one set serves all three groups. The set is an open-addressing table of indexes into
// the entry list: a PATH of thousands of entries is regrouped in one pass with a few small blocks of
// memory (large blocks are slow to come by on some heaps).
class DistinctEntries {
public:
    DistinctEntries(const std::string& text, size_t entryCount) : text_(text) {
        size_t slots = 16;
        while (slots < entryCount * 2)
            slots *= 2;
        slots_.assign(slots, 0);
        entries_.reserve(entryCount);
    }

    void Add(size_t start, size_t length, EntryClass entryClass) {
        const std::string_view entry = View(start, length);
        const size_t mask = slots_.size() - 1;
        for (size_t i = std::hash<std::string_view>{}(entry)&mask;; i = (i + 1) & mask) {
            if (slots_[i] == 0) {
                entries_.push_back(
                    {static_cast<std::uint32_t>(start), static_cast<std::uint32_t>(length), entryClass});
                slots_[i] = static_cast<std::uint32_t>(entries_.size()); // index + 1; 0 marks a free slot
                return;
            }
            const Entry& held = entries_[slots_[i] - 1];
            if (View(held.start, held.length) == entry) return;
        }
    }

    // The entries of one class, each followed by ";".
    void AppendClass(EntryClass entryClass, std::string& out) const {
        for (const Entry& entry : entries_)
            if (entry.entryClass == entryClass) {
                out.append(text_, entry.start, entry.length);
                out.push_back(';');
            }
    }

private:
    std::string_view View(size_t start, size_t length) const {
        return std::string_view(text_).substr(start, length);
    }

    const std::string& text_;
    std::vector<std::uint32_t> slots_;
    std::vector<Entry> entries_;
};

} // namespace

std::string UseRegroupPath(const std::string& oldText, bool machineWide) {
    // Classes are decided on an upper-case copy; the entries keep their own letters.
    const std::string upper = UseToUpper(oldText);
    size_t separators = 0;
    for (char c : oldText)
        separators += c == ';';
    DistinctEntries distinct(oldText, separators + 1);
    for (size_t start = 0; start <= oldText.size();) {
        size_t end = oldText.find(';', start);
        if (end == std::string::npos) end = oldText.size();
        if (end > start)
            distinct.Add(start, end - start,
                         Classify(std::string_view(upper).substr(start, end - start), machineWide));
        start = end + 1;
    }
    std::string result;
    result.reserve(oldText.size() + 1);
    for (EntryClass entryClass : {EntryClass::Windows, EntryClass::Suite, EntryClass::Other})
        distinct.AppendClass(entryClass, result);
    if (!result.empty()) result.pop_back();
    return result;
}
