#pragma once
#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "monitor/link/serial_port.h"

// A scripted serial port. Bytes a test queues in `incoming` become "waiting" at once;
// `replies` are queued in answer to each write, in order (empty string: no answer).
class FakeSerialPort final : public ISerialPort {
public:
    // What the port does.
    bool openOk = true;
    bool timeoutsOk = true;
    bool getConfigOk = true;
    bool setConfigOk = true;
    bool linesOk = true;
    bool queryOk = true;
    bool readOk = true;
    bool writeOk = true;
    std::uint32_t writeShort = 0; // bytes fewer than asked to report as written
    std::uint32_t errorFlags = 0;
    std::uint32_t lastError = 0;
    std::string incoming;
    std::deque<std::string> replies;
    // Deliver replies in pieces of this size per status query (0 = whole).
    std::size_t pieceSize = 0;
    // When set, answers each write instead of `replies`: a device model.
    std::function<std::string(const std::string& written)> responder;

    // What the port saw.
    bool isOpen = false;
    std::string openedName;
    std::uint32_t readInterval = 0;
    LineConfig config{9600, 7, true, true, true};
    bool dtr = false, rts = false;
    std::string written;
    std::vector<std::uint32_t> readSizes;
    int opens = 0, closes = 0;

    bool Open(const std::string& name) override {
        if (!openOk) {
            lastError = 2;
            return false;
        }
        isOpen = true;
        openedName = name;
        ++opens;
        return true;
    }
    void Close() override {
        isOpen = false;
        ++closes;
    }
    bool SetReadIntervalTimeout(std::uint32_t ms) override {
        if (!timeoutsOk) return Fail(87);
        readInterval = ms;
        return true;
    }
    bool GetLineConfig(LineConfig& c) override {
        if (!getConfigOk) return Fail(31);
        c = config;
        return true;
    }
    bool SetLineConfig(const LineConfig& c) override {
        if (!setConfigOk) return Fail(87);
        config = c;
        return true;
    }
    bool SetDTR(bool on) override {
        if (!linesOk) return Fail(1);
        dtr = on;
        return true;
    }
    bool SetRTS(bool on) override {
        if (!linesOk) return Fail(1);
        rts = on;
        return true;
    }
    bool QueryStatus(std::uint32_t& errors, std::uint32_t& waiting) override {
        if (!queryOk) return Fail(5);
        errors = errorFlags;
        waiting = static_cast<std::uint32_t>(Available());
        return true;
    }
    bool Read(void* buffer, std::uint32_t size, std::uint32_t& got) override {
        readSizes.push_back(size);
        got = 0;
        if (!readOk) return Fail(995);
        const std::size_t n = std::min<std::size_t>(size, incoming.size());
        incoming.copy(static_cast<char*>(buffer), n);
        incoming.erase(0, n);
        got = static_cast<std::uint32_t>(n);
        return true;
    }
    bool Write(const void* data, std::uint32_t size, std::uint32_t& done) override {
        done = 0;
        if (!writeOk) return Fail(1117);
        done = size > writeShort ? size - writeShort : 0;
        written.append(static_cast<const char*>(data), done);
        if (responder) {
            pending_ += responder(std::string(static_cast<const char*>(data), done));
        } else if (!replies.empty()) {
            pending_ += replies.front();
            replies.pop_front();
        }
        return true;
    }
    std::uint32_t LastError() override { return lastError; }

private:
    bool Fail(std::uint32_t code) {
        lastError = code;
        return false;
    }
    // Pending replies move into `incoming` piece by piece as the driver asks.
    std::size_t Available() {
        if (!pending_.empty()) {
            const std::size_t n =
                pieceSize ? std::min(pieceSize, pending_.size()) : pending_.size();
            incoming += pending_.substr(0, n);
            pending_.erase(0, n);
        }
        return incoming.size();
    }
    std::string pending_;
};
