#pragma once

#include <string>
#include <vector>

// The recent-file list: paths without duplicates, newest first. Paths are compared
// without regard to letter case.
class cmcRecent {
  public:
    static constexpr int DefaultCapacity = 10;

    explicit cmcRecent(int capacity = DefaultCapacity) : capacity_(capacity) {}

    // Removes every entry equal to the path, puts the path at the front (or back), then
    // drops entries beyond the capacity from the end.
    void AddToFront(const std::string& path);
    void AddToBack(const std::string& path);
    void Clear() { entries_.clear(); }

    int Count() const { return static_cast<int>(entries_.size()); }
    int Capacity() const { return capacity_; }
    // Entry n as stored; empty when n is not below the count.
    std::string Entry(int n) const;
    // Entry n for a menu: only the file name when the file lies in the given folder,
    // else the full path; empty when n is not below the count.
    std::string DisplayText(int n, const std::string& folder) const;

    static bool SamePath(const std::string& left, const std::string& right);

  private:
    void Remove(const std::string& path);
    void Trim();

    int capacity_;
    std::vector<std::string> entries_;
};
