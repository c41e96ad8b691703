#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

#include "common/records.h"
#include "tools/dump/dumper.h"
#include "tools/dump/options.h"

namespace fs = std::filesystem;

namespace {

std::string JournalBytes(const char* text, double time = 45424.5) {
    TJournalRecord r;
    std::memset(&r, 0, sizeof r);
    r.Kind = 1;
    r.Time = time;
    r.Port = "COM1";
    r.Text = text;
    return std::string(reinterpret_cast<const char*>(&r), sizeof r);
}

class DumpRun : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("kovrin_dump_" + std::to_string(::getpid()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string Path(const char* name) const { return (dir_ / name).string(); }

    static void Write(const std::string& path, const std::string& bytes, bool append = false) {
        std::ofstream f(path, std::ios::binary | (append ? std::ios::app : std::ios::trunc));
        f << bytes;
    }

    // Runs the dump; while following, each wait performs the next step, and the run ends
    // after the last one.
    int Run(std::vector<std::string> args, std::vector<std::function<void()>> steps = {}) {
        std::string error;
        const auto options = ParseArguments(args, error);
        EXPECT_TRUE(options) << error;
        if (!options) return -1;
        std::size_t next = 0;
        const FollowControl follow{[&] { steps[next++](); }, [&] { return next == steps.size(); }};
        out_.str("");
        err_.str("");
        return RunDump(*options, out_, err_, follow);
    }

    fs::path dir_;
    std::ostringstream out_, err_;
};

} // namespace

TEST_F(DumpRun, TrailingFragmentIsReportedAndNotRead) {
    const std::string journal = Path("Kovrin.lgb");
    Write(journal, JournalBytes("one") + JournalBytes("two") + std::string(40, 'x'));
    EXPECT_EQ(Run({"--csv", journal}), 0);
    EXPECT_EQ(out_.str(), "time,kind,port,text\n"
                          "12.05.2024 12:00:00,1,COM1,one\n"
                          "12.05.2024 12:00:00,1,COM1,two\n");
    EXPECT_NE(err_.str().find("40 bytes at the end are not a whole record"), std::string::npos);

    // Smaller than one record: nothing but the header.
    Write(journal, std::string(115, '\0'));
    EXPECT_EQ(Run({"--csv", journal}), 0);
    EXPECT_EQ(out_.str(), "time,kind,port,text\n");
    EXPECT_NE(err_.str().find("115 bytes"), std::string::npos);
}

TEST_F(DumpRun, FollowSeesAppendedRecordsAndARecreatedFile) {
    const std::string journal = Path("Kovrin.lgb");
    Write(journal, JournalBytes("first"));
    const int rc = Run({"--follow", "--csv", journal},
                       {
                           [&] { Write(journal, JournalBytes("second"), true); },
                           // Half a record: held back until it is whole.
                           [&] { Write(journal, JournalBytes("third").substr(0, 50), true); },
                           [&] { Write(journal, JournalBytes("third").substr(50), true); },
                           [&] {}, // nothing new
                           // The dialog clears the journal; the monitor writes it again.
                           [&] { fs::remove(journal); },
                           [&] { Write(journal, JournalBytes("after clearing")); },
                           // Cut shorter in place.
                           [&] { Write(journal, JournalBytes("a") + JournalBytes("b")); },
                           [&] { Write(journal, JournalBytes("c")); },
                       });
    EXPECT_EQ(rc, 0);
    EXPECT_EQ(out_.str(), "time,kind,port,text\n"
                          "12.05.2024 12:00:00,1,COM1,first\n"
                          "12.05.2024 12:00:00,1,COM1,second\n"
                          "12.05.2024 12:00:00,1,COM1,third\n"
                          "12.05.2024 12:00:00,1,COM1,after clearing\n"
                          "12.05.2024 12:00:00,1,COM1,a\n"
                          "12.05.2024 12:00:00,1,COM1,b\n"
                          "12.05.2024 12:00:00,1,COM1,c\n");
    // A record caught half written is no fragment to report.
    EXPECT_EQ(err_.str().find("not a whole record"), std::string::npos) << err_.str();
    EXPECT_NE(err_.str().find("not there"), std::string::npos);
}

TEST_F(DumpRun, FollowWaitsForAMissingFileAndReportsAFragmentThatStays) {
    const std::string stats = Path("Stat.ups");
    std::string record(sizeof(TStatRecord), '\0');
    const int rc = Run({"--follow", stats}, {
                                                [&] { Write(stats, record + "xy"); },
                                                [&] {},
                                                [&] {},
                                            });
    EXPECT_EQ(rc, 0);
    EXPECT_NE(out_.str().find("30.12.1899 00:00:00  in 0.0"), std::string::npos) << out_.str();
    EXPECT_NE(err_.str().find("not there; waiting"), std::string::npos);
    const std::string err = err_.str();
    const auto first = err.find("2 bytes at the end");
    ASSERT_NE(first, std::string::npos) << err;
    EXPECT_EQ(err.find("2 bytes at the end", first + 1), std::string::npos); // told once
}

TEST_F(DumpRun, SeveralFilesAndListsLongerThanTheProgramsRead) {
    const std::string rules = Path("Events.ups");
    const std::string journal = Path("Kovrin.lgb");
    Write(rules, std::string(51 * sizeof(TEventRule), '\0'));
    Write(journal, JournalBytes("x"));
    const std::string missing = Path("gone") + "/Kovrin.lgb";
    EXPECT_EQ(Run({rules, journal, missing}), 1);
    const std::string out = out_.str();
    EXPECT_EQ(out.rfind("==> " + rules + " <==\n", 0), 0u);
    EXPECT_NE(out.find("==> " + journal + " <==\n12.05.2024"), std::string::npos);
    EXPECT_NE(err_.str().find("after the 50th"), std::string::npos);
    EXPECT_NE(err_.str().find(missing + ": cannot be read"), std::string::npos);
}

TEST(DumpOptions, UsageErrors) {
    std::string error;
    EXPECT_FALSE(ParseArguments({}, error));
    EXPECT_FALSE(ParseArguments({"--bogus", "Kovrin.lgb"}, error));
    EXPECT_FALSE(ParseArguments({"data.bin"}, error));
    EXPECT_NE(error.find("data.bin"), std::string::npos);
    EXPECT_FALSE(ParseArguments({"--follow", "Events.ups"}, error));
    EXPECT_FALSE(ParseArguments({"--stats", "--rules", "a"}, error));
    const auto forced = ParseArguments({"--stats", "--", "--odd-name"}, error);
    ASSERT_TRUE(forced);
    EXPECT_EQ(forced->Files[0].Path, "--odd-name");
    EXPECT_EQ(forced->Files[0].Kind->Kind, FileKind::Stats);
}

TEST_F(DumpRun, ProgramExitCodes) {
    const std::string journal = Path("Kovrin.lgb");
    Write(journal, JournalBytes("x"));
    const std::string exe = KOVRIN_DUMP_EXE;
    const auto status = [&](const std::string& args) {
        const int raw = std::system((exe + " " + args + " >/dev/null 2>&1").c_str());
        return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    };
    EXPECT_EQ(status("--csv " + journal), 0);
    EXPECT_EQ(status(Path("Stat.ups")), 1);
    EXPECT_EQ(status("--journal " + dir_.string()), 1); // a directory
    EXPECT_EQ(status("--nonsense " + journal), 2);
    EXPECT_EQ(status(""), 2);
}
