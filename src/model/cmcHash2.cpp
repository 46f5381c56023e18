#include "model/cmcHash2.h"

#include "platform/cmcPlatform.h"

cmcHash2Base::cmcHash2Base(uint32_t buckets) : chains_(buckets ? buckets : DefaultBuckets) {}

cmcHash2Base::~cmcHash2Base() {
    // Unlink the chains iteratively, so a long chain cannot exhaust the stack.
    for (auto& head : chains_)
        while (head)
            head = std::move(head->next);
}

uint32_t cmcHash2Base::BucketOf(const std::string& key) const {
    const uint32_t buckets = Buckets();
    const int32_t half = static_cast<int32_t>(buckets / 2);
    uint32_t h = 0;
    int32_t c = half;
    for (size_t i = 0; i < key.size(); ++i) {
        const auto ch = static_cast<int32_t>(static_cast<int8_t>(key[i]));
        h = 2 * h + static_cast<uint32_t>(c) + static_cast<uint32_t>(ch);
        const auto next = i + 1 < key.size() ? static_cast<int8_t>(key[i + 1]) : int8_t(0);
        if (next & 1) {
            c >>= 1;
            if (c == 0) c = half;
        }
    }
    return h % buckets;
}

void cmcHash2Base::AddEntry(const std::string& key, void* entry) {
    if (FindEntry(key)) cmcFatal("Overlapped Hash2 table.");
    auto& head = chains_[BucketOf(key)];
    head = std::make_unique<Link>(Link{key, entry, std::move(head)});
}

void* cmcHash2Base::FindEntry(const std::string& key) const {
    for (const Link* link = chains_[BucketOf(key)].get(); link; link = link->next.get())
        if (link->key == key) return link->entry;
    return nullptr;
}
