#include "files/cmcTcfFile.h"

#include "catalogue/cmcGTex.h"
#include "files/cmcReadCapped.h"
#include "files/cmcSafeWrite.h"
#include "platform/cmcPlatform.h"

#include <cstdio>

namespace {

// Message keys of the result codes 1..9.
constexpr const char* ErrorKeys[] = {
    nullptr,
    "GI_Mess_FileErr_FileOpen",
    "GI_Mess_FileErr_FileAccess",
    "GI_Mess_FileErr_Model",
    "GI_Mess_FileErr_Extra",
    "GI_Mess_FileErr_MapRev",
    "GI_Mess_FileErr_Format",
    "GI_Mess_FileErr_Coverage",
    "GI_Mess_FileErr_Data",
    "GI_Mess_FileErr_Newer",
};

constexpr char HexDigits[] = "0123456789ABCDEF";

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

uint64_t HexNumber(std::string_view digits) {
    uint64_t value = 0;
    for (char c : digits)
        value = value * 16 + static_cast<uint64_t>(HexValue(c));
    return value;
}

void AppendHex(std::string& out, uint32_t value, int digits) {
    for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4)
        out += HexDigits[(value >> shift) & 15];
}

// The next line as one read of a text line yields it: up to ReadPieceLimit characters and
// then its line end, "\r\n" or "\n", which the limit does not count. A longer line comes
// in pieces of ReadPieceLimit characters, none of which ends in "\n".
std::string_view NextPiece(std::string_view& rest) {
    constexpr size_t limit = cmcTcfFile::ReadPieceLimit;
    size_t length = std::min(rest.size(), limit);
    const size_t end = rest.substr(0, limit + 2).find('\n');
    const bool crBefore = end != std::string_view::npos && end > 0 && rest[end - 1] == '\r';
    if (end != std::string_view::npos && end - (crBefore ? 1 : 0) <= limit) length = end + 1;
    std::string_view piece = rest.substr(0, length);
    rest.remove_prefix(length);
    return piece;
}

// A line without its line end. A piece without "\n" (a last line without a line end, or
// part of an over-long line) loses its last character all the same, so it fails the
// length rules instead of being taken short.
std::string_view WithoutLineEnd(std::string_view piece) {
    if (piece.empty()) return piece;
    if (piece.back() != '\n') return piece.substr(0, piece.size() - 1);
    piece.remove_suffix(1);
    if (!piece.empty() && piece.back() == '\r') piece.remove_suffix(1);
    return piece;
}

void SetBit(std::vector<uint8_t>& set, int64_t address) {
    set[address / 8] |= static_cast<uint8_t>(1u << (address % 8));
}

} // namespace

void cmcTcfFile::AttachImage(cmcEeprom& image) {
    image_ = &image;
    const size_t setBytes = (static_cast<size_t>(image.GetSize()) + 7) / 8;
    loaded_.assign(setBytes, 0);
    required_.assign(setBytes, 0);
}

// Sets the bits of each range until the end pair or a range outside the image.
void cmcTcfFile::MarkRanges(std::vector<uint8_t>& set, std::span<const cmcTcfRange> ranges) const {
    for (const cmcTcfRange& range : ranges) {
        if (range.first > range.last) break;
        if (!image_->IsValidAddress(range.first) || !image_->IsValidAddress(range.last)) break;
        for (int64_t a = range.first; a <= range.last; ++a)
            SetBit(set, a);
    }
}

std::string cmcTcfFile::Render(std::span<const cmcTcfRange> ranges) const {
    std::string out;
    out.reserve(static_cast<size_t>(image_->GetSize()) * 2 + image_->GetSize() / 16 * 12 + 64);
    AppendHex(out, static_cast<uint32_t>(modelWord_), 4);
    AppendHex(out, static_cast<uint32_t>(extraWord_), 4);
    out += "\r\n#";
    // A line break in the comment would turn its rest into a bad data line.
    for (char c : comment_)
        out += (c == '\r' || c == '\n') ? ' ' : c;
    out += "\r\n";
    const uint8_t* bytes = image_->Data();
    for (const cmcTcfRange& range : ranges) {
        if (range.first > range.last) break;
        if (!image_->IsValidAddress(range.first) || !image_->IsValidAddress(range.last)) break;
        int64_t a = range.first;
        while (a <= range.last) {
            int64_t n = LineWidth - a % LineWidth;
            if (a + n - 1 > range.last) n = range.last - a + 1;
            AppendHex(out, static_cast<uint32_t>(a), 8);
            AppendHex(out, static_cast<uint32_t>(n), 2);
            for (int64_t i = 0; i < n; ++i)
                AppendHex(out, bytes[a + i], 2);
            out += "\r\n";
            a += n;
        }
    }
    return out;
}

int cmcTcfFile::Write(const std::string& path, std::span<const cmcTcfRange> ranges) {
    if (!image_) cmcFatal("cmcTcfFile: no image attached.");
    const int code = WriteFile(path, Render(ranges));
    ShowFileError(code);
    return code;
}

// The file is replaced only when all of it is on disk, so a failed save never harms the old
// file.
int cmcTcfFile::WriteFile(const std::string& path, const std::string& text) const {
    switch (cmcSafeWrite(path, text)) {
    case clsSafeWriteResult::Ok:
        return Ok;
    case clsSafeWriteResult::CannotCreate:
        return FileOpen;
    case clsSafeWriteResult::CannotWrite:
        break;
    }
    return FileAccess;
}

int cmcTcfFile::Read(const std::string& path, std::span<const cmcTcfRange> ranges) {
    if (!image_) cmcFatal("cmcTcfFile: no image attached.");
    std::string bytes;
    const int code = ReadCapped(path, bytes);
    if (code != Ok) {
        ShowFileError(code);
        return code;
    }
    return ReadBytes(bytes, ranges);
}

// Anything larger than MaxFileBytes is no clone data file.
int cmcTcfFile::ReadCapped(const std::string& path, std::string& bytes) {
    switch (cmcReadCapped(path, MaxFileBytes, bytes)) {
    case cmcReadResult::Ok:
        return Ok;
    case cmcReadResult::TooLarge:
        return Format;
    case cmcReadResult::Unreadable:
        break;
    }
    return FileOpen;
}

// The file is checked whole before any byte is stored, so a failed read leaves the image
// as it was without keeping a copy of it.
int cmcTcfFile::ReadBytes(std::string_view bytes, std::span<const cmcTcfRange> ranges) {
    if (!image_) cmcFatal("cmcTcfFile: no image attached.");
    std::fill(loaded_.begin(), loaded_.end(), 0);
    int code = bytes.size() > MaxFileBytes ? Format : Parse(bytes, ranges, false);
    if (code == Ok) Parse(bytes, {}, true);
    ShowFileError(code);
    return code;
}

int cmcTcfFile::Parse(std::string_view bytes, std::span<const cmcTcfRange> ranges, bool store) {
    std::string_view rest = bytes;
    if (rest.empty()) return Format;
    const std::string_view header = WithoutLineEnd(NextPiece(rest));
    if (header.size() != 8) return Format;
    for (char c : header)
        if (c < '0' || c > '9') return Format;
    // Decimal digits only, each group then taken as hexadecimal.
    if (static_cast<int64_t>(HexNumber(header.substr(0, 4))) != modelWord_) return Model;
    if (static_cast<int64_t>(HexNumber(header.substr(4, 4))) != extraWord_) return Extra;

    while (!rest.empty()) {
        const std::string_view piece = NextPiece(rest);
        if (piece.front() == '#') continue;
        const int code = ParseDataLine(WithoutLineEnd(piece), store);
        if (code != Ok) return code;
    }
    if (ranges.empty()) return Ok;
    return CheckCoverage(ranges);
}

// Checks one data line and marks its addresses as loaded; with store, puts its bytes into
// the image.
int cmcTcfFile::ParseDataLine(std::string_view line, bool store) {
    if (line.size() < 12 || line.size() > 520) return Format;
    for (char c : line)
        if (HexValue(c) < 0) return Format;
    const uint64_t address = HexNumber(line.substr(0, 8));
    const uint64_t count = HexNumber(line.substr(8, 2));
    if (line.size() != 10 + 2 * count) return Format;
    // In 64 bits: an address near 2^32 must not wrap into the image.
    if (address + count > static_cast<uint64_t>(image_->GetSize())) return Data;

    if (!store) {
        for (uint64_t a = address; a < address + count; ++a)
            SetBit(loaded_, static_cast<int64_t>(a));
        return Ok;
    }
    uint8_t* bytes = image_->Data() + address;
    for (uint64_t i = 0; i < count; ++i)
        bytes[i] = static_cast<uint8_t>(HexNumber(line.substr(10 + 2 * i, 2)));
    return Ok;
}

int cmcTcfFile::CheckCoverage(std::span<const cmcTcfRange> ranges) {
    if (ranges.empty() || !image_) return Coverage;
    std::fill(required_.begin(), required_.end(), 0);
    MarkRanges(required_, ranges);
    if (loaded_ == required_) return Ok;
    for (size_t i = 0; i < loaded_.size(); ++i)
        if (loaded_[i] & ~required_[i]) return Data;
    return Coverage;
}

void cmcTcfFile::ShowFileError(int code) {
    if (code < 1 || code > 9) return;
    cmcGTex& texts = cmcGTex::Process();
    const std::string text =
        texts.GetText("GI_Mess_FileErr_Headline") + "\n\n" + texts.GetText(ErrorKeys[code]);
    cmcMessage(text, texts.GetLine("GI_Sys_AppTitle", 0), MsgIcon::Warning);
}
