#include "settings/cmcRecent.h"

#include <algorithm>

namespace {

char Fold(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string WithoutTrailingSlash(std::string path) {
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

} // namespace

bool cmcRecent::SamePath(const std::string& left, const std::string& right) {
    return std::equal(left.begin(), left.end(), right.begin(), right.end(),
                      [](char l, char r) { return Fold(l) == Fold(r); });
}

void cmcRecent::Remove(const std::string& path) {
    std::erase_if(entries_, [&](const std::string& entry) { return SamePath(entry, path); });
}

void cmcRecent::Trim() {
    if (Count() > capacity_) entries_.resize(std::max(capacity_, 0));
}

void cmcRecent::AddToFront(const std::string& path) {
    Remove(path);
    entries_.insert(entries_.begin(), path);
    Trim();
}

void cmcRecent::AddToBack(const std::string& path) {
    Remove(path);
    entries_.push_back(path);
    Trim();
}

std::string cmcRecent::Entry(int n) const {
    if (n < 0 || n >= Count()) return {};
    return entries_[n];
}

std::string cmcRecent::DisplayText(int n, const std::string& folder) const {
    const std::string path = Entry(n);
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) return path;
    const std::string entryFolder = WithoutTrailingSlash(path.substr(0, slash + 1));
    if (!SamePath(entryFolder, WithoutTrailingSlash(folder))) return path;
    return path.substr(slash + 1);
}
