#include "FakeSheet.h"

#include "events/cmcEvents.h"
#include "model/cmcDefaultImages.h"
#include "model/cmcMemoryMap.h"
#include "model/cmcOrganisationEvents.h"

FakeDocument::FakeDocument(cmcOrganisation& organisation, cmcEeprom& saved)
    : organisation_(organisation), saved_(saved) {}

bool FakeDocument::CheckModified() {
    ++checks;
    if (!modified && organisation_.Image().IsDifferent(saved_)) modified = true;
    return modified;
}

CellWorld::CellWorld(int installed, cmcTextTransfer* transfer)
    : destination(installed), organisation(image, &destination), document(organisation, saved) {
    catalogue.Attach(EnglishTable());
    cmcGTex::SetProcess(&catalogue);
    events = std::make_unique<cmcEvMan>();
    cmcEvMan::SetProcess(events.get());
    events->Subscribe(OnEvent, this);
    image.SetSize(ImageSize);
    FillDefaultImage(image, installed);
    organisation.Adopt();
    saved.Assign(image);
    indCellDocument parts;
    parts.organisation = &organisation;
    parts.clipboard = &clipboard;
    parts.transfer = transfer;
    parts.commands = &document;
    parts.events = events.get();
    parts.catalogue = &catalogue;
    parts.cache = &cache;
    parts.destination = &destination;
    parts.openPickList = [this](cmcCellCapsule&, const std::string& list) {
        pickLists.push_back(list);
    };
    parts.receiverInformation = [this] { return receiverInformation; };
    parts.askSort = [this](const clsSortOffer& offer) {
        sortOffers.push_back(offer);
        return sortAnswer;
    };
    parts.askFill = [this](const clsFillOffer& offer) {
        fillOffers.push_back(offer);
        return fillAnswer;
    };
    logic = std::make_unique<indCellLogic>(parts);
}

CellWorld::~CellWorld() {
    events->Unsubscribe(OnEvent, this);
    cmcEvMan::SetProcess(nullptr);
    cmcGTex::SetProcess(nullptr);
}

void CellWorld::OnEvent(void* context, const cmcEvent& event) {
    auto& world = *static_cast<CellWorld*>(context);
    if (event.code == ev::AskChannelList && world.answers_) world.events->Answer(world.set_);
    if (event.code >= ev::InsertCategory && event.code <= ev::DeleteBasicEntry)
        HandleOrganisationEvent(world.organisation, world.events.get(), event.code, event.a,
                                event.b);
    if (event.code == ev::RowAdded) ++world.rowsAdded;
    if (event.code == ev::RowRemoved) ++world.rowsRemoved;
    if (event.code == ev::StatusText) world.statusTexts.push_back(event.Text());
    if (event.code >= ev::CategoryInserted && event.code <= ev::LinkRenamed)
        world.treeEvents.push_back(event.code);
    if (event.code == ev::MenuClearItems)
        world.menuEvents.push_back("clear " + std::to_string(event.b));
    if (event.code == ev::MenuBuildItems)
        world.menuEvents.push_back("build " + std::to_string(event.b) + " " + event.Text());
}

cmcCellObj CellWorld::MakeCell(int logicId, int index) const {
    cmcCellObj cell;
    cell.cellType = cellType_;
    cell.logicId = logicId;
    cell.index = index;
    return cell;
}

// Plays the sheet's loop: the logic runs, a jump moves to another cell of the same kind, a
// repeated key is fed again (a few times at most, as a user holding a key would).
CellResult CellWorld::Run(cmcCellObj& cell, cmcCellCapsule& capsule) {
    CellResult result;
    capsule.cell = &cell;
    capsule.onRepaint = [&result](cmcCellCapsule&, int mask) { result.masks.push_back(mask); };
    indActiveCell context;
    for (int pass = 0; pass < 4; ++pass) {
        result.action = logic->Run(context, capsule, true);
        const int repeat = capsule.repeatKey;
        if (capsule.jumpRequest) {
            cell.cellType = capsule.jumpType;
            cell.logicId = capsule.jumpLogic;
            cell.index = capsule.jumpIndex;
        }
        if (!repeat) break;
        const auto keep = capsule.onRepaint;
        const unsigned range = capsule.rangeFlags;
        capsule.Reset();
        capsule.cell = &cell;
        capsule.onRepaint = keep;
        capsule.rangeFlags = range & ~cmcCellCapsule::RangeSelect;
        capsule.keyCode = repeat;
    }
    result.text = capsule.displayText;
    result.selStart = capsule.editSelStart;
    result.selLength = capsule.editSelLength;
    result.state = capsule.stateFlags;
    result.markPosition = capsule.markPosition;
    result.logicId = cell.logicId;
    result.index = cell.index;
    result.selected = capsule.rangeFlags & cmcCellCapsule::RangeSelect;
    result.rangeLow = capsule.rangeLow;
    result.rangeHigh = capsule.rangeHigh;
    return result;
}

CellResult CellWorld::Query(int logicId, int index) {
    cmcCellObj cell = MakeCell(logicId, index);
    cmcCellCapsule capsule;
    return Run(cell, capsule);
}

CellResult CellWorld::Key(int logicId, int index, int key) {
    cmcCellObj cell = MakeCell(logicId, index);
    cmcCellCapsule capsule;
    capsule.keyCode = key;
    return Run(cell, capsule);
}

void CellWorld::SelectRows(cmcCellCapsule& capsule, int low, int high) {
    if (low < 0) return;
    capsule.rangeFlags = cmcCellCapsule::RangeActive;
    capsule.rangeLow = low;
    capsule.rangeHigh = high;
}

CellResult CellWorld::Type(int logicId, int index, const std::string& text, int low, int high) {
    cmcCellObj cell = MakeCell(logicId, index);
    cmcCellCapsule capsule;
    SelectRows(capsule, low, high);
    capsule.inputMode = cmcCellCapsule::TextEntered;
    capsule.inputText = text;
    return Run(cell, capsule);
}

CellResult CellWorld::Choose(int logicId, int index, int value, int low, int high) {
    cmcCellObj item;
    item.cellType = CT_Null;
    item.logicId = Flex0;
    item.index = value;
    cmcCellCapsule itemCapsule;
    itemCapsule.cell = &item;
    cmcCellObj cell = MakeCell(logicId, index);
    cmcCellCapsule capsule;
    SelectRows(capsule, low, high);
    capsule.inputMode = cmcCellCapsule::ListChoice;
    capsule.parentCapsule = &itemCapsule;
    return Run(cell, capsule);
}

CellResult CellWorld::Command(int logicId, int index, int command, int low, int high,
                              bool wholeNames) {
    cmcCellObj cell = MakeCell(logicId, index);
    cmcCellCapsule capsule;
    capsule.operation = command;
    SelectRows(capsule, low, high);
    if (wholeNames) capsule.rangeFlags |= cmcCellCapsule::RangeWholeBlocks;
    return Run(cell, capsule);
}

bool CellWorld::Disabled(int logicId, int index, int command) {
    cmcCellObj acted = MakeCell(logicId, index);
    cmcCellCapsule actedCapsule;
    actedCapsule.cell = &acted;
    cmcCellObj item;
    item.cellType = CT_PopupMenu;
    item.logicId = command;
    cmcCellCapsule capsule;
    capsule.cell = &item;
    capsule.parentCapsule = &actedCapsule;
    indActiveCell context;
    logic->Run(context, capsule, false);
    return item.Flag(2);
}

CellResult CellWorld::ListItem(int openerLogic, int openerIndex, int itemLogic, int itemIndex) {
    cmcCellObj opener = MakeCell(openerLogic, openerIndex);
    cmcCellCapsule openerCapsule;
    openerCapsule.cell = &opener;
    cmcCellObj item;
    item.cellType = CT_Null;
    item.logicId = itemLogic;
    item.index = itemIndex;
    cmcCellCapsule capsule;
    capsule.parentCapsule = &openerCapsule;
    return Run(item, capsule);
}

datCh CellWorld::Load(uint32_t kind, int index) {
    datCh record = organisation.Record();
    record.Load(kind, index);
    return record;
}

void FillChannels(CellWorld& world, const std::vector<int>& channelsPerGroup) {
    uint8_t* bytes = world.image.Data();
    datCh channel = world.organisation.Record();
    channel.Load(datKind::Mch, 0); // the default image's first channel as the pattern
    int slot = 0;
    for (size_t g = 0; g < channelsPerGroup.size(); ++g) {
        for (int i = 0; i < channelsPerGroup[g]; ++i, ++slot) {
            const int address = memmap::ChannelAddress(slot);
            std::copy(bytes + memmap::ChannelAddress(0), bytes + memmap::ChannelAddress(0) + 14,
                      bytes + address);
            memmap::Put32(bytes, memmap::OrganisationWords + 4 * slot,
                          uint32_t(g) << 13 | uint32_t(slot) << 2);
            memmap::Put16(bytes, memmap::OrderList + 2 * slot, uint16_t(slot));
            memmap::PutBit(bytes, memmap::ChannelEmptyBits, slot, false);
            std::fill(bytes + memmap::NameTextAddress(slot),
                      bytes + memmap::NameTextAddress(slot) + 16, ' ');
            std::fill(bytes + memmap::NameNumberAddress(slot),
                      bytes + memmap::NameNumberAddress(slot) + 3, ' ');
        }
    }
    for (int rest = slot; rest < memmap::Channels; ++rest) {
        memmap::Put16(bytes, memmap::OrderList + 2 * rest, memmap::NoSlot);
        memmap::PutBit(bytes, memmap::ChannelEmptyBits, rest, true);
        memmap::Put32(bytes, memmap::OrganisationWords + 4 * rest, memmap::EmptyOrganisationWord);
    }
    world.organisation.Adopt();
    world.saved.Assign(world.image);
}
