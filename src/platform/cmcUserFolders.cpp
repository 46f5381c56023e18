#include "platform/cmcUserFolders.h"

#include <cstdlib>
#include <filesystem>

std::string cmcUserFolder(const char* variable, const char* belowHome) {
    namespace fs = std::filesystem;
    const char* named = std::getenv(variable);
    fs::path base;
    if (named && *named && fs::path(named).is_absolute()) {
        base = named;
    } else {
        const char* home = std::getenv("HOME");
        base = fs::path(home && *home ? home : "/tmp") / belowHome;
    }
    return (base / "pelham").string();
}
