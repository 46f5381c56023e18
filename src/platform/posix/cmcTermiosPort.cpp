#include "platform/posix/cmcTermiosPort.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace {

struct SpeedEntry {
    int baud;
    speed_t speed;
};

constexpr SpeedEntry Speeds[] = {
    {1200, B1200},   {2400, B2400},   {4800, B4800},   {9600, B9600},
    {19200, B19200}, {38400, B38400}, {57600, B57600}, {115200, B115200},
};

tcflag_t SizeFlag(int dataBits) {
    switch (dataBits) {
    case 5:
        return CS5;
    case 6:
        return CS6;
    case 7:
        return CS7;
    case 8:
        return CS8;
    default:
        return 0; // 4 data bits: no terminal takes them
    }
}

// Modem lines: DTR off and RTS on. A pseudo-terminal has no modem lines and says ENOTTY
// or EINVAL, which is not a failure.
bool SetModemLines(int fd) {
    int dtr = TIOCM_DTR;
    int rts = TIOCM_RTS;
    if (ioctl(fd, TIOCMBIC, &dtr) < 0 && errno != ENOTTY && errno != EINVAL) return false;
    if (ioctl(fd, TIOCMBIS, &rts) < 0 && errno != ENOTTY && errno != EINVAL) return false;
    return true;
}

} // namespace

cmcTermiosPort::~cmcTermiosPort() {
    Close();
}

unsigned cmcTermiosPort::SpeedOf(int baud) {
    for (const SpeedEntry& entry : Speeds)
        if (entry.baud == baud) return entry.speed;
    return 0;
}

cmcPortError cmcTermiosPort::Fail(int error) {
    errorText_ = std::strerror(error);
    Close();
    switch (error) {
    case ENOENT:
    case ENODEV:
    case ENXIO:
        return cmcPortError::Missing;
    case EACCES:
    case EPERM:
        return cmcPortError::Denied;
    case EBUSY:
        return cmcPortError::Busy;
    case ENOTTY:
    case EINVAL:
        return cmcPortError::Unsupported;
    default:
        return cmcPortError::Failed;
    }
}

cmcPortError cmcTermiosPort::Open(const std::string& path, const cmcLineSettings& settings) {
    if (IsOpen()) return cmcPortError::Busy;
    errorText_.clear();
    fd_ = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd_ < 0) return Fail(errno);
    // Exclusive: a second open of the device fails with EBUSY while we hold it.
    if (ioctl(fd_, TIOCEXCL) < 0) return Fail(errno);

    termios tio{};
    if (tcgetattr(fd_, &tio) < 0) return Fail(errno);
    cfmakeraw(&tio);
    const speed_t speed = SpeedOf(settings.baud);
    const tcflag_t size = SizeFlag(settings.dataBits);
    if (speed == 0 || size == 0) return Fail(EINVAL);
    tio.c_cflag &= ~(CSIZE | PARENB | PARODD | CSTOPB | HUPCL | CRTSCTS);
    tio.c_cflag |= size | CREAD | CLOCAL;
    if (settings.parity == 'E' || settings.parity == 'O') tio.c_cflag |= PARENB;
    if (settings.parity == 'O') tio.c_cflag |= PARODD;
    // termios knows no 1.5 stop bits; one and a half becomes one.
    if (settings.stopBits == cmcLineSettings::StopBits::Two) tio.c_cflag |= CSTOPB;
    tio.c_iflag &= ~(IXON | IXOFF | IXANY);
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    if (cfsetispeed(&tio, speed) < 0 || cfsetospeed(&tio, speed) < 0) return Fail(errno);
    if (tcsetattr(fd_, TCSANOW, &tio) < 0) return Fail(errno);
    if (!SetModemLines(fd_)) return Fail(errno);
    Purge();
    return cmcPortError::None;
}

void cmcTermiosPort::Close() {
    if (fd_ < 0) return;
    ioctl(fd_, TIOCNXCL); // a pseudo-terminal kept open elsewhere must not stay exclusive
    ::close(fd_);
    fd_ = -1;
}

long cmcTermiosPort::Write(const uint8_t* bytes, size_t n) {
    if (fd_ < 0) return -1;
    if (n == 0) return 0;
    const ssize_t written = ::write(fd_, bytes, n);
    if (written >= 0) return written;
    if (errno == EAGAIN || errno == EINTR) return 0; // the rest stays queued
    errorText_ = std::strerror(errno);
    return -1;
}

long cmcTermiosPort::Read(uint8_t* bytes, size_t n) {
    if (fd_ < 0 || n == 0) return 0;
    const ssize_t got = ::read(fd_, bytes, n);
    return got > 0 ? got : 0;
}

int cmcTermiosPort::BytesWaiting() const {
    int count = 0;
    if (fd_ < 0 || ioctl(fd_, FIONREAD, &count) < 0) return 0;
    return count;
}

int cmcTermiosPort::BytesQueued() const {
    int count = 0;
    if (fd_ < 0 || ioctl(fd_, TIOCOUTQ, &count) < 0) return 0;
    return count;
}

void cmcTermiosPort::Purge() {
    if (fd_ >= 0) tcflush(fd_, TCIOFLUSH);
}
