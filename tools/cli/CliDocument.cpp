#include "CliDocument.h"

#include "app/indDocumentFile.h"
#include "app/indProcess.h"
#include "model/cmcDefaultImages.h"
#include "model/cmcImageCorrection.h"
#include "model/cmcOrganisationEvents.h"
#include "settings/indEnviron.h"

#include "CliPlatform.h"

#include <cstdio>
#include <unistd.h>

CliDocument::CliDocument() {
    image_.SetSize(ImageSize);
    organisation_ = std::make_unique<cmcOrganisation>(image_, &destination_);
    events_.Subscribe(&CliDocument::OnEvent, this);
}

CliDocument::~CliDocument() {
    events_.Unsubscribe(&CliDocument::OnEvent, this);
}

int CliDocument::TakeDestination(const CliArgs& args, const char* command) {
    const indEnviron settings(indProcess::MutexName, indProcess::SettingsKey,
                              indProcess::SettingsKey, CliSettingsArgs(args.value("--language")),
                              indEnviron::Access::ReadOnly);
    int destination = settings.destination >= 0 && settings.destination < indDestination::None
                          ? settings.destination
                          : indDestination::None;
    if (args.value("--destination")) {
        const auto chosen = args.number("--destination", 0, indDestination::None);
        if (!chosen) return CliUsageError(command, "--destination takes 0..14");
        destination = int(*chosen);
    }
    destination_.Set(destination, settings.fccInhibit == 1, settings.rxExpansion == 1);
    japaneseText_ = settings.JapaneseText(destination);
    assumeYes_ = args.has("--yes");
    return 0;
}

int CliDocument::Open(const CliArgs& args, const char* command, const std::string& path) {
    if (int status = TakeDestination(args, command); status != 0) return status;
    if (int code = ReadDocumentFile(path, image_); code != 0) return code;
    cmcEeprom asRead;
    asRead.Assign(image_);
    AdoptLoadedImage(*organisation_);
    corrections_ = FindLoadCorrections(asRead, *organisation_, japaneseText_);
    if (corrections_.Any())
        std::fprintf(stderr, "%s: %s", path.c_str(),
                     LoadCorrectionReport(corrections_, destination_.Index()).c_str());
    return 0;
}

void CliDocument::New() {
    FillDefaultImage(image_, destination_.Index());
    organisation_->Adopt();
}

int CliDocument::Save(const std::string& path) {
    if (corrections_.Any() && !assumeYes_) {
        std::fprintf(
            stderr, "pelham-cli: %s\n",
            LoadCorrectionText(loadtext::NotSaved, {indDestination::Label(destination_.Index())})
                .c_str());
        return ExitNotSaved;
    }
    PrepareForSave(*organisation_);
    return WriteDocumentFile(path, image_);
}

void CliDocument::OnEvent(void* context, const cmcEvent& event) {
    auto* self = static_cast<CliDocument*>(context);
    HandleOrganisationEvent(*self->organisation_, &self->events_, event.code, event.a, event.b);
}

bool CliReadable(const std::string& path) {
    return ::access(path.c_str(), R_OK) == 0;
}

std::optional<int> CliSheetNumber(const std::string& name, const std::string& prefix) {
    if (name.rfind(prefix, 0) != 0) return std::nullopt;
    const std::string digits = name.substr(prefix.size());
    if (digits.empty() || digits.size() > 4 ||
        digits.find_first_not_of("0123456789") != std::string::npos)
        return -1;
    return std::stoi(digits);
}
