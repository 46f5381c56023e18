#pragma once

#include <filesystem>
#include <string>

// Small helpers shared by the tests.
namespace testenv {

// Folder of the small fixtures (tests/data).
std::filesystem::path dataFolder();

// Folder holding the built programs (pelham-cli, harlon-sim).
std::filesystem::path binaryFolder();

// A fresh, empty temporary folder, removed when the object goes away.
class TempFolder {
  public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::filesystem::path& path() const { return path_; }
    std::string file(const std::string& name) const { return (path_ / name).string(); }

  private:
    std::filesystem::path path_;
};

std::string readFile(const std::string& path);
void writeFile(const std::string& path, const std::string& bytes);

} // namespace testenv
