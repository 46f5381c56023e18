#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// A chained hash table from strings to entries the caller owns. The bucket count is fixed
// at creation. A key may be added once only: a second add is a fault of the program.
class cmcHash2Base {
  public:
    static constexpr uint32_t DefaultBuckets = 1031;

    // 0 buckets means the default.
    explicit cmcHash2Base(uint32_t buckets);
    ~cmcHash2Base();
    cmcHash2Base(const cmcHash2Base&) = delete;
    cmcHash2Base& operator=(const cmcHash2Base&) = delete;

    uint32_t Buckets() const { return static_cast<uint32_t>(chains_.size()); }
    // The bucket of a key. The running value wraps as unsigned 32-bit arithmetic; the
    // characters count as signed bytes, as the table always has.
    uint32_t BucketOf(const std::string& key) const;

  protected:
    void AddEntry(const std::string& key, void* entry);
    void* FindEntry(const std::string& key) const;

  private:
    struct Link {
        std::string key;
        void* entry;
        std::unique_ptr<Link> next;
    };
    std::vector<std::unique_ptr<Link>> chains_;
};

template <class T> class cmcHash2 : public cmcHash2Base {
  public:
    explicit cmcHash2(uint32_t buckets = 0) : cmcHash2Base(buckets) {}
    // Prepends the entry to its bucket's chain; an existing key ends the process.
    void Add(const std::string& key, T* entry) { AddEntry(key, entry); }
    // The entry of the key, or nullptr.
    T* Find(const std::string& key) const { return static_cast<T*>(FindEntry(key)); }
};
