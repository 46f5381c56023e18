#include "model/indDestination.h"

#include "model/cmcFrequency.h"
#include "model/cmcValueTables.h"

#include <vector>

namespace {

using clsRange = indDestination::clsRange;

constexpr uint32_t EmptyBound = 0xFFFFFFFF;
constexpr uint32_t BandTop = 1300000001;

// The restricted-range sets; which one a destination uses is RangeSetOf.
const std::vector<clsRange> RangeSets[] = {
    // A
    {{252900000, 255099999},
     {261900000, 266099999},
     {270900000, 275099999},
     {379900000, 382099999},
     {411900000, 415099999},
     {809900000, 834099999},
     {859900000, 889099999},
     {914900000, 960099999}},
    // B
    {{30000000, 49999999}, {137000000, 143999999}, {146005000, 429999999}, {440005000, 1239999999}},
    // C
    {{30000000, 49999999}, {52005000, 143999999}, {146005000, 429999999}, {440005000, 1239999999}},
    // D
    {{30000000, 49999999}, {52005000, 143999999}, {146005000, 431999999}, {438005000, 1239999999}},
    // E
    {{30000000, 49999999},
     {51005000, 87999999},
     {108000000, 143999999},
     {146005000, 429999999},
     {434005000, 434999999},
     {438005000, 1239999999},
     {1245005000, 1269999999},
     {1298005000, 1300000001}},
    // F
    {{30000000, 50199999},
     {51205000, 87999999},
     {108000000, 143999999},
     {146005000, 429999999},
     {440005000, 1239999999}},
    // G
    {{150000, 143999999}, {146005000, 429999999}, {440005000, 1300000001}},
    // H
    {{150000, 143999999}, {146005000, 429999999}, {434005000, 434999999}, {438005000, 1300000001}},
};
constexpr int NoRangeSet = -1;

int RangeSetOf(int destination) {
    switch (destination) {
    case 1:
        return 1;
    case 2:
        return 2;
    case 3:
        return 3;
    case 4:
        return 4;
    case 5:
    case 7:
        return NoRangeSet;
    case 11:
        return 5;
    case 12:
        return 6;
    case 13:
        return 7;
    default:
        return 0; // 0, 6, 8, 9, 10, 14 and anything else
    }
}

// Cellular ranges blocked while FCC inhibit is on: wide for WFM, narrow otherwise.
constexpr clsRange CellularWfm[] = {{822000000, 850999999}, {867000000, 895999999}};
constexpr clsRange CellularOther[] = {{824000000, 848999999}, {869000000, 893999999}};

template <class Ranges> bool InAny(const Ranges& ranges, uint32_t f) {
    for (const clsRange& range : ranges)
        if (range.low != EmptyBound && f >= range.low && f <= range.high) return true;
    return false;
}

// The automatic mode: ascending exclusive upper bounds; the first bound above f decides.
struct AutoBound {
    uint32_t upper;
    int mode;
};
constexpr int Fm = values::ModeFm, Wfm = values::ModeWfm, Am = values::ModeAm;
constexpr AutoBound AutoModesJapan[] = {
    {290000, Fm},     {30000000, Am},  {35530000, Fm},   {51000000, Am},   {76000000, Fm},
    {108000000, Wfm}, {137000000, Am}, {175750000, Fm},  {221800000, Wfm}, {251000000, Am},
    {255000000, Fm},  {262000000, Am}, {266000000, Fm},  {271000000, Am},  {275000000, Fm},
    {336000000, Am},  {470000000, Fm}, {769800000, Wfm}, {940000000, Fm},  {1260000000, Wfm},
    {EmptyBound, Fm}};
constexpr AutoBound AutoModesUsa[] = {{30000000, Am},  {76000000, Fm},  {108000000, Wfm},
                                      {137000000, Am}, {255100000, Fm}, {382100000, Am},
                                      {EmptyBound, Fm}};

template <class Table> int LookUpAutoMode(const Table& table, uint32_t f) {
    for (const AutoBound& bound : table)
        if (f < bound.upper) return bound.mode;
    return Fm;
}

} // namespace

indDestination::indDestination(int destination, bool fccInhibit, bool rxExpansion) {
    Set(destination, fccInhibit, rxExpansion);
}

indDestination& indDestination::Active() {
    static indDestination active;
    return active;
}

void indDestination::SetFlags(bool fccInhibit, bool rxExpansion) {
    fccInhibit_ = fccInhibit;
    rxExpansion_ = rxExpansion;
}

void indDestination::Set(int destination, bool fccInhibit, bool rxExpansion) {
    index_ = destination;
    SetFlags(fccInhibit, rxExpansion);
    ApplyBandLimits(destination);
}

void indDestination::ApplyBandLimits(int destination) {
    limitsFor_ = destination;
    restricted_.fill({EmptyBound, EmptyBound});
    const int set = RangeSetOf(destination);
    if (set != NoRangeSet) {
        size_t slot = 0;
        for (const clsRange& range : RangeSets[set])
            restricted_[slot++] = range;
    }
    bands_ = {495000,    1625000,   30000000,  FmBroadcastStart(destination),
              108000000, 137000000, 255100000, 382100000,
              769800000, 960100000, BandTop};
}

int indDestination::BandOf(uint32_t f) const {
    int band = 0;
    for (int edge = 0; edge < BandEdges; ++edge)
        if (bands_[size_t(edge)] <= f) ++band;
    return band;
}

int indDestination::AutoModeOf(uint32_t f) const {
    if (index_ == 0) return LookUpAutoMode(AutoModesJapan, f);
    if (index_ == 5) return LookUpAutoMode(AutoModesUsa, f);
    return Fm;
}

bool indDestination::IsWfm(uint32_t f, uint32_t mode) const {
    return mode == values::ModeWfm || (mode == values::ModeAuto && AutoModeOf(f) == Wfm);
}

int indDestination::FrequencyClass(uint32_t f, uint32_t mode) const {
    if (f < CoverageLowHz || f > CoverageHighHz) return 1;
    if (fccInhibit_) {
        const bool blocked = IsWfm(f, mode) ? InAny(CellularWfm, f) : InAny(CellularOther, f);
        if (blocked) return 1;
    }
    return InAny(restricted_, f) ? 0 : 2;
}

bool indDestination::IsFrequencyNotAllowed(uint32_t f, uint32_t mode) const {
    const int frequencyClass = FrequencyClass(f, mode);
    return frequencyClass == 1 || (frequencyClass == 0 && !rxExpansion_);
}

bool indDestination::IsBlockedWfm(uint32_t f, uint32_t mode) const {
    return fccInhibit_ && IsWfm(f, mode) && InAny(CellularWfm, f) && !InAny(CellularOther, f);
}

int indDestination::DefaultImageOf(int destination) {
    return destination >= 0 && destination < Count ? destination : 0;
}

std::string indDestination::Label(int destination) {
    static const char* const Labels[] = {"JPN", "EUR", "UK",  "DEN",     "Unknown", "USA", "AUS",
                                         "EXP", "TPE", "KOR", "Unknown", "FRA",     "ESP", "ITA2"};
    return destination >= 0 && destination < Count ? Labels[destination] : "Unknown";
}

uint32_t indDestination::FmBroadcastStart(int destination) {
    switch (destination) {
    case 1:
    case 2:
    case 3:
    case 4:
    case 12:
    case 13:
        return 88000000;
    case 11:
        return 87500000;
    default:
        return 76000000;
    }
}
