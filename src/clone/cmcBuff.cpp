#include "clone/cmcBuff.h"

#include "platform/cmcPlatform.h"

#include <algorithm>
#include <cstring>

cmcBuff::cmcBuff() : storage_(std::make_unique<uint8_t[]>(1)) {}

cmcBuff::cmcBuff(const cmcBuff& other) : cmcBuff() {
    Assign(other.Data(), other.length_);
}

cmcBuff& cmcBuff::operator=(const cmcBuff& other) {
    if (&other != this) Assign(other.Data(), other.length_);
    return *this;
}

void cmcBuff::Reallocate(size_t capacity) {
    capacity = std::max<size_t>(capacity, 1);
    auto fresh = std::make_unique<uint8_t[]>(capacity);
    const size_t kept = std::min(length_, capacity);
    if (kept > 0) std::memcpy(fresh.get(), Data(), kept);
    std::memset(fresh.get() + kept, FillByte, capacity - kept);
    storage_ = std::move(fresh);
    capacity_ = capacity;
    start_ = 0;
}

void cmcBuff::SetLength(size_t n) {
    if (start_ + n > capacity_) {
        if (n > capacity_ - start_ && n <= capacity_ && start_ > 0) {
            // Room behind the read position is enough: move the contents to the front.
            std::memmove(storage_.get(), Data(), length_);
            start_ = 0;
        } else {
            Reallocate(n + length_ / 4);
        }
    }
    if (n > length_) std::memset(Data() + length_, FillByte, n - length_);
    length_ = n;
}

void cmcBuff::Assign(const uint8_t* bytes, size_t n) {
    length_ = 0;
    start_ = 0;
    SetLength(n);
    if (n > 0) std::memmove(Data(), bytes, n);
}

void cmcBuff::Append(const uint8_t* bytes, size_t n) {
    if (n == 0) return;
    const size_t old = length_;
    // bytes may point into this buffer: copy through a temporary when it does.
    const bool inside = bytes >= storage_.get() && bytes < storage_.get() + capacity_;
    if (inside) {
        cmcBuff copy;
        copy.Assign(bytes, n);
        SetLength(old + n);
        std::memcpy(Data() + old, copy.Data(), n);
        return;
    }
    SetLength(old + n);
    std::memcpy(Data() + old, bytes, n);
}

void cmcBuff::Append(uint8_t byte) {
    Append(&byte, 1);
}

void cmcBuff::AppendRepeated(uint8_t byte, size_t n) {
    const size_t old = length_;
    SetLength(old + n);
    std::memset(Data() + old, byte, n);
}

void cmcBuff::Append(const cmcBuff& other) {
    Append(other.Data(), other.length_);
}

uint8_t* cmcBuff::Element(size_t index) {
    if (index >= length_) cmcFatal("Out of cmcBuff element !");
    return Data() + index;
}

const uint8_t* cmcBuff::Element(size_t index) const {
    if (index >= length_) cmcFatal("Out of cmcBuff element !");
    return Data() + index;
}

int cmcBuff::TakeFirst() {
    if (length_ == 0) return -1;
    const int byte = *Data();
    ++start_;
    --length_;
    AfterTake();
    return byte;
}

void cmcBuff::DropFront(size_t n) {
    n = std::min(n, length_);
    start_ += n;
    length_ -= n;
    AfterTake();
}

void cmcBuff::AfterTake() {
    if (start_ > ReclaimAfter) Reallocate(length_);
}

void cmcBuff::Clear() {
    storage_ = std::make_unique<uint8_t[]>(1);
    storage_[0] = FillByte;
    capacity_ = 1;
    start_ = 0;
    length_ = 0;
}

void cmcBuff::Compact() {
    Reallocate(length_);
}
