// The editors of the data cells and the services of one call into the cell logic.

#include "catalogue/cmcGTex.h"
#include "events/cmcEvMan.h"
#include "events/cmcEvents.h"
#include "model/cmcFCache.h"
#include "model/cmcFrequency.h"
#include "model/cmcNameText.h"
#include "model/indCellCall.h"
#include "platform/cmcPlatform.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

namespace {

bool IsDigitKey(int key) {
    return key >= '0' && key <= '9';
}
bool IsSteppingKey(int key) {
    return key == cellKey::Space || key == cellKey::Backspace;
}
int StepOf(int key) {
    return key == cellKey::Space ? +1 : -1;
}

std::string Trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return {};
    const auto last = text.find_last_not_of(" \t\r\n");
    return text.substr(first, last - first + 1);
}

// The forms an input method in full-width mode gives the characters of a number.
char AsciiOfNumberCharacter(char32_t cp) {
    if (cp >= 0xFF10 && cp <= 0xFF19) return static_cast<char>('0' + (cp - 0xFF10));
    if (cp >= 0xFF21 && cp <= 0xFF26) return static_cast<char>('A' + (cp - 0xFF21));
    if (cp >= 0xFF41 && cp <= 0xFF46) return static_cast<char>('a' + (cp - 0xFF41));
    switch (cp) {
    case 0xFF0E: // full stop
    case 0x3002: // ideographic full stop
        return '.';
    case 0xFF0D: // hyphen-minus
    case 0x2212: // minus sign
    case 0x30FC: // prolonged sound mark, the minus of many kana keyboards
        return '-';
    case 0xFF0B:
        return '+';
    case 0x3000:
        return ' ';
    default:
        return 0;
    }
}

// Says in the status bar that typed text was not taken, so that it is not lost unseen.
void RefuseEntry(indCellCall& call) {
    if (Trimmed(call.capsule.inputText).empty()) return; // nothing typed, nothing lost
    const std::string text = cmcFillIn(call.logic.Catalogue().GetText("GI_AppMess_S_NotTaken"),
                                       {Trimmed(call.capsule.inputText)});
    call.SendText(ev::StatusText, std::intptr_t(clWindowText), int(clBtnFace), text);
}

} // namespace

std::string NumericText(const std::string& typed) {
    std::string text;
    for (size_t i = 0; i < typed.size();) {
        const size_t start = i;
        const std::optional<char32_t> cp = cmcDecodeUtf8(typed, i);
        if (!cp) {
            text += typed[i++];
            continue;
        }
        const char ascii = AsciiOfNumberCharacter(*cp);
        if (ascii)
            text += ascii;
        else
            text += typed.substr(start, i - start);
    }
    return text;
}

bool ReadsAsFrequency(const std::string& typed) {
    return ParseMegahertz(NumericText(typed), 0, UINT32_MAX).has_value();
}

// ---- The call ----

int indCellCall::ChosenValue() const {
    const cmcCellCapsule* item = capsule.parentCapsule;
    return item && item->cell ? item->cell->index : 0;
}

bool indCellCall::IsOpenKey() const {
    return Key() == cellKey::Enter || Key() == cellKey::F2 || Key() == cellKey::Mouse;
}

void indCellCall::Edit(const std::string& text, int start, int length) {
    capsule.displayText = text;
    capsule.editSelStart = start;
    capsule.editSelLength = length;
    action = cellAction::OpenEditor;
}

void indCellCall::JumpAndReplay(int targetLogic, int targetIndex) {
    capsule.jumpRequest = 1;
    capsule.jumpType = cellType;
    capsule.jumpLogic = targetLogic;
    capsule.jumpIndex = targetIndex;
    capsule.repeatKey = Key();
}

void indCellCall::StoreRecord() {
    record.StoreAndReload();
    handled = true;
}

std::string indCellCall::Text(const std::string& key) const {
    return logic.Catalogue().GetText(key);
}

void indCellCall::Send(int code, std::intptr_t a, int b) const {
    if (cmcEvMan* events = logic.Document().events) events->Send(code, a, b);
}

void indCellCall::Post(int code, std::intptr_t a, int b) const {
    if (cmcEvMan* events = logic.Document().events) events->Post(code, a, b);
}

void indCellCall::SendText(int code, std::intptr_t a, int b, const std::string& text) const {
    if (cmcEvMan* events = logic.Document().events) events->SendText(code, a, b, text);
}

bool indCellCall::Ask(const std::string& key) const {
    Post(ev::ModalQuestion, 0, 1);
    const int answer =
        cmcMessage(logic.Catalogue().GetLines(key), logic.Catalogue().GetText("GI_Sys_AppTitle"),
                   MsgIcon::Warning, MsgButtons::OkCancel);
    Post(ev::ModalQuestion, 0, 0);
    return answer == answer::Ok;
}

void indCellCall::OpenPickList(const std::string& list) {
    if (logic.Document().openPickList) logic.Document().openPickList(capsule, list);
    action = cellAction::ClearSelection;
}

// ---- Texts ----

std::string FieldText(const std::string& field) {
    std::string text;
    for (char ch : field)
        text += cmcNameCharacter(static_cast<unsigned char>(ch), true);
    const auto end = text.find_last_not_of(' ');
    return end == std::string::npos ? std::string() : text.substr(0, end + 1);
}

// Typed text as the field's bytes. On a Japanese system with destination 0 full-width
// letters and kana become their half-width forms and what the receiver cannot show is
// dropped; otherwise each character it cannot show becomes one blank.
std::string TypedField(const std::string& typed, size_t length, bool japanese) {
    std::string field;
    for (size_t i = 0; i < typed.size() && field.size() < length;) {
        const std::optional<char32_t> code = cmcDecodeUtf8(typed, i);
        if (!code) ++i; // a byte that starts no character
        const std::string bytes = code ? cmcHalfWidthForm(*code) : std::string();
        const bool ascii = bytes.size() == 1 && static_cast<unsigned char>(bytes[0]) < 0x80;
        const bool shown = !bytes.empty() && (japanese || ascii);
        if (shown)
            field += bytes;
        else if (!japanese)
            field += ' ';
    }
    field.resize(length, ' ');
    return field;
}

// ---- Editors ----

std::string PickListText(indCellCall& call, const std::string& list, int kind, int value) {
    return call.logic.Cache().Entry(list, kind).TextOf(value);
}

bool PickListEditor(indCellCall& call, const std::string& list, int kind, int& value) {
    const cmcFCacheEntry& entry = call.logic.Cache().Entry(list, kind);
    if (call.Chosen()) {
        value = call.ChosenValue();
        return true;
    }
    const int key = call.Key();
    if (IsSteppingKey(key) && !entry.Empty()) {
        if (kind == CL_FlexMarking && key == cellKey::Backspace && !entry.HasValue(value))
            value = entry.InListOrder().back().value;
        else
            value = entry.Step(value, StepOf(key));
        return true;
    }
    if (call.IsOpenKey()) call.OpenPickList(list);
    return false;
}

namespace {

// The item of a numeric list whose number is nearest to the typed one (the first of equal
// distances, in list order).
bool NearestNumericItem(const cmcFCacheEntry& entry, const std::string& typed, int& value) {
    const auto wanted = ReadDecimal(typed, 3);
    if (!wanted) return false;
    int64_t best = -1;
    for (const cmcFlexItem& item : entry.InListOrder()) {
        const auto number = ReadDecimal(item.text, 3);
        if (!number) continue;
        const int64_t distance = std::abs(*number - *wanted);
        if (best >= 0 && distance >= best) continue;
        best = distance;
        value = item.value;
    }
    return best >= 0;
}

} // namespace

bool TypedPickListEditor(indCellCall& call, const std::string& list, int kind, int& value,
                         bool numeric) {
    const int key = call.Key();
    if (call.Entered()) {
        std::string typed = Trimmed(NumericText(call.capsule.inputText));
        for (char& ch : typed)
            ch = static_cast<char>(std::toupper(static_cast<uint8_t>(ch)));
        if (numeric && NearestNumericItem(call.logic.Cache().Entry(list, kind), typed, value))
            return true;
        RefuseEntry(call);
        return false;
    }
    if (IsDigitKey(key)) {
        call.Edit(std::string(1, char(key)), 1, 0);
        return false;
    }
    if (key == cellKey::F2) {
        const std::string text = PickListText(call, list, kind, value);
        call.Edit(text, 0, int(text.size()));
        return false;
    }
    return PickListEditor(call, list, kind, value);
}

bool TextEditor(indCellCall& call, std::string& field, size_t length) {
    if (call.Entered()) {
        field = TypedField(call.capsule.inputText, length, call.logic.Document().japaneseNames);
        return true;
    }
    const int key = call.Key();
    if (call.IsOpenKey() || IsSteppingKey(key)) {
        const std::string text = FieldText(field);
        call.Edit(text, 0, int(text.size()));
    } else if (key > ' ' && key < 256) {
        call.Edit(std::string(1, char(key)), 1, 0);
    }
    return false;
}

bool NumberEditor(indCellCall& call, int& value, int minimum, int maximum, int step, int offset) {
    const int key = call.Key();
    if (call.Entered()) {
        const auto typed = ReadDecimal(NumericText(call.capsule.inputText), 0);
        if (!typed) {
            RefuseEntry(call);
            return false;
        }
        int64_t v = *typed - offset;
        const int64_t magnitude = (std::abs(v) + step / 2) / step * step;
        v = v < 0 ? -magnitude : magnitude;
        value = static_cast<int>(std::clamp<int64_t>(v, minimum, maximum));
        return true;
    }
    if (IsSteppingKey(key)) {
        value += StepOf(key) * step;
        if (value > maximum) value = minimum;
        if (value < minimum) value = maximum;
        return true;
    }
    if (IsDigitKey(key) || (key == cellKey::Minus && minimum < 0)) {
        call.Edit(std::string(1, char(key)), 1, 0);
    } else if (call.IsOpenKey()) {
        const std::string text = std::to_string(value + offset);
        call.Edit(text, 0, int(text.size()));
    }
    return false;
}

bool DirectKeyEditor(indCellCall& call, int& value) {
    const int key = call.Key();
    if (call.Entered()) {
        const std::string text = Trimmed(NumericText(call.capsule.inputText));
        if (text.empty()) {
            value = NoDirectKey;
            return true;
        }
        const auto typed = ReadDecimal(text, 0);
        if (!typed) {
            RefuseEntry(call);
            return false;
        }
        value = static_cast<int>(std::clamp<int64_t>(*typed, 0, 99));
        return true;
    }
    if (IsSteppingKey(key)) {
        if (value == NoDirectKey) return false;
        value = (value + StepOf(key) + 100) % 100;
        return true;
    }
    if (IsDigitKey(key)) {
        call.Edit(std::string(1, char(key)), 1, 0);
    } else if (call.IsOpenKey()) {
        const std::string text = value == NoDirectKey ? std::string() : std::to_string(value);
        call.Edit(text, 0, int(text.size()));
    }
    return false;
}

bool HexEditor(indCellCall& call, int& value, int minimum, int maximum) {
    const int key = call.Key();
    if (call.Entered()) {
        std::string digits;
        for (char ch : NumericText(call.capsule.inputText)) {
            const char upper = static_cast<char>(std::toupper(static_cast<uint8_t>(ch)));
            if (std::isxdigit(static_cast<uint8_t>(upper))) digits += upper;
        }
        int read = 0;
        if (!digits.empty()) read = std::stoi(digits.substr(0, 2), nullptr, 16);
        value = std::clamp(read, minimum, maximum);
        return true;
    }
    if (IsSteppingKey(key)) {
        value += StepOf(key);
        if (value > maximum) value = minimum;
        if (value < minimum) value = maximum;
        return true;
    }
    if (key < 128 && std::isxdigit(key)) {
        call.Edit(std::string(1, char(key)), 1, 0);
    } else if (call.IsOpenKey()) {
        char text[8];
        std::snprintf(text, sizeof text, "%02X", value & 0xFF);
        call.Edit(text, 0, 2);
    }
    return false;
}

bool FrequencyEditor(indCellCall& call, uint32_t& value, uint32_t lowHz, uint32_t highHz,
                     bool blankStart) {
    if (call.Entered()) {
        const auto typed = ParseMegahertz(NumericText(call.capsule.inputText), lowHz, highHz);
        if (!typed) {
            RefuseEntry(call);
            return false;
        }
        value = *typed;
        return true;
    }
    const int key = call.Key();
    const std::string current = blankStart ? std::string() : FormatMegahertz(value);
    if (call.IsOpenKey() || key == cellKey::Space) {
        call.Edit(current, 0, int(current.size()));
    } else if (key == cellKey::Point) {
        const std::string text = blankStart ? "0.000000" : current;
        call.Edit(text, int(text.find('.')) + 1, 0);
    } else if (key > ' ' && key < 127) {
        // Digits and the minus start a value; any other character is shown too, so that
        // nothing typed vanishes, and is refused with a word when committed.
        call.Edit(std::string(1, char(key)), 1, 0);
    }
    return false;
}
