#include "files/cmcSafeWrite.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        bytes.remove_prefix(static_cast<size_t>(written));
    }
    return true;
}

// Mode for the new file: what the old file had, else what the user's umask allows (mkstemp
// creates the file for its owner only).
mode_t NewFileMode(const fs::path& target) {
    struct stat old {};
    if (::stat(target.c_str(), &old) == 0) return old.st_mode & 07777;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

void SyncFolder(const fs::path& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

// The file to replace: the target itself, or the file its link names.
bool ResolveTarget(fs::path& target) {
    std::error_code error;
    if (fs::is_symlink(target, error)) {
        fs::path resolved = fs::canonical(target, error);
        if (error) return false;
        target = resolved;
    }
    return !fs::is_directory(target, error);
}

// Replacing a file only needs the folder's write permission, so the file's own protection
// is checked here as opening it for writing would: a protected file stays as it was.
bool MayReplace(const fs::path& target) {
    if (::faccessat(AT_FDCWD, target.c_str(), F_OK, AT_EACCESS) != 0) return true; // a new file
    return ::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) == 0;
}

} // namespace

clsSafeWriteResult cmcSafeWrite(const std::string& path, std::string_view bytes) {
    fs::path target(path);
    if (target.empty() || !ResolveTarget(target) || !MayReplace(target))
        return clsSafeWriteResult::CannotCreate;
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    std::string temporary = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0) return clsSafeWriteResult::CannotCreate;

    bool ok = ::fchmod(fd, NewFileMode(target)) == 0;
    ok = ok && WriteAll(fd, bytes);
    ok = ok && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    ok = ok && std::rename(temporary.c_str(), target.c_str()) == 0;
    if (!ok) {
        ::unlink(temporary.c_str());
        return clsSafeWriteResult::CannotWrite;
    }
    SyncFolder(folder);
    return clsSafeWriteResult::Ok;
}
