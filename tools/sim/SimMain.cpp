// harlon-sim: plays the receiver on a pseudo-terminal so that the program's real serial
// code can be exercised. Prints "PORT /dev/pts/N" first, then serves until killed.

#include "SimReceiver.h"

#include "catalogue/cmcGTex.h"
#include "files/cmcTcfFile.h"
#include "model/cmcDefaultImages.h"
#include "platform/qt/core/cmcQtCorePlatform.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <fcntl.h>
#include <optional>
#include <poll.h>
#include <string>
#include <termios.h>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int ModelWord = 0x3076;
constexpr int ExtraWord = 1;
constexpr auto IdleReset = std::chrono::seconds(2);

const char Usage[] =
    "usage: harlon-sim [--image FILE.tcf] [--destination D] [--flags N] [--save FILE.tcf]\n"
    "                  [--frame-bytes N] [--baud-pace] [--fault KIND]...\n"
    "faults: no-echo no-answer bad-echo wrong-model bad-bcd bad-checksum lower-case-hex\n"
    "        drop-frame bad-end-count no-maker overflow-address nak no-ack stall-after=N\n"
    "        garbage-before corrupt-stored\n";

const char* const Faults[] = {
    "no-echo",       "no-answer",      "bad-echo",         "wrong-model",
    "bad-bcd",       "bad-checksum",   "lower-case-hex",   "drop-frame",
    "bad-end-count", "no-maker",       "overflow-address", "nak",
    "no-ack",        "garbage-before", "corrupt-stored",
};

// Messages of the file code go to standard error.
class StderrMessages : public cmcMessageBox {
  public:
    int show(const std::string& text, const std::string&, MsgIcon, MsgButtons) override {
        std::fprintf(stderr, "harlon-sim: %s\n", text.c_str());
        return answer::Cancel;
    }
};

struct Arguments {
    SimOptions options;
    std::string image;
    std::string save;
    bool pace = false;
};

std::optional<long> Number(const char* text, long low, long high) {
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(text, &end, 10);
    if (errno != 0 || end == text || *end != '\0' || value < low || value > high)
        return std::nullopt;
    return value;
}

bool AddFault(SimOptions& options, const std::string& fault) {
    const std::string stall = "stall-after=";
    if (fault.rfind(stall, 0) == 0) {
        const auto n = Number(fault.c_str() + stall.size(), 0, 1L << 30);
        if (!n) return false;
        options.stallAfter = *n;
        return true;
    }
    for (const char* known : Faults) {
        if (fault == known) {
            options.faults.insert(fault);
            return true;
        }
    }
    return false;
}

std::optional<Arguments> Parse(int argc, char** argv) {
    Arguments args;
    for (int i = 1; i < argc; ++i) {
        const std::string word = argv[i];
        if (word == "--baud-pace") {
            args.pace = true;
            continue;
        }
        if (i + 1 >= argc) return std::nullopt;
        const char* value = argv[++i];
        if (word == "--image") {
            args.image = value;
        } else if (word == "--save") {
            args.save = value;
        } else if (word == "--destination" || word == "--flags" || word == "--frame-bytes") {
            const long high = word == "--frame-bytes" ? 252 : 255;
            const auto n = Number(value, word == "--frame-bytes" ? 1 : 0, high);
            if (!n) return std::nullopt;
            int& field = word == "--destination" ? args.options.destination
                         : word == "--flags"     ? args.options.flags
                                                 : args.options.frameBytes;
            field = static_cast<int>(*n);
        } else if (word == "--fault") {
            if (!AddFault(args.options, value)) return std::nullopt;
        } else {
            return std::nullopt;
        }
    }
    return args;
}

std::optional<std::vector<uint8_t>> LoadImage(const std::string& path, int destination) {
    cmcEeprom image;
    image.SetSize(ImageSize);
    // Without --image the receiver holds what a new one of its destination holds.
    if (path.empty()) {
        FillDefaultImage(image, destination);
        return std::vector<uint8_t>(image.Data(), image.Data() + image.GetSize());
    }
    cmcTcfFile file;
    file.AttachImage(image);
    file.SetModelWord(ModelWord);
    file.SetExtraWord(ExtraWord);
    if (file.Read(path, WholeImageRanges) != cmcTcfFile::Ok) return std::nullopt;
    return std::vector<uint8_t>(image.Data(), image.Data() + image.GetSize());
}

bool SaveImage(const std::string& path, const std::vector<uint8_t>& bytes) {
    if (path.empty()) return true;
    cmcEeprom image;
    image.SetSize(ImageSize);
    image.SetBytes(0, bytes.data(), MapSize);
    cmcTcfFile file;
    file.AttachImage(image);
    file.SetModelWord(ModelWord);
    file.SetExtraWord(ExtraWord);
    return file.Write(path, WholeImageRanges) == cmcTcfFile::Ok;
}

// The pseudo-terminal: the master is the receiver's end. The simulator keeps the slave
// open as well, so the line stays up while the program closes and reopens its end.
struct Pty {
    int master = -1;
    int slave = -1;
    std::string path;
};

std::optional<Pty> OpenPty() {
    Pty pty;
    pty.master = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (pty.master < 0 || grantpt(pty.master) < 0 || unlockpt(pty.master) < 0) return std::nullopt;
    const char* name = ptsname(pty.master);
    if (!name) return std::nullopt;
    pty.path = name;
    pty.slave = open(name, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (pty.slave < 0) return std::nullopt;
    termios tio{};
    tcgetattr(pty.slave, &tio);
    cfmakeraw(&tio); // no echo or line editing by the terminal itself
    cfsetispeed(&tio, B9600);
    cfsetospeed(&tio, B9600);
    tcsetattr(pty.slave, TCSANOW, &tio);
    return pty;
}

// The baud rate the program's end of the line is set to.
int LineBaud(int master) {
    termios tio{};
    if (tcgetattr(master, &tio) < 0) return 0;
    switch (cfgetospeed(&tio)) {
    case B1200:
        return 1200;
    case B2400:
        return 2400;
    case B4800:
        return 4800;
    case B9600:
        return 9600;
    case B19200:
        return 19200;
    case B38400:
        return 38400;
    case B57600:
        return 57600;
    case B115200:
        return 115200;
    default:
        return 0;
    }
}

// The receiver's output on the line, paced at the current baud rate when asked to.
class Line {
  public:
    Line(int master, bool pace) : master_(master), pace_(pace) {}

    void Queue(const std::vector<uint8_t>& bytes) {
        // A line that stood idle saves no time for later bytes.
        if (out_.empty()) free_ = std::max(free_, Clock::now());
        out_.insert(out_.end(), bytes.begin(), bytes.end());
    }
    bool Pending() const { return !out_.empty(); }

    // Writes what may go now; the milliseconds until more may go (-1: nothing waits).
    int Flush(int baud) {
        if (out_.empty()) return -1;
        size_t allowed = out_.size();
        const Clock::time_point now = Clock::now();
        const auto byteTime = std::chrono::nanoseconds(10'000'000'000LL / std::max(baud, 1));
        if (pace_) {
            allowed = std::min<size_t>(out_.size(), size_t((now - free_) / byteTime));
            if (allowed == 0)
                return int(
                    std::chrono::ceil<std::chrono::milliseconds>(free_ + byteTime - now).count());
        }
        std::vector<uint8_t> piece(out_.begin(),
                                   out_.begin() + long(std::min<size_t>(allowed, 4096)));
        const ssize_t written = write(master_, piece.data(), piece.size());
        if (written > 0) {
            out_.erase(out_.begin(), out_.begin() + written);
            if (pace_) free_ += byteTime * written;
        }
        if (out_.empty()) return -1;
        return written > 0 ? 0 : 5; // a full terminal buffer: try again shortly
    }

  private:
    int master_;
    bool pace_;
    std::deque<uint8_t> out_;
    Clock::time_point free_ = Clock::now();
};

int Serve(const Arguments& args, const std::vector<uint8_t>& image) {
    const auto pty = OpenPty();
    if (!pty) {
        std::fprintf(stderr, "harlon-sim: cannot create a pseudo-terminal: %s\n",
                     std::strerror(errno));
        return 1;
    }
    std::printf("PORT %s\n", pty->path.c_str());
    std::fflush(stdout);

    Line line(pty->master, args.pace);
    SimReceiver receiver(
        args.options, image, [&line](const std::vector<uint8_t>& bytes) { line.Queue(bytes); },
        [&args](const std::vector<uint8_t>& bytes) { return SaveImage(args.save, bytes); });

    // The line is idle when nothing has gone either way for a while.
    Clock::time_point lastActivity = Clock::now();
    bool idle = true;
    for (;;) {
        int wait = line.Flush(receiver.Baud());
        if (line.Pending()) lastActivity = Clock::now();
        if (!idle && Clock::now() - lastActivity > IdleReset) {
            receiver.Idle();
            idle = true;
        }
        if (wait < 0 || wait > 200) wait = 200;
        pollfd fd{pty->master, POLLIN, 0};
        if (poll(&fd, 1, wait) < 0 && errno != EINTR) return 1;
        if (!(fd.revents & POLLIN)) continue;
        uint8_t buffer[4096];
        const ssize_t got = read(pty->master, buffer, sizeof buffer);
        if (got <= 0) continue;
        receiver.Receive(buffer, size_t(got), LineBaud(pty->master));
        lastActivity = Clock::now();
        idle = false;
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 2 && (!std::strcmp(argv[1], "--help") || !std::strcmp(argv[1], "-h"))) {
        std::fputs(Usage, stdout);
        return 0;
    }
    const auto args = Parse(argc, argv);
    if (!args) {
        std::fputs(Usage, stderr);
        return 64;
    }
    cmcQtCorePlatform core;
    StderrMessages messages;
    cmcPlatform platform = core.base();
    platform.messages = &messages;
    cmcPlatform::install(platform);
    cmcGTex catalogue;
    catalogue.Attach(EnglishTable());
    cmcGTex::SetProcess(&catalogue);

    const auto image = LoadImage(args->image, args->options.destination);
    if (!image) return 1;
    return Serve(*args, *image);
}
