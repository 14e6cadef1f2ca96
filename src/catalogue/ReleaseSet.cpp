#include "catalogue/ReleaseSet.h"

#include "catalogue/ReleaseEntry.h"
#include "platform/Text.h"

void UseReleaseSet::Set(const std::string& name, const std::string& root) {
    releases_[name] = root;
}

bool UseReleaseSet::Remove(const std::string& name) {
    return releases_.erase(name) != 0;
}

bool UseReleaseSet::Contains(const std::string& name) const {
    for (const auto& [entryName, root] : releases_)
        if (UseEqualsNoCase(entryName, name)) return true;
    return false;
}

std::string UseReleaseSet::FindName(const std::string& name) const {
    for (const auto& [entryName, root] : releases_)
        if (UseEqualsNoCase(entryName, name)) return entryName;
    return {};
}

std::string UseReleaseSet::FindRoot(const std::string& name) const {
    for (const auto& [entryName, root] : releases_)
        if (UseEqualsNoCase(entryName, name)) return root;
    return {};
}

const std::vector<std::string>& UseReleaseSet::DisplayList() {
    displayList_.clear();
    for (const auto& [name, root] : releases_)
        displayList_.push_back(UseReleaseEntryText(name, root));
    return displayList_;
}
