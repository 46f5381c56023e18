#pragma once

// A document for the CSV and preset tests: a default image of a destination with its
// organisation, the platform fakes, the English catalogue and an event manager whose
// organisation events run on the image, as the document controller runs them.

#include "catalogue/cmcGTex.h"
#include "events/cmcEvMan.h"
#include "files/cmcCsvRowReader.h"
#include "model/cmcDefaultImages.h"
#include "model/cmcEeprom.h"
#include "model/cmcOrganisation.h"
#include "model/cmcOrganisationEvents.h"
#include "model/datCh.h"
#include "model/indDestination.h"
#include "platform/fake/cmcFakePlatform.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

class CsvDocument {
  public:
    explicit CsvDocument(int destination = 1, char decimal = '.')
        : destination_(destination), organisation_(image_, &destination_) {
        platform_.locale.decimal_ = decimal;
        catalogue_.Attach(EnglishTable());
        cmcGTex::SetProcess(&catalogue_);
        image_.SetSize(ImageSize);
        FillDefaultImage(image_, destination);
        organisation_.Adopt();
        events_.Subscribe(&CsvDocument::OnEvent, this);
    }
    ~CsvDocument() {
        events_.Unsubscribe(&CsvDocument::OnEvent, this);
        cmcGTex::SetProcess(nullptr);
    }

    cmcFakePlatform& Platform() { return platform_; }
    cmcEeprom& Image() { return image_; }
    cmcOrganisation& Organisation() { return organisation_; }
    cmcEvMan& Events() { return events_; }
    const indDestination& Destination() const { return destination_; }

    clsCsvReadOptions ReadOptions(bool japaneseText = false) const {
        clsCsvReadOptions options;
        options.separators = clsCsvSeparators::FromDecimal(platform_.locale.decimal_);
        options.destination = &destination_;
        options.japaneseText = japaneseText;
        return options;
    }

    datCh Record(uint32_t kind, int index) {
        datCh record = organisation_.Record();
        record.Load(kind, index);
        return record;
    }

    // Appends a channel to group g with a name of its own (or in the name of the channel
    // before it) and stores the given settings.
    int AddChannel(int group, uint32_t frequency, bool newName = true) {
        const int slot = organisation_.LastChannelOfGroup(group) + 1;
        const int previousName = int(Record(datKind::Mch, slot - 1).nameIndex);
        events_.Send(15, group, slot);
        datCh record = Record(datKind::Mch, slot);
        record.frequency = frequency;
        if (!newName) record.nameIndex = uint32_t(previousName);
        record.StoreAndReload();
        return slot;
    }

    // Every box shown, as text.
    std::vector<std::string> Messages() const {
        std::vector<std::string> texts;
        for (const auto& shown : platform_.messages.shown())
            texts.push_back(shown.text);
        return texts;
    }

  private:
    static void OnEvent(void* context, const cmcEvent& event) {
        auto* self = static_cast<CsvDocument*>(context);
        HandleOrganisationEvent(self->organisation_, &self->events_, event.code, event.a, event.b);
    }

    cmcFakePlatform platform_;
    cmcGTex catalogue_;
    cmcEvMan events_;
    indDestination destination_;
    cmcEeprom image_;
    cmcOrganisation organisation_;
};
