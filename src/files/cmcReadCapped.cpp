#include "files/cmcReadCapped.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

cmcReadResult cmcReadCapped(const std::string& path, size_t maxBytes, std::string& bytes) {
    bytes.clear();
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) return cmcReadResult::Unreadable;
    const int flags = ::fcntl(fd, F_GETFL);
    bool failed = flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) < 0;
    char buffer[65536];
    while (!failed && bytes.size() <= maxBytes) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) {
            failed = got < 0;
            break;
        }
        bytes.append(buffer, static_cast<size_t>(got));
    }
    ::close(fd);
    if (failed) return cmcReadResult::Unreadable;
    return bytes.size() > maxBytes ? cmcReadResult::TooLarge : cmcReadResult::Ok;
}
