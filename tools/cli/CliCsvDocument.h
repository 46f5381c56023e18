#pragma once

// The document behind pelham-cli export, import and preset: a clone data file read as Open
// reads it, adopted for the installed destination, with the organisation events (9 to 21)
// run on it as the document controller runs them; and saved as Save saves it.

#include "CliCommand.h"

#include "app/indDocumentFile.h"
#include "app/indProcess.h"
#include "events/cmcEvMan.h"
#include "files/cmcCsvExport.h"
#include "files/cmcCsvRowReader.h"
#include "model/cmcImageCorrection.h"
#include "model/cmcOrganisation.h"
#include "model/cmcOrganisationEvents.h"
#include "model/indDestination.h"
#include "settings/indEnviron.h"

#include <memory>
#include <optional>
#include <string>

class CliCsvDocument {
  public:
    static constexpr int NoDestinationIndex = indDestination::None;

    CliCsvDocument() { events_.Subscribe(&CliCsvDocument::OnEvent, this); }
    ~CliCsvDocument() { events_.Unsubscribe(&CliCsvDocument::OnEvent, this); }
    CliCsvDocument(const CliCsvDocument&) = delete;
    CliCsvDocument& operator=(const CliCsvDocument&) = delete;

    // Reads the file; 0, a usage error, or the file error code (its message shown).
    int Open(const CliArgs& args, const char* command, const std::string& path) {
        std::optional<int> destination = InstalledDestination(args);
        if (!destination) return CliUsageError(command, "--destination takes 0..14");
        destination_.Set(*destination, fccInhibit_, rxExpansion_);
        japaneseText_ = *destination == 0 && args.value("--language").value_or("en") == "ja";
        image_.SetSize(ImageSize);
        if (int code = ReadDocumentFile(path, image_); code != 0) return code;
        organisation_ = std::make_unique<cmcOrganisation>(image_, &destination_);
        AdoptLoadedImage(*organisation_);
        return 0;
    }

    // Writes the document as Save does; 0 or the file error code (its message shown).
    int Save(const std::string& path) {
        PrepareForSave(*organisation_);
        return WriteDocumentFile(path, image_);
    }

    cmcOrganisation& Organisation() { return *organisation_; }
    cmcEvMan& Events() { return events_; }

    clsCsvReadOptions ReadOptions() const {
        clsCsvReadOptions options;
        options.separators = clsCsvSeparators::FromLocale();
        options.destination = &destination_;
        options.japaneseText = japaneseText_;
        return options;
    }
    clsCsvWriteOptions WriteOptions() const {
        clsCsvWriteOptions options;
        options.separators = clsCsvSeparators::FromLocale();
        options.japaneseText = japaneseText_;
        return options;
    }

  private:
    // --destination, else the settings store's destination and receiver flags.
    std::optional<int> InstalledDestination(const CliArgs& args) {
        indEnviron settings(indProcess::MutexName, indProcess::SettingsKey, indProcess::SettingsKey,
                            {}, indEnviron::Access::ReadOnly);
        fccInhibit_ = settings.fccInhibit == 1;
        rxExpansion_ = settings.rxExpansion == 1;
        if (args.value("--destination")) {
            auto d = args.number("--destination", 0, NoDestinationIndex);
            if (!d) return std::nullopt;
            return static_cast<int>(*d);
        }
        const int stored = settings.destination;
        return stored >= 0 && stored < NoDestinationIndex ? stored : NoDestinationIndex;
    }

    static void OnEvent(void* context, const cmcEvent& event) {
        auto* self = static_cast<CliCsvDocument*>(context);
        if (self->organisation_)
            HandleOrganisationEvent(*self->organisation_, &self->events_, event.code, event.a,
                                    event.b);
    }

    cmcEvMan events_;
    indDestination destination_;
    bool fccInhibit_ = false;
    bool rxExpansion_ = false;
    bool japaneseText_ = false;
    cmcEeprom image_;
    std::unique_ptr<cmcOrganisation> organisation_;
};

// The --sheet option as a CSV kind and index; false (after a usage error) otherwise.
inline bool CliSheet(const CliArgs& args, const char* command, int& kind, int& index, int& status) {
    auto sheet = args.value("--sheet");
    if (!sheet || !CsvSheetFromName(*sheet, kind, index)) {
        status = CliUsageError(command, "--sheet takes a sheet such as group:0 or edges");
        return false;
    }
    return true;
}
