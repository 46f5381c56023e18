// Whole-image read and write against harlon-sim --baud-pace, which delivers bytes no
// faster than the baud rate. Reports the measured time and the ratio to the time the
// bytes need on the line (budget: 1.05). A 9600-baud run takes over five minutes; filter
// with --benchmark_filter=38400 for a quick look.

#include "catalogue/cmcGTex.h"
#include "clone/indCloneMan.h"
#include "events/cmcEvMan.h"
#include "platform/qt/core/cmcQtCorePlatform.h"

#include <QCoreApplication>
#include <benchmark/benchmark.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <poll.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

const cmcCloneRange WholeMap[] = {{0, 116799}, {1, 0}};

class QuietMessages : public cmcMessageBox {
  public:
    int show(const std::string& text, const std::string&, MsgIcon, MsgButtons) override {
        std::fprintf(stderr, "%s\n", text.c_str());
        return answer::Cancel;
    }
};

// The QtCore platform and catalogue, once for the process.
struct BenchPlatform {
    BenchPlatform() : app(argc, argv) {
        cmcPlatform platform = core.base();
        platform.messages = &messages;
        cmcPlatform::install(platform);
        catalogue.Attach(EnglishTable());
        cmcGTex::SetProcess(&catalogue);
    }
    int argc = 1;
    char name[12] = "bench_clone";
    char* argv[2] = {name, nullptr};
    QCoreApplication app;
    cmcQtCorePlatform core;
    QuietMessages messages;
    cmcGTex catalogue;
};

BenchPlatform& Platform() {
    static BenchPlatform platform;
    return platform;
}

std::string SimPath() {
    if (const char* bin = std::getenv("PELHAM_BIN")) return std::string(bin) + "/harlon-sim";
    return (std::filesystem::read_symlink("/proc/self/exe").parent_path().parent_path() /
            "harlon-sim")
        .string();
}

// harlon-sim --baud-pace for the life of the object.
class PacedSim {
  public:
    PacedSim() {
        int out[2];
        if (pipe(out) < 0) return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], 1);
        posix_spawn_file_actions_addclose(&actions, out[0]);
        std::string path = SimPath();
        char pace[] = "--baud-pace";
        char* args[] = {path.data(), pace, nullptr};
        posix_spawn(&pid_, path.c_str(), &actions, nullptr, args, environ);
        posix_spawn_file_actions_destroy(&actions);
        close(out[1]);
        std::string line;
        pollfd fd{out[0], POLLIN, 0};
        char c;
        while (line.find('\n') == std::string::npos && poll(&fd, 1, 5000) > 0 &&
               read(out[0], &c, 1) == 1)
            line += c;
        close(out[0]);
        if (line.rfind("PORT ", 0) == 0) port_ = line.substr(5, line.size() - 6);
    }
    ~PacedSim() {
        if (pid_ <= 0) return;
        kill(pid_, SIGTERM);
        waitpid(pid_, nullptr, 0);
    }
    const std::string& Port() const { return port_; }

  private:
    pid_t pid_ = -1;
    std::string port_;
};

void WholeImage(benchmark::State& state, bool write, bool highSpeed) {
    Platform();
    const int baud = highSpeed ? 38400 : 9600;
    for (auto _ : state) {
        PacedSim sim;
        if (sim.Port().empty()) {
            state.SkipWithError("harlon-sim did not start");
            return;
        }
        cmcEvMan events;
        indCloneMan session(events);
        session.SetRequestWords(0x3076, 0);
        session.SetImageSize(117952);
        session.SetLineSource([&] { return indCloneLine{sim.Port(), highSpeed}; });
        session.InstallImageCheck([](dst_CDrv_Result&) {});
        cmcEeprom image;
        image.SetSize(117952);
        int code = -1;
        long lineBytes = 0;
        auto done = [&](dst_CDrv_Result& result) {
            code = result.code;
            lineBytes = session.Driver().RawBytes();
            QCoreApplication::exit(0);
        };
        const auto start = std::chrono::steady_clock::now();
        if (write)
            session.StartWrite(image, WholeMap, done);
        else
            session.StartRead(WholeMap, done);
        QCoreApplication::exec();
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (code != 0) {
            state.SkipWithError(("clone ended with code " + std::to_string(code)).c_str());
            return;
        }
        state.SetIterationTime(seconds);
        const double lineSeconds = double(lineBytes) * 10.0 / baud;
        state.counters["seconds"] = seconds;
        state.counters["line_seconds"] = lineSeconds;
        state.counters["ratio"] = seconds / lineSeconds;
        std::fprintf(stderr, "%s at %d baud: %.1f s measured, %.1f s on the line, ratio %.3f\n",
                     write ? "write" : "read", baud, seconds, lineSeconds, seconds / lineSeconds);
    }
}

} // namespace

BENCHMARK_CAPTURE(WholeImage, read_38400, false, true)
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kSecond);
BENCHMARK_CAPTURE(WholeImage, write_38400, true, true)
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kSecond);
BENCHMARK_CAPTURE(WholeImage, read_9600, false, false)
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kSecond);
BENCHMARK_CAPTURE(WholeImage, write_9600, true, false)
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kSecond);

BENCHMARK_MAIN();
