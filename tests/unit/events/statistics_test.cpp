#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>

#include "common/files.h"
#include "monitor/events/statistics.h"

namespace {

// One file in memory whose writes can fall short (a full disk) or fail.
struct MemoryFiles final : IFileSystem, IFile {
    std::string data;
    std::size_t pos = 0, accept = 1000, leftOnFail = 0;
    bool fail = false, exists = true;
    FileShare share = FileShare::None;

    std::unique_ptr<IFile> Open(const std::string&, FileOpen mode, FileShare s) override {
        share = s;
        if (!exists || mode != FileOpen::ReadWriteExisting) return nullptr;
        struct Handle final : IFile { // forwards to the one file
            MemoryFiles& f;
            explicit Handle(MemoryFiles& m) : f(m) {}
            bool Read(void* b, std::size_t n, std::size_t& d) override { return f.Read(b, n, d); }
            bool Write(const void* b, std::size_t n, std::size_t& d) override {
                return f.Write(b, n, d);
            }
            bool Seek(std::int64_t p) override { return f.Seek(p); }
            bool SeekEnd() override { return f.SeekEnd(); }
            std::int64_t Position() override { return f.Position(); }
            std::int64_t Size() override { return f.Size(); }
            bool Truncate() override { return f.Truncate(); }
            bool Flush() override { return true; }
        };
        return std::make_unique<Handle>(*this);
    }
    bool Exists(const std::string&) override { return exists; }
    bool Remove(const std::string&) override { return false; }
    bool Rename(const std::string&, const std::string&) override { return false; }
    std::uint32_t LastError() override { return 0; }

    bool Read(void*, std::size_t, std::size_t& d) override { return (d = 0, true); }
    bool Write(const void* b, std::size_t n, std::size_t& d) override {
        d = std::min(n, fail ? leftOnFail : accept);
        data.resize(std::max(data.size(), pos + d));
        std::memcpy(data.data() + pos, b, d);
        pos += d;
        return !fail;
    }
    bool Seek(std::int64_t p) override { return (pos = static_cast<std::size_t>(p), true); }
    bool SeekEnd() override { return (pos = data.size(), true); }
    std::int64_t Position() override { return static_cast<std::int64_t>(pos); }
    std::int64_t Size() override { return static_cast<std::int64_t>(data.size()); }
    bool Truncate() override { return (data.resize(pos), true); }
    bool Flush() override { return true; }
};

std::string Record(double time, const TUpsStatus& s) {
    return std::string(reinterpret_cast<const char*>(&time), 8) +
           std::string(reinterpret_cast<const char*>(&s), sizeof s);
}

} // namespace

TEST(StatRecordDue, RulesOfTheControlLoopPass) {
    // interval, failed polls, suspended, power failed, power returned, quitting; now, last
    const struct {
        StatCheck check;
        std::uint32_t now, last;
        bool due;
    } cases[] = {
        {{10000, 0, false, false, false, false}, 9999, 0, false},
        {{10000, 0, false, false, false, false}, 22000, 12000, true},
        {{11, 0, false, false, false, false}, 11, 0, true},
        {{10000, 0, false, true, false, false}, 1, 0, true},
        {{10000, 0, false, false, true, false}, 1, 0, true},
        {{10000, 0, false, false, false, true}, 1, 0, true},
        {{0, 0, false, true, true, true}, 500000, 0, false},  // off, even at exit
        {{10, 0, false, true, true, true}, 500000, 0, false}, // not above the idle wait
        {{-5, 0, false, true, true, true}, 500000, 0, false},
        {{10000, 1, false, true, true, true}, 500000, 0, false}, // link in doubt
        {{10000, 0, true, true, true, true}, 500000, 0, false},  // calibrating
        // Signed comparison: into the negative half counts as a wrap; the unsigned
        // counter passing 0 is just 21 ms; far apart without a sign change still counts.
        {{10000, 0, false, false, false, false}, 0x80000005u, 0x7FFFFFF0u, true},
        {{10000, 0, false, false, false, false}, 0x90000000u, 0, true},
        {{10000, 0, false, false, false, false}, 5, 0xFFFFFFF0u, false},
        {{10000, 0, false, false, false, false}, 0x7FFFFFFFu, 0xFFFFFFF0u, true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(StatRecordDue(c.check, c.now, c.last), c.due) << c.now << " " << c.last;
}

// The idle control loop sleeps exactly until the first tick at which a pass would write.
TEST(StatRecordWait, EndsAtTheFirstTickThatWritesByTime) {
    const StatCheck check{10000, 0, false, false, false, false};
    const struct {
        std::uint32_t now, last;
        std::uint32_t wait;
    } cases[] = {
        {12000, 5000, 3000},
        {5001, 5000, 9999},
        {15000, 5000, 0},                  // due now
        {0x7FFFFF00u, 0x7FFFF000u, 0x100}, // the counter reads as wrapped first
        {0x7FFFFF00u, 0x7FFFDF00u, 0x100}, // both would come; the wrap is nearer
        {0xFFFFFFF0u, 0xFFFFFF00u, 9760},  // in the negative half: only the interval
        {0x80000005u, 0x80000000u, 9995},  // written at the wrap's tick
        {3, 0xFFFFF000u, 10000 - 0x1003},  // the interval across the passing of 0
    };
    for (const auto& c : cases) {
        const std::optional<std::uint32_t> wait = StatRecordWait(check, c.now, c.last);
        ASSERT_TRUE(wait.has_value()) << c.now;
        EXPECT_EQ(*wait, c.wait) << c.now << " " << c.last;
        for (std::uint32_t k = 0; k < *wait; ++k)
            ASSERT_FALSE(StatRecordDue(check, c.now + k, c.last)) << c.now << " + " << k;
        EXPECT_TRUE(StatRecordDue(check, c.now + *wait, c.last)) << c.now;
    }
    // Nothing falls due by time while records are off, the link is in doubt or a
    // calibration runs: the loop then sleeps until a message.
    EXPECT_FALSE(StatRecordWait({0, 0, false, false, false, false}, 50000, 0));
    EXPECT_FALSE(StatRecordWait({10, 0, false, false, false, false}, 50000, 0));
    EXPECT_FALSE(StatRecordWait({10000, 2, false, false, false, false}, 50000, 0));
    EXPECT_FALSE(StatRecordWait({10000, 0, true, false, false, false}, 50000, 0));
}

TEST(StatRecorder, AppendsAfterTheLastWholeRecordAndCutsAShortWriteBack) {
    TUpsStatus s{};
    s.InputVoltage = 219.0f;
    s.Flags = 0x0209;
    s.BatteryStart = 46364.5;
    MemoryFiles fs;
    fs.data = Record(1.0, s) + std::string(30, 'x'); // torn by a power cut
    StatRecorder rec(fs);
    rec.Open("Stat.ups");
    EXPECT_EQ(fs.share, FileShare::ReadWrite);
    rec.Write(2.0, s);
    EXPECT_EQ(fs.data, Record(1.0, s) + Record(2.0, s));

    fs.fail = true; // fails outright: ignored, partial bytes cut, the next one tried
    rec.Write(3.0, s);
    fs.leftOnFail = 7;
    rec.Write(3.0, s);
    EXPECT_EQ(fs.data.size(), 104u);
    fs.fail = false;
    rec.Write(4.0, s);
    EXPECT_EQ(fs.data.substr(104), Record(4.0, s));

    fs.accept = 20; // the disk is full: cut back and nothing more in this run
    rec.Write(5.0, s);
    EXPECT_FALSE(rec.IsOpen());
    fs.accept = 1000;
    rec.Write(6.0, s);
    EXPECT_EQ(fs.data.size(), 156u);

    fs.exists = false;
    rec.Open("Stat.ups");
    EXPECT_FALSE(rec.IsOpen());
}
