#include "model/cmcFCache.h"

#include <cstdio>
#include <utility>

namespace {

// The stable exchange sort the lists have always used: a swap only on a strictly greater
// key, so equal items keep their catalogue order. Lists hold at most a few dozen items.
template <class Key> void ExchangeSort(std::vector<cmcFlexItem>& items, Key key) {
    for (size_t end = items.size(); end > 1; --end)
        for (size_t i = 0; i + 1 < end; ++i)
            if (key(items[i]) > key(items[i + 1])) std::swap(items[i], items[i + 1]);
}

cmcFCache*& ProcessCache() {
    static cmcFCache* cache = nullptr;
    return cache;
}

} // namespace

cmcFCacheEntry::cmcFCacheEntry(std::vector<cmcFlexItem> items, int lineCount)
    : byValue_(items), byPlace_(std::move(items)) {
    ExchangeSort(byValue_, [](const cmcFlexItem& item) { return int64_t(item.value); });
    ExchangeSort(byPlace_, [lineCount](const cmcFlexItem& item) {
        return int64_t(item.line) + int64_t(lineCount) * item.column;
    });
}

const cmcFlexItem* cmcFCacheEntry::FindValue(int value) const {
    size_t low = 0, high = byValue_.size();
    while (low < high) {
        const size_t middle = (low + high) / 2;
        if (byValue_[middle].value < value)
            low = middle + 1;
        else
            high = middle;
    }
    return low < byValue_.size() && byValue_[low].value == value ? &byValue_[low] : nullptr;
}

std::string cmcFCacheEntry::TextOf(int value) const {
    const cmcFlexItem* item = FindValue(value);
    return item ? item->text : "error";
}

bool cmcFCacheEntry::HasValue(int value) const {
    return FindValue(value) != nullptr;
}

int cmcFCacheEntry::Step(int value, int step) const {
    if (byPlace_.empty()) return value;
    const int count = static_cast<int>(byPlace_.size());
    for (int i = 0; i < count; ++i) {
        if (byPlace_[i].value != value) continue;
        const int next = ((i + step) % count + count) % count;
        return byPlace_[next].value;
    }
    return byPlace_.front().value;
}

cmcFCache::cmcFCache(Reader reader) : reader_(reader) {}

cmcFCache::~cmcFCache() {
    if (ProcessCache() == this) ProcessCache() = nullptr;
}

const cmcFCacheEntry& cmcFCache::Entry(const std::string& list, int kind) {
    char suffix[16];
    std::snprintf(suffix, sizeof suffix, "#%d", kind);
    const std::string key = list + suffix;
    if (const cmcFCacheEntry* found = index_.Find(key)) return *found;
    int lineCount = 0;
    std::vector<cmcFlexItem> items;
    if (reader_) items = reader_(list, kind, lineCount);
    entries_.push_back(std::make_unique<cmcFCacheEntry>(std::move(items), lineCount));
    index_.Add(key, entries_.back().get());
    return *entries_.back();
}

cmcFCache& cmcFCache::Process() {
    if (!ProcessCache()) {
        static cmcFCache fallback(ReadCatalogueList);
        ProcessCache() = &fallback;
    }
    return *ProcessCache();
}

void cmcFCache::SetProcess(cmcFCache* cache) {
    ProcessCache() = cache;
}
