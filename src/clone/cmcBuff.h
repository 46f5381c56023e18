#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

// A growable byte buffer that also serves as a queue. Taking bytes from the front only
// moves the read position; the taken prefix is reclaimed once it exceeds 4,096 bytes, so
// taking single bytes from a long queue rarely copies.
class cmcBuff {
  public:
    static constexpr uint8_t FillByte = 0;
    static constexpr size_t ReclaimAfter = 4096;

    cmcBuff();
    cmcBuff(const cmcBuff& other);
    cmcBuff& operator=(const cmcBuff& other);
    ~cmcBuff() = default;

    size_t Length() const { return length_; }
    bool IsEmpty() const { return length_ == 0; }
    uint8_t* Data() { return storage_.get() + start_; }
    const uint8_t* Data() const { return storage_.get() + start_; }
    size_t Capacity() const { return capacity_; }

    // Grows (new bytes are the fill byte) or shortens; the contents keep their first bytes.
    void SetLength(size_t n);
    void Assign(const uint8_t* bytes, size_t n);
    void Append(const uint8_t* bytes, size_t n);
    void Append(uint8_t byte);
    void AppendRepeated(uint8_t byte, size_t n);
    void Append(const cmcBuff& other);
    void Copy(const cmcBuff& other) { *this = other; }

    // The byte at index, which must be below the length: anything else is a programming
    // error and ends the program.
    uint8_t* Element(size_t index);
    const uint8_t* Element(size_t index) const;
    uint8_t operator[](size_t index) const { return *Element(index); }

    // The first byte as 0..255, taken off the front; -1 when empty.
    int TakeFirst();
    // Drops up to n bytes from the front.
    void DropFront(size_t n);

    // Frees the storage and starts again empty with capacity 1.
    void Clear();
    // Copies the contents to a block of exactly their length (at least 1).
    void Compact();

  private:
    void Reallocate(size_t capacity);
    void AfterTake();

    std::unique_ptr<uint8_t[]> storage_;
    size_t capacity_ = 1;
    size_t start_ = 0; // read position: the first byte of the contents
    size_t length_ = 0;
};
