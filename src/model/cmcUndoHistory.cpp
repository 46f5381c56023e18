#include "model/cmcUndoHistory.h"

#include <algorithm>
#include <cstring>

namespace {

// Equal bytes that end a run of changed ones: fewer cost less inside the run than the
// header of a new one.
constexpr size_t RunBreak = 4;
constexpr size_t WordBytes = sizeof(uint64_t);

void PutCount(std::vector<uint8_t>& out, size_t n) {
    while (n >= 0x80) {
        out.push_back(static_cast<uint8_t>(n | 0x80));
        n >>= 7;
    }
    out.push_back(static_cast<uint8_t>(n));
}

size_t TakeCount(const uint8_t*& in) {
    size_t n = 0;
    for (int shift = 0;; shift += 7) {
        const uint8_t byte = *in++;
        n |= size_t(byte & 0x7F) << shift;
        if (!(byte & 0x80)) return n;
    }
}

// The first position from `at` where the two arrays differ, n when none. Equal stretches
// are passed a word at a time.
size_t NextDifference(const uint8_t* a, const uint8_t* b, size_t at, size_t n) {
    while (at + WordBytes <= n && std::memcmp(a + at, b + at, WordBytes) == 0)
        at += WordBytes;
    while (at < n && a[at] == b[at])
        ++at;
    return at;
}

// The end of the run of changed bytes that starts at `at`: the first of RunBreak equal
// bytes in a row, or n.
size_t RunEnd(const uint8_t* a, const uint8_t* b, size_t at, size_t n) {
    size_t equal = 0;
    for (; at < n; ++at) {
        if (a[at] != b[at]) {
            equal = 0;
        } else if (++equal == RunBreak) {
            return at + 1 - RunBreak;
        }
    }
    return n - equal;
}

// The exclusive-or of two images of n bytes as runs of (skip, length, bytes).
std::vector<uint8_t> Encode(const uint8_t* before, const uint8_t* after, size_t n) {
    std::vector<uint8_t> delta;
    size_t done = 0;
    for (size_t at = NextDifference(before, after, 0, n); at < n;
         at = NextDifference(before, after, done, n)) {
        const size_t end = RunEnd(before, after, at, n);
        PutCount(delta, at - done);
        PutCount(delta, end - at);
        for (size_t i = at; i < end; ++i)
            delta.push_back(before[i] ^ after[i]);
        done = end;
    }
    delta.shrink_to_fit();
    return delta;
}

void ApplyDelta(const std::vector<uint8_t>& delta, uint8_t* bytes) {
    const uint8_t* in = delta.data();
    const uint8_t* end = in + delta.size();
    size_t at = 0;
    while (in < end) {
        at += TakeCount(in);
        const size_t length = TakeCount(in);
        for (size_t i = 0; i < length; ++i)
            bytes[at + i] ^= in[i];
        in += length;
        at += length;
    }
}

} // namespace

void cmcUndoHistory::Reset(const cmcEeprom& image) {
    steps_.clear();
    done_ = 0;
    base_.assign(image.Data(), image.Data() + image.GetSize());
}

bool cmcUndoHistory::Differs(const cmcEeprom& image) const {
    const size_t n = base_.size();
    if (size_t(image.GetSize()) != n) return true;
    return NextDifference(base_.data(), image.Data(), 0, n) < n;
}

bool cmcUndoHistory::Record(const cmcEeprom& image, int action, const clsUndoPlace& place) {
    if (!Differs(image)) return false;
    if (size_t(image.GetSize()) != base_.size()) { // not the document's image: start again
        Reset(image);
        return false;
    }
    steps_.resize(done_);
    steps_.push_back({Encode(base_.data(), image.Data(), base_.size()), action, place});
    if (steps_.size() > StepLimit) steps_.pop_front();
    done_ = steps_.size();
    std::memcpy(base_.data(), image.Data(), base_.size());
    return true;
}

void cmcUndoHistory::Absorb(const cmcEeprom& image) {
    if (!Differs(image)) return;
    if (size_t(image.GetSize()) != base_.size()) return Reset(image);
    // Redoing what was undone would now start from an image it was not made on.
    steps_.resize(done_);
    if (done_ > 0) {
        clsStep& last = steps_[done_ - 1];
        std::vector<uint8_t> before = base_;
        ApplyDelta(last.delta, before.data());
        last.delta = Encode(before.data(), image.Data(), before.size());
    }
    std::memcpy(base_.data(), image.Data(), base_.size());
}

const clsUndoPlace& cmcUndoHistory::Apply(const clsStep& step, cmcEeprom& image) {
    ApplyDelta(step.delta, base_.data());
    std::memcpy(image.Data(), base_.data(), base_.size());
    return step.place;
}

const clsUndoPlace* cmcUndoHistory::Undo(cmcEeprom& image) {
    if (!CanUndo() || size_t(image.GetSize()) != base_.size()) return nullptr;
    return &Apply(steps_[--done_], image);
}

const clsUndoPlace* cmcUndoHistory::Redo(cmcEeprom& image) {
    if (!CanRedo() || size_t(image.GetSize()) != base_.size()) return nullptr;
    return &Apply(steps_[done_++], image);
}

size_t cmcUndoHistory::MemoryBytes() const {
    size_t bytes = base_.capacity();
    for (const clsStep& step : steps_)
        bytes += sizeof(clsStep) + step.delta.capacity() + step.place.address.capacity();
    return bytes;
}
