#pragma once

// What the benchmarks of documents share: a document with the organisation events wired as
// the document controller wires them, and a full memory of 1,600 channels in 16 groups of
// 100 names as a CSV file and imported into it.

#include "catalogue/cmcGTex.h"
#include "events/cmcEvMan.h"
#include "files/cmcCsvImport.h"
#include "files/cmcLoadFile.h"
#include "model/cmcDefaultImages.h"
#include "model/cmcEeprom.h"
#include "model/cmcOrganisation.h"
#include "model/cmcOrganisationEvents.h"
#include "model/indDestination.h"
#include "platform/fake/cmcFakePlatform.h"

#include <cstdio>
#include <string>

constexpr int Groups = 16;
constexpr int NamesPerGroup = 100;

// A document with the organisation events wired as the document controller wires them.
struct BenchDocument {
    BenchDocument() : destination(1), organisation(image, &destination) {
        catalogue.Attach(EnglishTable());
        cmcGTex::SetProcess(&catalogue);
        image.SetSize(ImageSize);
        FillDefaultImage(image, 1);
        organisation.Adopt();
        events.Subscribe(&BenchDocument::OnEvent, this);
    }
    ~BenchDocument() {
        events.Unsubscribe(&BenchDocument::OnEvent, this);
        cmcGTex::SetProcess(nullptr);
    }
    static void OnEvent(void* context, const cmcEvent& event) {
        auto* self = static_cast<BenchDocument*>(context);
        HandleOrganisationEvent(self->organisation, &self->events, event.code, event.a, event.b);
    }
    clsCsvReadOptions ReadOptions() const {
        clsCsvReadOptions options;
        options.destination = &destination;
        return options;
    }

    cmcFakePlatform platform;
    cmcGTex catalogue;
    cmcEvMan events;
    indDestination destination;
    cmcEeprom image;
    cmcOrganisation organisation;
};

inline std::string FullCategory() {
    std::string text = "CH No,Group No,Group Name,Name No,Name Name,Name Number,Frequency,Dup,"
                       "Offset,TS,Mode,TONE,TSQL Frequency\r\n";
    char line[160];
    for (int i = 0; i < Groups * NamesPerGroup; ++i) {
        const int group = i / NamesPerGroup, name = i % NamesPerGroup;
        std::snprintf(line, sizeof line,
                      "%04d,%d,Group %d,%d,Channel %d,No%d,%d.%06d,DUP+,0.600000,25kHz,FM,TSQL,"
                      "88.5Hz\r\n",
                      i, group, group, name, i, name, 144 + i / 400, (i % 400) * 2500);
        text += line;
    }
    return text;
}

inline clsCsvImportResult Import(BenchDocument& document, const cmcLoadFile& file) {
    return CsvImportLines(file, document.organisation, document.events, csvkind::Group, 0, true,
                          document.ReadOptions());
}
