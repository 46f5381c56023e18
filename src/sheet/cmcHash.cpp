#include "sheet/cmcHash.h"

cmcHash::cmcHash(size_t buckets) : buckets_(buckets == 0 ? DefaultBuckets : buckets) {}

size_t cmcHash::BucketOf(std::string_view key) const {
    // FNV-1a: cheap and well spread for the short identifier-like names held here.
    uint32_t h = 2166136261u;
    for (unsigned char c : key) {
        h ^= c;
        h *= 16777619u;
    }
    return h % buckets_.size();
}

bool cmcHash::Add(std::string_view key, int value) {
    auto& chain = buckets_[BucketOf(key)];
    for (const Entry& entry : chain)
        if (entry.key == key) return false;
    chain.push_back({std::string(key), value});
    ++count_;
    return true;
}

std::optional<int> cmcHash::Find(std::string_view key) const {
    for (const Entry& entry : buckets_[BucketOf(key)])
        if (entry.key == key) return entry.value;
    return std::nullopt;
}
