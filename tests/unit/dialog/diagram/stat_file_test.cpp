#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <limits>
#include <memory>

#include "common/datetime.h"
#include "common/files.h"
#include "dialog/diagram/diagram_data.h"

namespace {

const double Day = static_cast<double>(DaysFromCivil(2026, 3, 14));
const double NaN = std::numeric_limits<double>::quiet_NaN();

TStatRecord Stat(double time, float input) {
    TStatRecord r{};
    r.Time = time;
    r.Status.InputVoltage = input;
    r.Status.OutputVoltage = 220;
    r.Status.BatteryVoltage = 13.5f;
    r.Status.InputFrequency = 50;
    r.Status.Load = 25;
    r.Status.BatteryCharge = 90;
    return r;
}

// The real files, but no read delivers more than a few bytes: what a platform may do, and
// what every reader must take until the file ends.
class TShortReads final : public IFileSystem {
public:
    std::unique_ptr<IFile> Open(const std::string& path, FileOpen mode, FileShare share) override {
        auto file = SystemFiles().Open(path, mode, share);
        return file ? std::make_unique<Piecewise>(std::move(file)) : nullptr;
    }
    bool Exists(const std::string& path) override { return SystemFiles().Exists(path); }
    bool Remove(const std::string& path) override { return SystemFiles().Remove(path); }
    bool Rename(const std::string& from, const std::string& to) override {
        return SystemFiles().Rename(from, to);
    }
    std::uint32_t LastError() override { return SystemFiles().LastError(); }

private:
    struct Piecewise final : IFile {
        explicit Piecewise(std::unique_ptr<IFile> f) : file(std::move(f)) {}
        bool Read(void* buffer, std::size_t size, std::size_t& done) override {
            return file->Read(buffer, std::min<std::size_t>(size, 7), done);
        }
        bool Write(const void* data, std::size_t size, std::size_t& done) override {
            return file->Write(data, size, done);
        }
        bool Seek(std::int64_t position) override { return file->Seek(position); }
        bool SeekEnd() override { return file->SeekEnd(); }
        std::int64_t Position() override { return file->Position(); }
        std::int64_t Size() override { return file->Size(); }
        bool Truncate() override { return file->Truncate(); }
        bool Flush() override { return file->Flush(); }
        std::unique_ptr<IFile> file;
    };
};

class StatFile : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               ("kovrin_stat_" +
                std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
        path_ = (dir_ / "Stat.ups").string();
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }
    void Write(const std::vector<TStatRecord>& records, const std::string& tail = "") {
        std::ofstream out(path_, std::ios::binary | std::ios::trunc);
        for (const TStatRecord& r : records)
            out.write(reinterpret_cast<const char*>(&r), sizeof r);
        out << tail;
    }
    std::vector<float> Inputs(double start, double length) {
        std::vector<float> out;
        if (auto v = ReadStatWindow(SystemFiles(), path_, start, length))
            for (const TStatValues& values : *v)
                out.push_back(values[0]);
        return out;
    }
    std::filesystem::path dir_;
    std::string path_;
};

} // namespace

TEST_F(StatFile, WindowTakesBothEndsInFileOrder) {
    const double hour = 1.0 / 24;
    Write({Stat(Day - 0.001, 1), Stat(Day, 2), Stat(Day + hour / 2, 3), Stat(Day + hour, 4),
           Stat(Day + hour + 0.001, 5), Stat(Day + hour / 4, 6), Stat(NaN, 7)},
          std::string(30, 'x'));
    // An out-of-order record stays where the file has it; a time that is no number and the
    // record being appended are left out.
    EXPECT_EQ(Inputs(Day, hour), (std::vector<float>{2, 3, 4, 6}));
    EXPECT_EQ(Inputs(Day + 5, hour), std::vector<float>{});
    ASSERT_TRUE(ReadStatWindow(SystemFiles(), path_, Day + 5, hour).has_value());
    const auto values = ReadStatWindow(SystemFiles(), path_, Day, hour);
    EXPECT_EQ((*values)[0][4], 25); // load
    EXPECT_EQ((*values)[0][5], 90); // charge
}

TEST_F(StatFile, MissingFileIsNoWindowAtAll) {
    EXPECT_FALSE(ReadStatWindow(SystemFiles(), path_, Day, 1).has_value());
    EXPECT_FALSE(ReadStatSpan(SystemFiles(), path_).has_value());
}

TEST_F(StatFile, SpanOfTheFirstAndLastDatedRecords) {
    Write({Stat(NaN, 0), Stat(Day + 0.25, 0), Stat(Day + 3.5, 0), Stat(Day + 9.75, 0),
           Stat(1e300, 0)},
          "half");
    const auto span = ReadStatSpan(SystemFiles(), path_);
    ASSERT_TRUE(span);
    EXPECT_EQ(span->First, Day + 0.25);
    EXPECT_EQ(span->Last, Day + 9.75);
}

TEST_F(StatFile, SpanOfAFileWithoutDatesIsNone) {
    Write({});
    EXPECT_FALSE(ReadStatSpan(SystemFiles(), path_));
    Write({}, std::string(51, '\0'));
    EXPECT_FALSE(ReadStatSpan(SystemFiles(), path_));
    Write({Stat(NaN, 0), Stat(-1e9, 0)});
    EXPECT_FALSE(ReadStatSpan(SystemFiles(), path_));
    Write({Stat(Day + 4, 0), Stat(Day + 1, 0)}); // written backwards: still a span
    const auto span = ReadStatSpan(SystemFiles(), path_);
    ASSERT_TRUE(span);
    EXPECT_EQ(span->First, Day + 1);
    EXPECT_EQ(span->Last, Day + 4);
}

TEST(RangeSlider, SpansTheWholeDaysAndStartsAtTheChosenOneWithinThem) {
    const TStatSpan span{Day + 0.25, Day + 9.75};
    TSliderSetup s = SliderFor(span, Day + 3);
    EXPECT_EQ(s.Min, static_cast<int>(Day));
    EXPECT_EQ(s.Max, static_cast<int>(Day) + 9);
    EXPECT_EQ(s.Position, static_cast<int>(Day) + 3);
    // A day outside the file (or none) starts at the first day.
    EXPECT_EQ(SliderFor(span, Day + 20).Position, static_cast<int>(Day));
    EXPECT_EQ(SliderFor(span, 0).Position, static_cast<int>(Day));
    EXPECT_EQ(SliderFor(span, Day).Position, static_cast<int>(Day)); // before 06:00 of it
}

TEST_F(StatFile, ReadInPiecesTheFileGivesTheSameWindowAndSpan) {
    Write({Stat(Day + 0.25, 1), Stat(Day + 0.5, 2), Stat(Day + 2.75, 3)}, "torn");
    TShortReads pieces;
    const auto span = ReadStatSpan(pieces, path_);
    ASSERT_TRUE(span);
    EXPECT_EQ(span->First, Day + 0.25);
    EXPECT_EQ(span->Last, Day + 2.75);
    const auto values = ReadStatWindow(pieces, path_, Day, 1);
    ASSERT_TRUE(values);
    EXPECT_EQ(values->size(), 2u);
}
