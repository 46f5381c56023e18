#include "CliCloneSession.h"

#include <QCoreApplication>

#include <algorithm>
#include <cstdio>
#include <unistd.h>

namespace {

// The progress window as a bar on standard error: 32 cells, like the window's.
class CliProgressBar : public indCloneProgressView {
  public:
    explicit CliProgressBar(std::string what) : what_(std::move(what)) {}
    ~CliProgressBar() override { std::fputs("\n", stderr); }
    void ShowProgress(int filled) override {
        // 33 is the whole range: the last cell filled and 100 %.
        if (filled == shown_) return;
        shown_ = filled;
        const int cells = std::min(filled, Cells);
        std::string bar(size_t(cells), '#');
        bar.resize(Cells, '.');
        std::fprintf(stderr, "\r%-9s [%s] %3d%%", what_.c_str(), bar.c_str(),
                     std::min(filled, 33) * 100 / 33);
        std::fflush(stderr);
    }

  private:
    std::string what_;
    int shown_ = -1;
};

std::shared_ptr<cmcSerialTrace> OpenTrace(const std::string& path, std::string& error) {
    if (path.empty()) return nullptr;
    return cmcSerialTrace::Create(path, error);
}

} // namespace

CliClone::CliClone(const CliArgs& args, bool testDestination, int destination)
    : tracePath_(args.value("--trace").value_or("")), trace_(OpenTrace(tracePath_, traceError_)),
      session_(events_), testDestination_(testDestination), destination_(destination) {
    indCloneLine line;
    line.portPath = args.value("--port").value_or("");
    line.highSpeed = args.has("--high-speed");
    session_.SetLineSource([line] { return line; });
    session_.SetRequestWords(ReceiverModelWord, 0);
    session_.SetImageSize(ImageSize);
    session_.InstallInformationCheck([this](dst_CDrv_Result& result) { InformationCheck(result); });
    session_.InstallImageCheck([](dst_CDrv_Result& result) {
        if (result.code == clonecode::Ok) result.code = CheckReceivedImage(result);
    });
    if (isatty(STDERR_FILENO))
        session_.SetProgressFactory(
            [this] { return std::make_unique<CliProgressBar>(progressLabel_); });
}

int CliClone::Run() {
    if (!traceError_.empty()) {
        std::fprintf(stderr, "pelham-cli: cannot write the trace file %s: %s\n", tracePath_.c_str(),
                     traceError_.c_str());
        return ExitUsage;
    }
    return QCoreApplication::exec();
}

void CliClone::Done(int code) {
    QCoreApplication::exit(code);
}

void CliClone::InformationCheck(dst_CDrv_Result& result) {
    if (result.code != clonecode::Ok) return;
    result.code = CheckReceiverIdentity(result, info_);
    if (result.code == clonecode::Ok && testDestination_ &&
        !DestinationMatches(destination_, info_))
        result.code = clonecode::VersionMismatch;
}

int ReadReceiver(const CliArgs& args, int destination, cmcEeprom& image) {
    CliClone clone(args, true, destination);
    clone.SetProgressLabel("reading");
    clone.Session().StartInformation([&](dst_CDrv_Result& result) {
        if (result.code != clonecode::Ok) return CliClone::Done(result.code);
        clone.Session().StartRead(DocumentRanges, [&](dst_CDrv_Result& read) {
            if (read.code == clonecode::Ok) image.Assign(read.image);
            CliClone::Done(read.code);
        });
    });
    return clone.Run();
}
