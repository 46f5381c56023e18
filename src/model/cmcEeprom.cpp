#include "model/cmcEeprom.h"

#include "platform/cmcPlatform.h"

#include <algorithm>
#include <cstring>

void cmcEeprom::SetSize(int n) {
    if (n != size_) {
        data_.reset();
        size_ = 0;
        if (n > 0) {
            data_ = std::make_unique<uint8_t[]>(static_cast<size_t>(n));
            size_ = n;
        }
    }
    if (size_ > 0) std::memset(data_.get(), 0, static_cast<size_t>(size_));
}

void cmcEeprom::Fill(int value) {
    if (size_ > 0) std::memset(data_.get(), value & 0xFF, static_cast<size_t>(size_));
}

void cmcEeprom::SetByte(int address, int value) {
    if (!IsValidAddress(address)) cmcFatal("Out of EEPROM image address (SetByte).");
    data_[static_cast<size_t>(address)] = static_cast<uint8_t>(value);
}

uint8_t cmcEeprom::GetByte(int address) const {
    if (!IsValidAddress(address)) cmcFatal("Out of EEPROM image address (GetByte).");
    return data_[static_cast<size_t>(address)];
}

bool cmcEeprom::IsValidRange(int address, int n) const {
    return IsValidAddress(address) && n > 0 && int64_t(address) + n <= size_;
}

void cmcEeprom::SetBytes(int address, const uint8_t* source, int n) {
    if (!IsValidRange(address, n)) return;
    std::memcpy(data_.get() + address, source, static_cast<size_t>(n));
}

void cmcEeprom::GetBytes(int address, uint8_t* destination, int n) const {
    if (!IsValidRange(address, n)) return;
    std::memcpy(destination, data_.get() + address, static_cast<size_t>(n));
}

void cmcEeprom::Assign(const cmcEeprom& other) {
    if (&other == this) return;
    SetSize(other.size_);
    if (size_ > 0) std::memcpy(data_.get(), other.data_.get(), static_cast<size_t>(size_));
}

bool cmcEeprom::IsEqual(const cmcEeprom& other) const {
    if (size_ != other.size_) return false;
    return size_ == 0 || std::memcmp(data_.get(), other.data_.get(), size_t(size_)) == 0;
}

bool cmcEeprom::HasFormatMarker() const {
    if (!IsValidRange(MarkerAddress, FormatMarkerLength)) return false;
    return std::memcmp(data_.get() + MarkerAddress, FormatMarker, FormatMarkerLength) == 0;
}
