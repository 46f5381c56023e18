// The steps around a write and the difference list. Budgets: a backup read and a write at
// 38,400 baud within 1.05 x the time both transfers need on the line (against
// harlon-sim --baud-pace), also with the plan of the write built between them (argument
// 1); the difference list of two full 1,600-channel documents under 50 ms; the plan of a
// write that changes all 1,600 channels, with the list the window shows, under 100 ms.

#include "app/indCloneCommands.h"
#include "app/indCloneSafety.h"
#include "app/indWritePlan.h"
#include "catalogue/cmcGTex.h"
#include "events/cmcEvMan.h"
#include "files/cmcImageDiff.h"
#include "model/cmcDefaultImages.h"
#include "model/cmcImageCorrection.h"
#include "model/cmcOrganisation.h"
#include "model/indDestination.h"
#include "platform/qt/core/cmcQtCorePlatform.h"

#include <QCoreApplication>
#include <benchmark/benchmark.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <poll.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

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
    char name[13] = "bench_safety";
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
        const char* bin = std::getenv("PELHAM_BIN");
        std::string path =
            bin ? std::string(bin) + "/harlon-sim"
                : (std::filesystem::read_symlink("/proc/self/exe").parent_path().parent_path() /
                   "harlon-sim")
                      .string();
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

void BackupAndWrite(benchmark::State& state) {
    Platform();
    constexpr int Baud = 38400;
    const std::string folder =
        (std::filesystem::temp_directory_path() / "pelham-bench-backups").string();
    for (auto _ : state) {
        PacedSim sim;
        if (sim.Port().empty()) {
            state.SkipWithError("harlon-sim did not start");
            return;
        }
        cmcEvMan events;
        indCloneMan session(events);
        session.SetLineSource([&] { return indCloneLine{sim.Port(), true}; });
        session.InstallImageCheck([](dst_CDrv_Result& result) {
            if (result.code == 0) result.code = CheckReceivedImage(result);
        });
        indSafeWrite write(session);
        long lineBytes = 0;
        write.SetStepStarting([&](indSafeWrite::Step step) {
            if (step != indSafeWrite::Step::Backup) lineBytes += session.Driver().RawBytes();
        });
        cmcEeprom image;
        image.SetSize(ImageSize);
        FillDefaultImage(image, 0);
        indSafeWrite::Options options;
        options.backupFolder = folder;
        const indDestination destination(0);
        size_t planLines = 0;
        // The plan uses the backup read: no transfer of its own.
        if (state.range(0) == 1)
            options.beforeWrite = [&](const cmcEeprom* receiver) {
                clsWritePlanInput input;
                input.receiver = receiver;
                input.document = &image;
                input.sent = &image;
                input.destination = &destination;
                planLines = WritePlanQuestion(BuildWritePlan(input)).lines.size();
                return true;
            };
        int code = -1;
        const auto start = std::chrono::steady_clock::now();
        write.Start(image, options, [&](int result) {
            code = result;
            lineBytes += session.Driver().RawBytes();
            QCoreApplication::exit(0);
        });
        QCoreApplication::exec();
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (code != 0) {
            state.SkipWithError(("write ended with code " + std::to_string(code)).c_str());
            return;
        }
        state.SetIterationTime(seconds);
        const double lineSeconds = double(lineBytes) * 10.0 / Baud;
        state.counters["seconds"] = seconds;
        state.counters["line_seconds"] = lineSeconds;
        state.counters["ratio"] = seconds / lineSeconds;
        state.counters["plan_lines"] = double(planLines);
        std::fprintf(
            stderr, "backup%s and write at %d baud: %.1f s, %.1f s on the line, ratio %.3f\n",
            state.range(0) == 1 ? ", plan" : "", Baud, seconds, lineSeconds, seconds / lineSeconds);
    }
    std::filesystem::remove_all(folder);
}

// A document of 1,600 channels in its first group, each on its own frequency.
struct FullDocument {
    explicit FullDocument(uint32_t step) : destination(0) {
        image.SetSize(ImageSize);
        FillDefaultImage(image, 0);
        organisation = std::make_unique<cmcOrganisation>(image, &destination);
        organisation->Adopt();
        datCh channel = organisation->Record();
        while (organisation->TotalChannels() < cmcOrganisation::MaxChannels)
            organisation->InsertChannel(0, 0);
        for (int slot = 0; slot < cmcOrganisation::MaxChannels; ++slot) {
            channel.StoreDefault(datKind::Mch, slot, NewRecordBand);
            channel.Load(datKind::Mch, slot);
            channel.frequency = 118000000u + uint32_t(slot) * step;
            channel.Store(datKind::Mch, slot);
        }
    }
    cmcEeprom image;
    indDestination destination;
    std::unique_ptr<cmcOrganisation> organisation;
};

// Every tenth channel retuned, or (every = 1) every channel: the most work for matching.
void DiffFullDocuments(benchmark::State& state) {
    Platform();
    FullDocument a(25000), b(25000);
    datCh channel = b.organisation->Record();
    for (int slot = 0; slot < cmcOrganisation::MaxChannels; slot += int(state.range(0))) {
        channel.Load(datKind::Mch, slot);
        channel.frequency += 5000;
        channel.Store(datKind::Mch, slot);
    }
    size_t differences = 0;
    for (auto _ : state)
        differences = DiffDocuments(*a.organisation, *b.organisation).size();
    state.counters["differences"] = double(differences);
}

// The plan of a write that retunes every one of 1,600 channels and puts every hundredth in
// a range the destination does not allow: built, and turned into the window's list.
void PlanFullDifference(benchmark::State& state) {
    Platform();
    FullDocument receiver(25000), document(25000);
    datCh channel = document.organisation->Record();
    for (int slot = 0; slot < cmcOrganisation::MaxChannels; ++slot) {
        channel.Load(datKind::Mch, slot);
        channel.frequency = slot % 100 == 0 ? 253000000u : channel.frequency + 5000;
        channel.Store(datKind::Mch, slot);
    }
    PrepareForSave(*document.organisation);
    cmcEeprom sent;
    sent.Assign(document.image);
    cmcOrganisation copy(sent, &document.destination);
    copy.RecountOrganisation();
    clsWritePlanInput input;
    input.replaced = ReplaceDisallowedRecords(copy);
    input.receiver = &receiver.image;
    input.document = &document.image;
    input.sent = &sent;
    input.destination = &document.destination;
    size_t lines = 0;
    for (auto _ : state)
        lines = WritePlanQuestion(BuildWritePlan(input)).lines.size();
    state.counters["lines"] = double(lines);
    state.counters["resets"] = double(input.replaced.size());
}

} // namespace

BENCHMARK(BackupAndWrite)->Arg(0)->Arg(1)->UseManualTime()->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK(DiffFullDocuments)->Arg(10)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(PlanFullDifference)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
