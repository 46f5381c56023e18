#include "clone/cmcCloneDrv.h"

#include "clone/cmcCloneFrames.h"

#include <algorithm>

using namespace cloneframe;

namespace {

constexpr size_t CompactAbove = 4096;
constexpr size_t ReplyFrameLimit = 520;

bool IsBcd(uint8_t byte) {
    return (byte >> 4) <= 9 && (byte & 15) <= 9;
}

bool IsUpperHexDigit(uint8_t c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F');
}

int UpperHexValue(uint8_t c) {
    return c <= '9' ? c - '0' : c - 'A' + 10;
}

} // namespace

cmcCloneDrv::cmcCloneDrv() : timer_(std::make_unique<cmcTask>()) {
    timer_->setHandler([this](cmcTask&) { Tick(); });
}

cmcCloneDrv::~cmcCloneDrv() {
    timer_->stop();
    cmcTask::dispose(std::move(timer_));
    comm_.Close();
}

void cmcCloneDrv::SetRequestWords(int word1, int word2) {
    word1_ = word1;
    word2_ = word2;
}

void cmcCloneDrv::SetImageSize(int size) {
    imageSize_ = size;
}

void cmcCloneDrv::SetPort(const std::string& path, const std::string& lineSettings) {
    portPath_ = path;
    lineSettings_ = lineSettings;
}

void cmcCloneDrv::SetRequestPreamble(int count) {
    requestPreamble_ = std::max(count, 0);
}

void cmcCloneDrv::SetDataPreambles(int first, int later) {
    firstDataPreamble_ = std::max(first, 0);
    laterDataPreamble_ = std::max(later, 0);
}

void cmcCloneDrv::SetScript(const std::string& script) {
    script_ = script;
}

void cmcCloneDrv::SetEndFrameCarriesCount(bool on) {
    endCarriesCount_ = on;
}

void cmcCloneDrv::SetEchoExpected(bool on) {
    echoExpected_ = on;
}

void cmcCloneDrv::SetDataBytesPerFrame(int n) {
    // A frame's count is one byte, and the receiver takes at most 252 data bytes.
    if (n > 0 && n <= 252) dataBytesPerFrame_ = n;
}

void cmcCloneDrv::SetEndReplyTimeout(int ms) {
    if (ms > 0) endReplyTimeoutMs_ = ms;
}

void cmcCloneDrv::SetSettleDelay(int ms) {
    settleDelayMs_ = std::max(ms, 0);
}

bool cmcCloneDrv::StartInformation(Completion completion) {
    return BeginOperation(dst_CDrv_Result::Information, nullptr, std::move(completion));
}

bool cmcCloneDrv::StartRead(const cmcCloneRange* ranges, Completion completion) {
    return BeginOperation(dst_CDrv_Result::Read, ranges, std::move(completion));
}

bool cmcCloneDrv::StartWrite(const cmcEeprom& image, const cmcCloneRange* ranges,
                             Completion completion) {
    if (!BeginOperation(dst_CDrv_Result::Write, ranges, std::move(completion))) return false;
    result_->image.Assign(image);
    return true;
}

bool cmcCloneDrv::BeginOperation(int phase, const cmcCloneRange* ranges, Completion completion) {
    if (Busy()) return false;
    completion_ = std::move(completion);
    frames_ = rawBytes_ = dataBytes_ = 0;
    failed_ = false;
    result_ = std::make_unique<dst_CDrv_Result>();
    result_->phase = phase;
    result_->code = clonecode::PortAccess;
    result_->modelWord = word1_;
    result_->extraWord = word2_;
    result_->image.SetSize(imageSize_);
    result_->loaded.assign(static_cast<size_t>(std::max(imageSize_, 0)), false);
    ranges_.clear();
    hasRanges_ = ranges != nullptr;
    for (const cmcCloneRange* range = ranges; range && range->first <= range->last; ++range)
        ranges_.push_back(*range);
    range_ = 0;
    address_ = ranges_.empty() ? 0 : ranges_.front().first;
    received_.Clear();
    frame_.Clear();
    echo_.Clear();
    batch_.Clear();
    flushPending_ = false;
    hurry_ = false;
    state_ = Start;
    timer_->setInterval(StepIntervalMs);
    return true;
}

void cmcCloneDrv::Tick() {
    if (state_ == Idle) {
        timer_->setInterval(-1);
        return;
    }
    hurry_ = false;
    if (state_ == Finish) {
        Complete();
    } else {
        Step();
        if (comm_.WriteError()) {
            SetCode(clonecode::WriteError);
            state_ = Finish;
        }
    }
    if (state_ == Idle) {
        timer_->setInterval(-1);
        return;
    }
    // A step takes at most one block of received bytes and sends at most one batch. When
    // it filled the block, or sent a batch whose echo may already be back, more is likely
    // waiting (a burst from a USB adapter, a line faster than the steps): the next step
    // comes after 1 ms instead of 10.
    const int wanted = hurry_ ? 0 : StepIntervalMs;
    if (timer_->interval() != wanted) timer_->setInterval(wanted);
}

void cmcCloneDrv::SetCode(int code) {
    if (!result_ || failed_) return; // the first error stands
    result_->code = code;
    failed_ = code != clonecode::Ok;
}

void cmcCloneDrv::Step() {
    State next = static_cast<State>(state_ + 1);
    bool progress = true;
    const bool expired = stepTimeout_.remaining() == 0;
    int timeoutValue = stepTimeoutMs_;

    if (flushPending_ && !FlushPending()) return;

    bool echoFailed = false;
    if (echoExpected_ && state_ != Drain && !echo_.IsEmpty()) {
        ReadInto(received_);
        progress = false;
        while (!received_.IsEmpty() && !echo_.IsEmpty()) {
            if (received_[0] != echo_[0]) {
                SetCode(clonecode::Echo);
                next = Drain;
                echoFailed = true;
                break;
            }
            received_.TakeFirst();
            echo_.TakeFirst();
            progress = true;
        }
    }

    if (!echoFailed) {
        // Draining waits for the port only: echo that never came back is no reason to stay.
        const size_t echoLimit = state_ == SendData ? EchoLimitSending : 0;
        if (state_ != Drain && echo_.Length() > echoLimit)
            next = state_;
        else
            RunAction(next, progress, timeoutValue);
    }

    if (next != state_) progress = true;
    if (progress) {
        int value = timeoutValue;
        if (next == Script && !script_.empty())
            value = scriptTimeoutMs_;
        else if (next == AwaitAck)
            value = endReplyTimeoutMs_;
        stepTimeout_.start(static_cast<uint32_t>(value));
    } else if (expired) {
        if (state_ == Drain) {
            // The port never empties (an adapter pulled mid-write): give up on it.
            SetCode(clonecode::NoAnswer);
            next = Finish;
        } else {
            next = Drain;
            SetCode(echoExpected_ && !echo_.IsEmpty() ? clonecode::Echo : clonecode::NoAnswer);
        }
    }

    if (received_.Length() > CompactAbove) received_.Compact();
    if (echo_.Length() > CompactAbove) echo_.Compact();
    state_ = next;
}

void cmcCloneDrv::RunAction(State& next, bool& progress, int& timeoutValue) {
    switch (state_) {
    case Start:
        break;
    case Script:
        ActScript(next, progress, timeoutValue);
        break;
    case Settle:
        ActSettle(next, progress);
        break;
    case OpenLine:
        ActOpenLine(next);
        break;
    case InfoRequest:
        ActRequest(cloneframe::InfoRequest);
        break;
    case InfoAnswer:
        ActInfoAnswer(next, progress);
        break;
    case ReadRequest:
        ActRequest(cloneframe::ReadRequest);
        break;
    case Receive:
        ActReceive(next, progress);
        break;
    case WriteRequest:
        ActRequest(cloneframe::WriteRequest);
        break;
    case SendData:
        ActSendData(next, progress);
        break;
    case SendEnd:
        ActSendEnd(next);
        break;
    case AwaitAck:
        ActAwaitAck(next, progress);
        break;
    case Drain:
        ActDrain(next, progress);
        break;
    case Idle:
    case Finish:
        break;
    }
}

void cmcCloneDrv::Complete() {
    comm_.Close();
    state_ = Idle;
    flushPending_ = false;
    std::unique_ptr<dst_CDrv_Result> result = std::move(result_);
    Completion completion = std::move(completion_);
    completion_ = nullptr;
    // Cleared before the completion, which may start the next operation at once.
    received_.Clear();
    frame_.Clear();
    echo_.Clear();
    batch_.Clear();
    if (completion && result) completion(*result);
}

void cmcCloneDrv::SendBytes(const std::vector<uint8_t>& bytes) {
    comm_.Send(bytes.data(), bytes.size());
    if (echoExpected_) echo_.Append(bytes.data(), bytes.size());
}

size_t cmcCloneDrv::ReadInto(cmcBuff& target) {
    uint8_t block[ReadBlock];
    const size_t got = comm_.Read(block, ReadBlock);
    target.Append(block, got);
    if (got == ReadBlock) hurry_ = true;
    return got;
}

bool cmcCloneDrv::OpenPort(const std::string& lineSettings) {
    comm_.Close();
    if (!comm_.Open(portPath_, lineSettings)) {
        result_->portPath = portPath_;
        result_->portError = comm_.OpenError();
        result_->portErrorText = comm_.OpenErrorText();
        return false;
    }
    // Let the line settle, then drop whatever was waiting; on a timer, not a busy wait.
    flushPending_ = true;
    flushWait_.start(FlushWaitMs);
    return true;
}

bool cmcCloneDrv::FlushPending() {
    if (flushWait_.remaining() > 0) return false;
    uint8_t byte = 0;
    for (int i = 0; i < FlushLimit && comm_.Read(&byte, 1) == 1; ++i) {
    }
    flushPending_ = false;
    return true;
}

void cmcCloneDrv::ActScript(State& next, bool& progress, int& timeoutValue) {
    progress = false;
    if (!script_.empty()) {
        if (script_[0] == '(') {
            const size_t close = script_.find(')');
            const std::string settings =
                script_.substr(1, close == std::string::npos ? std::string::npos : close - 1);
            script_.erase(0, close == std::string::npos ? script_.size() : close + 1);
            if (!OpenPort(settings)) {
                SetCode(clonecode::PortAccess);
                next = Drain;
                script_.clear();
                return;
            }
        } else {
            const size_t open = script_.find('(');
            SendBytes(HexTextToBytes(script_.substr(0, open)));
            script_.erase(0, open);
            timeoutValue = scriptTimeoutMs_;
            progress = true;
        }
    }
    if (!script_.empty() || comm_.BytesToSend() > 0) {
        next = Script;
        progress = true;
        return;
    }
    settle_.start(static_cast<uint32_t>(settleDelayMs_));
    settleDelayMs_ = 0;
}

void cmcCloneDrv::ActSettle(State& next, bool& progress) {
    if (settle_.remaining() > 0) {
        next = Settle;
        progress = true;
        return;
    }
    echo_.Clear();
    received_.Clear();
}

void cmcCloneDrv::ActOpenLine(State& next) {
    if (!OpenPort(lineSettings_)) {
        SetCode(clonecode::PortAccess);
        next = Drain;
        return;
    }
    switch (result_->phase) {
    case dst_CDrv_Result::Information:
        next = InfoRequest;
        break;
    case dst_CDrv_Result::Read:
        next = ReadRequest;
        break;
    default:
        next = WriteRequest;
        break;
    }
}

void cmcCloneDrv::ActRequest(uint8_t command) {
    SendBytes(RequestFrame(requestPreamble_, command, word1_, word2_));
    frame_.Clear();
}

bool cmcCloneDrv::TakeReplyFrame(cmcBuff& frame) {
    rawBytes_ += static_cast<long>(ReadInto(received_));
    bool taken = false;
    while (!received_.IsEmpty()) {
        const int byte = received_.TakeFirst();
        if (byte == Preamble) {
            frame_.Clear();
            frame_.Append(Preamble);
        } else if (frame_.IsEmpty()) {
            continue;
        } else if (byte == End) {
            frame.Copy(frame_);
            frame_.Clear();
            taken = true;
        } else if (frame_.Length() > ReplyFrameLimit) {
            frame_.Clear();
            frame.Assign(reinterpret_cast<const uint8_t*>("\0"), 1); // fails every test
            return true;
        } else {
            frame_.Append(static_cast<uint8_t>(byte));
        }
    }
    return taken;
}

void cmcCloneDrv::ActInfoAnswer(State& next, bool& progress) {
    next = InfoAnswer;
    progress = false;
    cmcBuff frame;
    if (!TakeReplyFrame(frame)) return;
    next = Drain;
    const bool wellFormed = frame.Length() >= 8 && frame[0] == Preamble &&
                            frame[1] == ProgramAddress && frame[2] == ReceiverAddress &&
                            frame[3] == cloneframe::InfoAnswer && IsBcd(frame[4]) &&
                            IsBcd(frame[5]) && IsBcd(frame[6]) && IsBcd(frame[7]);
    if (!wellFormed) {
        SetCode(clonecode::IllegalData);
        return;
    }
    result_->modelWord = frame[4] * 256 + frame[5];
    result_->extraWord = frame[6] * 256 + frame[7];
    result_->payload.Assign(frame.Data() + 8, frame.Length() - 8);
    SetCode(clonecode::Ok);
    progress = true;
}

void cmcCloneDrv::ActReceive(State& next, bool& progress) {
    next = Receive;
    progress = false;
    rawBytes_ += static_cast<long>(ReadInto(received_));
    while (!received_.IsEmpty()) {
        const int byte = received_.TakeFirst();
        if (byte == Preamble) {
            frame_.Clear();
            frame_.Append(Preamble);
        } else if (frame_.IsEmpty()) {
            continue;
        } else if (byte == End) {
            const int verdict = JudgeFrame();
            frame_.Clear();
            if (verdict == 1) {
                ++frames_;
                progress = true;
                continue;
            }
            // The end frame or a fault: the rest of the received bytes stay unread.
            SetCode(verdict == 0 ? (hasRanges_ ? ReadCoverage() : clonecode::Ok) : verdict);
            next = Drain;
            return;
        } else {
            frame_.Append(static_cast<uint8_t>(byte));
            if (frame_.Length() > FrameOverflow) {
                SetCode(clonecode::IllegalData);
                next = Drain;
                return;
            }
        }
    }
}

// The frame buffer runs from the last 0xFE up to, not including, 0xFD. Returns 1 for an
// accepted data frame, 0 for the end frame, or a result code.
int cmcCloneDrv::JudgeFrame() {
    const size_t length = frame_.Length();
    if (length < MinFrame || length > MaxFrame || frame_[0] != Preamble ||
        frame_[1] != ProgramAddress || frame_[2] != ReceiverAddress)
        return clonecode::IllegalData;
    if (frame_[3] == cloneframe::Data) return JudgeDataFrame();
    if (frame_[3] == cloneframe::EndOfData) return JudgeEndFrame();
    return clonecode::IllegalData;
}

int cmcCloneDrv::JudgeDataFrame() {
    const uint8_t* text = frame_.Data() + 4;
    const size_t textLength = frame_.Length() - 4;
    if (textLength % 2 != 0) return clonecode::IllegalData;
    std::vector<uint8_t> bytes;
    bytes.reserve(textLength / 2);
    for (size_t i = 0; i < textLength; i += 2) {
        if (!IsUpperHexDigit(text[i]) || !IsUpperHexDigit(text[i + 1]))
            return clonecode::IllegalData;
        bytes.push_back(
            static_cast<uint8_t>(UpperHexValue(text[i]) * 16 + UpperHexValue(text[i + 1])));
    }
    if (bytes.size() < 6 || size_t(bytes[4]) + 6 != bytes.size()) return clonecode::IllegalData;
    unsigned sum = 0;
    for (uint8_t byte : bytes)
        sum += byte;
    if (sum % 256 != 0) return clonecode::IllegalData;

    const uint64_t address = (uint64_t(bytes[0]) << 24) | (uint64_t(bytes[1]) << 16) |
                             (uint64_t(bytes[2]) << 8) | uint64_t(bytes[3]);
    const uint64_t count = bytes[4];
    if (count > 0 && address + count > uint64_t(std::max(imageSize_, 0)))
        return clonecode::Overflow;
    for (uint64_t i = 0; i < count; ++i) {
        result_->image.SetByte(static_cast<int>(address + i), bytes[5 + i]);
        result_->loaded[static_cast<size_t>(address + i)] = true;
    }
    dataBytes_ += static_cast<long>(count);
    return 1;
}

int cmcCloneDrv::JudgeEndFrame() {
    std::string expected = Maker;
    if (endCarriesCount_) expected += Hex(static_cast<uint32_t>(frames_) & 0xFF, 2);
    if (frame_.Length() != expected.size() + 4) return clonecode::IllegalData;
    const std::string text(reinterpret_cast<const char*>(frame_.Data() + 4), frame_.Length() - 4);
    if (text.compare(0, MakerLength, Maker) != 0) return clonecode::IllegalData;
    if (text != expected) return clonecode::Counter;
    return 0;
}

int cmcCloneDrv::ReadCoverage() const {
    const std::vector<bool>& loaded = result_->loaded;
    std::vector<bool> required(loaded.size(), false);
    bool missing = false;
    for (const cmcCloneRange& range : ranges_) {
        for (int64_t a = range.first; a <= range.last; ++a) {
            if (a < 0 || a >= int64_t(required.size())) {
                missing = true; // an address the image cannot hold is never received
                continue;
            }
            required[static_cast<size_t>(a)] = true;
        }
    }
    for (size_t a = 0; a < loaded.size(); ++a) {
        if (loaded[a] && !required[a]) return clonecode::Overflow;
        if (required[a] && !loaded[a]) missing = true;
    }
    return missing ? clonecode::NotEnoughData : clonecode::Ok;
}

void cmcCloneDrv::ActSendData(State& next, bool& progress) {
    next = SendData;
    progress = false;
    for (int round = 0; round < FramesPerStep; ++round) {
        if (range_ >= ranges_.size()) {
            if (comm_.BytesToSend() == 0 && batch_.IsEmpty()) {
                next = SendEnd;
                return;
            }
        } else if (address_ > ranges_[range_].last) {
            ++range_;
            if (range_ < ranges_.size()) address_ = ranges_[range_].first;
            return;
        } else {
            const cmcCloneRange& range = ranges_[range_];
            int64_t n = dataBytesPerFrame_ - (address_ % dataBytesPerFrame_);
            if (address_ + n - 1 > range.last) n = range.last - address_ + 1;
            if (address_ < 0 || address_ + n > result_->image.GetSize()) {
                SetCode(clonecode::Overflow); // a table that does not fit the image
                next = Drain;
                return;
            }
            const int preamble = frames_ == 0 ? firstDataPreamble_ : laterDataPreamble_;
            const std::vector<uint8_t> frame =
                DataFrame(preamble, static_cast<uint32_t>(address_),
                          result_->image.Data() + address_, static_cast<int>(n));
            batch_.Append(frame.data(), frame.size());
            ++frames_;
            address_ += n;
            dataBytes_ += static_cast<long>(n);
        }
        if (next != state_ || batch_.IsEmpty() || comm_.BytesToSend() > 4 * batch_.Length()) return;
        comm_.Send(batch_.Data(), batch_.Length());
        if (echoExpected_) echo_.Append(batch_);
        hurry_ = true;
        rawBytes_ += static_cast<long>(batch_.Length());
        batch_.Clear();
        progress = true;
    }
}

void cmcCloneDrv::ActSendEnd(State& next) {
    SendBytes(EndFrame(endCarriesCount_, static_cast<int>(frames_)));
    next = AwaitAck;
}

void cmcCloneDrv::ActAwaitAck(State& next, bool& progress) {
    next = AwaitAck;
    progress = false;
    cmcBuff frame;
    if (!TakeReplyFrame(frame)) return;
    static const uint8_t Accepted[] = {Preamble, ProgramAddress, ReceiverAddress, WriteAck, 0x00};
    const bool accepted = frame.Length() == sizeof Accepted &&
                          std::equal(Accepted, Accepted + sizeof Accepted, frame.Data());
    SetCode(accepted ? clonecode::Ok : clonecode::WriteRefused);
    next = Drain;
}

void cmcCloneDrv::ActDrain(State& next, bool& progress) {
    progress = false;
    if (comm_.BytesToSend() > 0) {
        next = Drain;
        return;
    }
    next = Finish;
    progress = true;
}
