#pragma once

// The receiver's side of the cloning protocol, as harlon-sim plays it: it takes the bytes
// the program sends (after the cable has echoed them) and answers the information request,
// serves its image on a read request, takes a write and honours the speed switch. Faults
// change one thing each, so the program's error handling can be seen end to end.

#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <vector>

struct SimOptions {
    int destination = 0;
    int flags = 0;
    int frameBytes = 32; // data bytes per served data frame, 1..252
    std::set<std::string> faults;
    long stallAfter = -1; // stall-after=N: silent after N bytes have gone out
    bool Has(const std::string& fault) const { return faults.count(fault) != 0; }
};

class SimReceiver {
  public:
    static constexpr int ImageBytes = 117952;
    static constexpr int MapBytes = 116800;
    static constexpr int NormalBaud = 9600;
    static constexpr int HighBaud = 38400;
    // The receiver's 16-character clone comment, which opens its information answer.
    static constexpr int CommentAddress = 116110;
    static constexpr int CommentLength = 16;
    // The byte the corrupt-stored fault changes: in the first memory channel's frequency.
    static constexpr int CorruptedAddress = 1;

    using Emit = std::function<void(const std::vector<uint8_t>&)>;
    using Saved = std::function<bool(const std::vector<uint8_t>& image)>;

    SimReceiver(const SimOptions& options, std::vector<uint8_t> image, Emit emit, Saved saved);

    // Bytes from the program as they arrive on a line whose program side runs at lineBaud.
    void Receive(const uint8_t* bytes, size_t n, int lineBaud);
    // The line has been quiet for a while: the clone is over and the receiver is back at
    // normal speed.
    void Idle();

    int Baud() const { return baud_; }

  private:
    void Out(const std::vector<uint8_t>& bytes);
    void Echo(uint8_t byte);
    void Frame(const std::vector<uint8_t>& frame);
    void AnswerInformation();
    void ServeImage();
    void TakeDataFrame(const std::vector<uint8_t>& text);
    void EndOfWrite(const std::vector<uint8_t>& text);
    void Store();
    void Reply(std::vector<uint8_t> frame);

    SimOptions options_;
    std::vector<uint8_t> image_;
    Emit emit_;
    Saved saved_;
    int baud_ = NormalBaud;
    long sent_ = 0; // bytes that have gone out, for stall-after
    long echoed_ = 0;
    std::vector<uint8_t> frame_;
    bool inFrame_ = false;
    // A write in progress.
    bool writing_ = false;
    bool writeBad_ = false;
    int writeFrames_ = 0;
    std::vector<uint8_t> written_;
    std::vector<bool> loaded_;
};
