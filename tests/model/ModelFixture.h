#pragma once

// A document image with its organisation, the English catalogue and the fake platform, for
// the tests of the memory model.

#include "catalogue/cmcGTex.h"
#include "model/cmcDefaultImages.h"
#include "model/cmcEeprom.h"
#include "model/cmcOrganisation.h"
#include "model/indDestination.h"
#include "platform/fake/cmcFakePlatform.h"

#include <gtest/gtest.h>

class ModelFixture : public ::testing::Test {
  protected:
    explicit ModelFixture(int destinationIndex = 0) : destination(destinationIndex) {
        catalogue.Attach(EnglishTable());
        cmcGTex::SetProcess(&catalogue);
        image.SetSize(ImageSize);
        FillDefaultImage(image, destinationIndex);
        organisation.Adopt();
    }
    ~ModelFixture() override { cmcGTex::SetProcess(nullptr); }

    datCh Record() { return organisation.Record(); }
    // Fills the image with n channels: n / perGroup groups in one category per 100 groups.
    void FillChannels(int n, int perGroup = 1);

    cmcFakePlatform platform;
    cmcGTex catalogue;
    indDestination destination;
    cmcEeprom image;
    cmcOrganisation organisation{image, &destination};
};
