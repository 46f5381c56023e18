#pragma once

// A receiver on the in-memory line: answers the information request, serves its image on
// a read request and takes a write, frame by frame as the program's bytes arrive. Tests
// change its answers to play faults.

#include "MemoryLine.h"
#include "ReceiverFrames.h"

#include <functional>
#include <string>
#include <vector>

class FakeReceiver {
  public:
    using Bytes = receiver::Bytes;

    explicit FakeReceiver(MemoryLine& line) : image(117952, 0), line_(line) {
        line_.receiver = [this](const Bytes& piece) { Take(piece); };
    }
    ~FakeReceiver() { line_.receiver = nullptr; }

    // The answers; tests replace them.
    Bytes infoAnswer = receiver::InfoAnswer();
    int frameBytes = 32;
    int imageEnd = 116800; // serves addresses 0 .. imageEnd-1
    bool answerInfo = true;
    bool answerWrite = true;
    Bytes ack = receiver::Ack();
    // Changes the frames served on a read before they go out.
    std::function<void(std::vector<Bytes>& frames)> editFrames;

    std::vector<uint8_t> image;
    std::vector<Bytes> framesSeen; // every frame from the program, without its FE run and FD
    std::vector<uint8_t> written = std::vector<uint8_t>(117952, 0);
    int dataFramesWritten = 0;

    std::vector<Bytes> ReadFrames() const {
        std::vector<Bytes> frames;
        for (int a = 0; a < imageEnd; a += frameBytes) {
            const int n = std::min(frameBytes, imageEnd - a);
            frames.push_back(
                receiver::DataFrame(uint32_t(a), Bytes(image.begin() + a, image.begin() + a + n)));
        }
        frames.push_back(receiver::EndFrame(int(frames.size())));
        return frames;
    }

  private:
    void Take(const Bytes& piece) {
        for (uint8_t byte : piece) {
            if (byte == 0xFE) {
                pending_.clear();
                continue;
            }
            if (byte != 0xFD) {
                pending_.push_back(byte);
                continue;
            }
            framesSeen.push_back(pending_);
            Answer(pending_);
            pending_.clear();
        }
    }

    void Answer(const Bytes& frame) {
        if (frame.size() < 3 || frame[0] != 0xEE || frame[1] != 0xEF) return;
        switch (frame[2]) {
        case 0xE0:
            if (answerInfo) line_.Deliver(infoAnswer);
            break;
        case 0xE2: {
            std::vector<Bytes> frames = ReadFrames();
            if (editFrames) editFrames(frames);
            for (const Bytes& f : frames)
                line_.Deliver(f);
            break;
        }
        case 0xE4:
            TakeData(std::string(frame.begin() + 3, frame.end()));
            break;
        case 0xE5:
            if (answerWrite) line_.Deliver(ack);
            break;
        default:
            break;
        }
    }

    void TakeData(const std::string& text) {
        std::vector<uint8_t> bytes;
        for (size_t i = 0; i + 1 < text.size(); i += 2)
            bytes.push_back(uint8_t(std::stoi(text.substr(i, 2), nullptr, 16)));
        const uint32_t address = uint32_t(bytes[0]) << 24 | uint32_t(bytes[1]) << 16 |
                                 uint32_t(bytes[2]) << 8 | bytes[3];
        for (int i = 0; i < bytes[4]; ++i)
            written[address + i] = bytes[5 + i];
        ++dataFramesWritten;
    }

    MemoryLine& line_;
    Bytes pending_;
};
