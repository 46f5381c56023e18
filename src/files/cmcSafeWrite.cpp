#include "files/cmcSafeWrite.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        bytes.remove_prefix(static_cast<size_t>(written));
    }
    return true;
}

// mkstemp creates the file for its owner only; the written file gets the usual permissions.
mode_t currentUmask() {
    mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}

} // namespace

clsSafeWriteResult CsvSafeWrite(const std::string& path, std::string_view bytes) {
    std::string temporary = path + ".XXXXXX";
    int fd = ::mkstemp(temporary.data());
    if (fd < 0) return clsSafeWriteResult::CannotCreate;
    ::fchmod(fd, 0666 & ~currentUmask());
    bool ok = writeAll(fd, bytes) && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    if (ok && std::rename(temporary.c_str(), path.c_str()) == 0) return clsSafeWriteResult::Ok;
    ::unlink(temporary.c_str());
    return clsSafeWriteResult::CannotWrite;
}
