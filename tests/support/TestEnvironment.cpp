#include "TestEnvironment.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <unistd.h>

namespace testenv {

namespace {
std::filesystem::path fromEnvironment(const char* name) {
    const char* value = std::getenv(name);
    if (!value) throw std::runtime_error(std::string(name) + " is not set (run through ctest)");
    return value;
}
} // namespace

std::filesystem::path dataFolder() {
    return fromEnvironment("PELHAM_TEST_DATA");
}
std::filesystem::path binaryFolder() {
    return fromEnvironment("PELHAM_BIN");
}

TempFolder::TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "pelham-test-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot create a temporary folder");
    path_ = pattern;
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(path_, ignored);
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

} // namespace testenv
