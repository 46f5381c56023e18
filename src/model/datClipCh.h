#pragma once

// The channel clipboard: decoded records copied from one list and pasted into another.
// It holds records, not image bytes, so pasting after New or Open stores them into the new
// image with the organisation of the slots they land in.

#include "model/datCh.h"

#include <vector>

class cmcOrganisation;

class cmcClipCh {
  public:
    virtual ~cmcClipCh() = default;

    virtual void Release();
    // Copies count records of a kind from index first on. Auto-write rows are mapped to
    // their slots; a row without one gives an empty record.
    virtual void CopyFrom(const cmcOrganisation& organisation, uint32_t kind, int first, int count);
    virtual void LoadOne(const cmcOrganisation& organisation, uint32_t kind, int index,
                         datCh& record);
    virtual bool Accepts(uint32_t kind) const { return kind_ != 0 && kind_ == kind; }
    // Stores the records at first, first + 1, ... for as many as both counts allow.
    virtual void PasteTo(const cmcOrganisation& organisation, uint32_t kind, int first, int count);
    virtual void StoreOne(const cmcOrganisation& organisation, uint32_t kind, int index,
                          datCh& record);

    uint32_t Kind() const { return kind_; }
    int FirstIndex() const { return first_; }
    int Count() const { return static_cast<int>(records_.size()); }
    const std::vector<datCh>& Records() const { return records_; }
    // Auto-write records are held as memory channels, pasted into memory channels only.
    void HoldAs(uint32_t kind) { kind_ = kind; }
    // Holds records read from elsewhere (rows of a spreadsheet) as records of a kind.
    void Hold(uint32_t kind, std::vector<datCh> records) {
        Release();
        kind_ = records.empty() ? 0 : kind;
        records_ = std::move(records);
    }

  protected:
    std::vector<datCh> records_;
    uint32_t kind_ = 0;
    int first_ = 0;
};

class datClipCh : public cmcClipCh {
  public:
    // With keepOrganisation the stored channel takes the category, group and name of the
    // slot it lands in, so only the channel data is replaced.
    void StoreOne(const cmcOrganisation& organisation, uint32_t kind, int index,
                  datCh& record) override;
    void PasteKeepingOrganisation(const cmcOrganisation& organisation, uint32_t kind, int first,
                                  int count);

  private:
    uint16_t keepOrganisation_ = 0;
};
