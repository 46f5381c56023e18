#pragma once

#include "clone/cmcBuff.h"
#include "clone/cmcComm.h"
#include "model/cmcEeprom.h"
#include "platform/cmcTask.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

// One range of image addresses, both ends inclusive. A range table ends with the first
// pair whose first address is greater than its last.
struct cmcCloneRange {
    int first = 0;
    int last = 0;
};

// The outcome of one clone operation, handed to the completion callback.
struct dst_CDrv_Result {
    enum Phase { Information = 1, Read = 2, Write = 3 };

    int phase = 0;
    int code = 2;
    int modelWord = 0; // from the information answer
    int extraWord = 0;
    cmcBuff payload;          // the information answer's bytes after the two words
    cmcEeprom image;          // read: the received image; write: the copy sent
    std::vector<bool> loaded; // one flag per image address a data frame filled

    // For code 2: the port that could not be opened, and why.
    std::string portPath;
    cmcPortError portError = cmcPortError::None;
    std::string portErrorText;
};

// Result codes of the protocol; the clone session adds those of its checks.
namespace clonecode {
constexpr int Ok = 0;
constexpr int CannotClone = 1;
constexpr int PortAccess = 2;
constexpr int Echo = 4;
constexpr int NoAnswer = 5;
constexpr int IllegalData = 6;
constexpr int Counter = 7;
constexpr int NotEnoughData = 8;
constexpr int Overflow = 9;
constexpr int WriteRefused = 10;
constexpr int IllegalInformation = 11;
constexpr int VersionMismatch = 13;
constexpr int WrongModel = 14;
constexpr int BadImage = 15;
constexpr int WriteError = 17;
} // namespace clonecode

// Moves the receiver's memory over the cloning cable. One operation at a time, in one of
// three phases (information, read, write), as a state machine that advances one step every
// 10 ms on a timer and never blocks. The cable echoes every byte sent; the driver expects
// the echo and removes it before the receiver's answer.
class cmcCloneDrv {
  public:
    using Completion = std::function<void(dst_CDrv_Result& result)>;

    enum State {
        Idle = 0,
        Start = 2,
        Script = 3,
        Settle = 4,
        OpenLine = 5,
        InfoRequest = 6,
        InfoAnswer = 7,
        ReadRequest = 8,
        Receive = 9,
        WriteRequest = 10,
        SendData = 11,
        SendEnd = 12,
        AwaitAck = 13,
        Drain = 14,
        Finish = 15,
    };

    static constexpr int StepIntervalMs = 10;
    static constexpr size_t ReadBlock = 256;
    static constexpr int FramesPerStep = 8;
    static constexpr size_t EchoLimitSending = 128;
    static constexpr int FlushWaitMs = 100;
    static constexpr int FlushLimit = 65535;

    cmcCloneDrv();
    ~cmcCloneDrv();
    cmcCloneDrv(const cmcCloneDrv&) = delete;
    cmcCloneDrv& operator=(const cmcCloneDrv&) = delete;

    // Settings, kept between operations.
    void SetRequestWords(int word1, int word2);
    void SetImageSize(int size);
    void SetPort(const std::string& path, const std::string& lineSettings);
    void SetRequestPreamble(int count);
    void SetDataPreamble(int count) { SetDataPreambles(count, count); }
    void SetDataPreambles(int first, int later);
    void SetScript(const std::string& script);
    void SetEndFrameCarriesCount(bool on);
    void SetEchoExpected(bool on);
    void SetDataBytesPerFrame(int n); // <= 0 keeps the old value
    void SetEndReplyTimeout(int ms);  // <= 0 keeps the old value
    void SetSettleDelay(int ms);      // used once, then 0 again

    int RequestPreamble() const { return requestPreamble_; }
    const std::string& PortPath() const { return portPath_; }

    // Each refused (false) while an operation runs. The completion runs once, from the
    // step timer, after the port has been closed; it may start the next operation.
    bool StartInformation(Completion completion);
    bool StartRead(const cmcCloneRange* ranges, Completion completion);
    // The image is copied at once; the caller may change or release it afterwards.
    bool StartWrite(const cmcEeprom& image, const cmcCloneRange* ranges, Completion completion);

    bool Busy() const { return state_ != Idle; }
    State CurrentState() const { return state_; }
    long RawBytes() const { return rawBytes_; }
    long DataBytes() const { return dataBytes_; }

    // One step, as the timer runs it; public for tests that step by hand.
    void Tick();

  private:
    bool BeginOperation(int phase, const cmcCloneRange* ranges, Completion completion);
    void Step();
    void RunAction(State& next, bool& progress, int& timeoutValue);
    void Complete();
    void SetCode(int code);
    void SendBytes(const std::vector<uint8_t>& bytes);
    size_t ReadInto(cmcBuff& target);
    bool OpenPort(const std::string& lineSettings);
    bool FlushPending();

    void ActScript(State& next, bool& progress, int& timeoutValue);
    void ActSettle(State& next, bool& progress);
    void ActOpenLine(State& next);
    void ActRequest(uint8_t command);
    void ActInfoAnswer(State& next, bool& progress);
    void ActReceive(State& next, bool& progress);
    void ActSendData(State& next, bool& progress);
    void ActSendEnd(State& next);
    void ActAwaitAck(State& next, bool& progress);
    void ActDrain(State& next, bool& progress);

    // Reply frames (information answer, acknowledgement): true when one was taken.
    bool TakeReplyFrame(cmcBuff& frame);
    int JudgeFrame();
    int JudgeDataFrame();
    int JudgeEndFrame();
    int ReadCoverage() const;

    // Settings.
    int word1_ = 0;
    int word2_ = 0;
    int imageSize_ = 1;
    std::string portPath_ = "/dev/ttyUSB0";
    std::string lineSettings_ = "9600,n,8,1";
    int requestPreamble_ = 0;
    int firstDataPreamble_ = 0;
    int laterDataPreamble_ = 0;
    bool endCarriesCount_ = true;
    bool echoExpected_ = false;
    int dataBytesPerFrame_ = 16;
    std::string script_;
    int stepTimeoutMs_ = 1000;
    int scriptTimeoutMs_ = 1000;
    int endReplyTimeoutMs_ = 2000;
    int settleDelayMs_ = 0;

    // Working state of one operation.
    cmcComm comm_;
    cmcBuff received_;
    cmcBuff frame_;
    cmcBuff echo_;
    cmcBuff batch_;
    long frames_ = 0;
    long rawBytes_ = 0;
    long dataBytes_ = 0;
    std::vector<cmcCloneRange> ranges_;
    size_t range_ = 0;
    int64_t address_ = 0;
    std::unique_ptr<dst_CDrv_Result> result_;
    bool failed_ = false; // an error code is set: later errors keep it
    bool hasRanges_ = false;
    Completion completion_;
    State state_ = Idle;
    cmcTick stepTimeout_;
    cmcTick settle_;
    cmcTick flushWait_;
    bool flushPending_ = false;
    bool hurry_ = false; // the step filled its read block or sent a batch: more may be due
    std::unique_ptr<cmcTask> timer_;
};
