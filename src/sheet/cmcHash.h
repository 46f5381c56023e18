#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Chained table from strings to integers, used for the name tables of the layout
// language (cell types, cell-logic ids, colours). Lookups compare whole strings.
class cmcHash {
  public:
    static constexpr size_t DefaultBuckets = 1031;

    explicit cmcHash(size_t buckets = DefaultBuckets);

    // False (and nothing changes) when the key is already present.
    bool Add(std::string_view key, int value);
    std::optional<int> Find(std::string_view key) const;
    size_t Count() const { return count_; }

  private:
    struct Entry {
        std::string key;
        int value;
    };

    size_t BucketOf(std::string_view key) const;

    std::vector<std::vector<Entry>> buckets_;
    size_t count_ = 0;
};
