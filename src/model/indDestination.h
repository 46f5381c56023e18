#pragma once

// The destination (region version) of the receiver and the frequency rules that follow
// from it: restricted ranges, the band table, the automatic mode, and the two receiver
// flags (FCC inhibit, receive expansion). The program keeps one active destination,
// refreshed from the settings store; tests make their own.

#include <array>
#include <cstdint>
#include <string>

class indDestination {
  public:
    static constexpr int Count = 14;  // region versions 0..13
    static constexpr int None = 14;   // no (or an unusable) destination
    static constexpr int Ranges = 10; // restricted-range slots
    static constexpr int BandEdges = 10;

    struct clsRange {
        uint32_t low;
        uint32_t high; // both included
    };

    // Applies the band limits of the destination.
    explicit indDestination(int destination = None, bool fccInhibit = false,
                            bool rxExpansion = false);

    // The process-wide destination of the running program.
    static indDestination& Active();

    // The installed destination: normalisation, canceller, warnings, correction.
    int Index() const { return index_; }
    void SetIndex(int destination) { index_ = destination; }
    bool FccInhibit() const { return fccInhibit_; }
    bool RxExpansion() const { return rxExpansion_; }
    void SetFlags(bool fccInhibit, bool rxExpansion);
    // Index, flags and band limits in one go.
    void Set(int destination, bool fccInhibit, bool rxExpansion);

    // Fills the restricted ranges and the band table for a destination; the installed
    // index is not changed.
    void ApplyBandLimits(int destination);
    int LimitsFor() const { return limitsFor_; } // the destination of the band limits

    int BandOf(uint32_t f) const;
    // The mode "Auto" becomes at f: 0 FM, 1 WFM, 2 AM (FM except for destinations 0, 5).
    int AutoModeOf(uint32_t f) const;
    bool IsWfm(uint32_t f, uint32_t mode) const;
    // 1 outside coverage or a blocked cellular range; 0 restricted; 2 otherwise.
    int FrequencyClass(uint32_t f, uint32_t mode) const;
    bool IsFrequencyNotAllowed(uint32_t f, uint32_t mode) const;
    // FCC inhibit on, WFM at f, inside the wide cellular ranges but outside the narrow ones.
    bool IsBlockedWfm(uint32_t f, uint32_t mode) const;

    // Features of the installed destination.
    bool HasAutoModeAndStep() const { return index_ == 0 || index_ == 5; }
    bool HasCanceller() const { return index_ == 0; }
    bool RaisesWarnings() const { return index_ != None; }

    const std::array<clsRange, Ranges>& RestrictedRanges() const { return restricted_; }
    const std::array<uint32_t, BandEdges + 1>& BandTable() const { return bands_; }

    // The default image of a destination (0 outside 0..13).
    static int DefaultImageOf(int destination);
    // "JPN", "EUR", ... as the clone information shows byte 16; "Unknown" otherwise.
    static std::string Label(int destination);
    // Where the FM broadcast band starts.
    static uint32_t FmBroadcastStart(int destination);

  private:
    int index_ = None;
    int limitsFor_ = None;
    bool fccInhibit_ = false;
    bool rxExpansion_ = false;
    std::array<clsRange, Ranges> restricted_{};
    std::array<uint32_t, BandEdges + 1> bands_{};
};
