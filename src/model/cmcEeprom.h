#pragma once

#include <cstdint>
#include <memory>

// Sizes and addresses of the receiver's memory image.
constexpr int ImageSize = 117952;     // every image the document creates
constexpr int MapSize = 116800;       // addresses 0 to 116,799 carry the memory map
constexpr int MarkerAddress = 116784; // the 16-byte format marker, last 16 bytes of the map
constexpr char FormatMarker[] = "TarnCloneFormat3";
constexpr int FormatMarkerLength = 16;

// A memory image: an owned array of bytes. It knows nothing of what its bytes mean.
class cmcEeprom {
  public:
    cmcEeprom() = default;
    cmcEeprom(const cmcEeprom&) = delete;
    cmcEeprom& operator=(const cmcEeprom&) = delete;

    // Resizes to n bytes (none for n <= 0) and clears every byte to 0x00.
    void SetSize(int n);
    int GetSize() const { return size_; }
    bool IsValidAddress(int64_t address) const { return address >= 0 && address < size_; }
    void Fill(int value);

    // Out-of-range addresses are programming errors: a fatal box, then the process ends.
    void SetByte(int address, int value);
    uint8_t GetByte(int address) const;

    // Copy n bytes in or out; a request not wholly inside the image copies nothing.
    void SetBytes(int address, const uint8_t* source, int n);
    void GetBytes(int address, uint8_t* destination, int n) const;

    void Assign(const cmcEeprom& other);
    bool IsEqual(const cmcEeprom& other) const;
    bool IsDifferent(const cmcEeprom& other) const { return !IsEqual(other); }

    // Direct access for the memory map and codec, which address the data by map address.
    uint8_t* Data() { return data_.get(); }
    const uint8_t* Data() const { return data_.get(); }

    // True when the format marker stands at MarkerAddress.
    bool HasFormatMarker() const;

  private:
    bool IsValidRange(int address, int n) const;

    int size_ = 0;
    std::unique_ptr<uint8_t[]> data_;
};
