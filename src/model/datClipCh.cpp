#include "model/datClipCh.h"

#include "model/cmcOrganisation.h"

void cmcClipCh::Release() {
    records_.clear();
    kind_ = 0;
    first_ = 0;
}

void cmcClipCh::CopyFrom(const cmcOrganisation& organisation, uint32_t kind, int first, int count) {
    Release();
    kind_ = kind;
    first_ = first;
    for (int i = 0; i < count; ++i) {
        records_.push_back(organisation.Record());
        LoadOne(organisation, kind, first + i, records_.back());
    }
}

void cmcClipCh::LoadOne(const cmcOrganisation& organisation, uint32_t kind, int index,
                        datCh& record) {
    if (kind != datKind::AutoMWCH) {
        record.Load(kind, index);
        return;
    }
    const int slot = datLookup::AutoWriteSlotOfRow(organisation.Image(), index);
    if (slot >= 0) {
        record.Load(kind, slot);
        return;
    }
    record.Clear();
    record.kind = kind;
    record.index = index;
    record.SetInUse(false);
}

void cmcClipCh::PasteTo(const cmcOrganisation& organisation, uint32_t kind, int first, int count) {
    if (!Accepts(kind)) return;
    for (int i = 0; i < Count() && i < count; ++i) {
        datCh record = records_[size_t(i)];
        StoreOne(organisation, kind, first + i, record);
    }
}

void cmcClipCh::StoreOne(const cmcOrganisation& organisation, uint32_t kind, int index,
                         datCh& record) {
    // The record is bound to the document it is pasted into, not the one it came from.
    record.SetImage(&organisation.Image());
    record.SetOrganisation(&organisation);
    record.kind = kind;
    record.Store(kind, index);
}

void datClipCh::StoreOne(const cmcOrganisation& organisation, uint32_t kind, int index,
                         datCh& record) {
    if (keepOrganisation_) {
        datCh target = organisation.Record();
        target.Load(kind, index);
        record.category = target.category;
        record.group = target.group;
        record.nameIndex = target.nameIndex;
    }
    cmcClipCh::StoreOne(organisation, kind, index, record);
}

void datClipCh::PasteKeepingOrganisation(const cmcOrganisation& organisation, uint32_t kind,
                                         int first, int count) {
    keepOrganisation_ = 1;
    PasteTo(organisation, kind, first, count);
    keepOrganisation_ = 0;
}
