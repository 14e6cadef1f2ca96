#pragma once
#include <map>
#include <string>
#include <vector>

// Releases by display name, each with its root folder (the value NVLROOT takes when it is active).
// Names compare exactly for Set and Remove and ignoring letter case for Contains and FindRoot.
class UseReleaseSet {
public:
    // Inserts the release, or replaces the root of the one with exactly that name.
    void Set(const std::string& name, const std::string& root);
    // Removes the release with exactly that name; true when there was one.
    bool Remove(const std::string& name);
    // True when some release's name equals name ignoring case.
    bool Contains(const std::string& name) const;
    // The root of the first release, in iteration order, whose name equals name ignoring case; empty
    // when none does.
    std::string FindRoot(const std::string& name) const;
    // The same release's name as the set holds it; empty when none has that name.
    std::string FindName(const std::string& name) const;
    // Rebuilds and returns the display strings, name + "(" + root + ")", one per release in iteration
    // order. The list stays owned by the set and is valid until the next call.
    const std::vector<std::string>& DisplayList();

    const std::map<std::string, std::string>& Entries() const { return releases_; }
    bool Empty() const { return releases_.empty(); }

private:
    std::map<std::string, std::string> releases_;
    std::vector<std::string> displayList_;
};
