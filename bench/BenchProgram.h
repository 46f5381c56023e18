#pragma once

// What the benchmarks of the view layer share: the offscreen application and the program
// on the fake platform with a full image, every channel in the first group.

#include "app/indMain.h"
#include "app/indProcess.h"
#include "events/cmcEvMan.h"
#include "events/cmcEvents.h"
#include "model/cmcMemoryMap.h"
#include "model/cmcOrganisation.h"
#include "platform/fake/cmcFakePlatform.h"
#include "sheet/view/cuiSheetAddress.h"

#include <QApplication>

#include <algorithm>
#include <memory>

inline const char* const GroupSheet = "[St_CNBank]GI_Sheet_MemoryCH,Group 0";

inline QApplication& Application() {
    static int argc = 1;
    static char name[] = "pelham_bench";
    static char* argv[] = {name, nullptr};
    static QApplication application(argc, argv);
    return application;
}

// The program on the fake platform, destination 1, every channel in the first group.
struct clsFullProgram {
    clsFullProgram() {
        process = std::make_unique<indProcess>();
        indMain& main = process->Main();
        main.ReceiverInformation()[indMain::InfoDestinationByte] = 1;
        process->Events().Send(ev::AdoptDestination);
        uint8_t* bytes = main.WorkingImage().Data();
        for (int slot = 0; slot < memmap::Channels; ++slot) {
            std::copy(bytes + memmap::ChannelAddress(0),
                      bytes + memmap::ChannelAddress(0) + memmap::ChannelSize,
                      bytes + memmap::ChannelAddress(slot));
            memmap::Put32(bytes, memmap::OrganisationWords + 4 * slot, uint32_t(slot % 100) << 2);
            memmap::Put16(bytes, memmap::OrderList + 2 * slot, uint16_t(slot));
            memmap::PutBit(bytes, memmap::ChannelEmptyBits, slot, false);
        }
        main.Organisation().Adopt();
    }

    cuiSheetServices Services() {
        cuiSheetServices services;
        services.catalogue = &process->Text();
        services.events = &process->Events();
        services.organisation = &process->Main().Organisation();
        services.destination = 1;
        return services;
    }

    std::unique_ptr<cuiSheet> OpenSheet() {
        auto sheet = cuiCreateSheet(GroupSheet, Services(), nullptr);
        sheet->resize(1280, 900);
        sheet->Open();
        return sheet;
    }

    cmcFakePlatform platform;
    std::unique_ptr<indProcess> process;
};
