#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <memory>
#include <string>
#include <utility>

#include "common/files.h"
#include "monitor/app/data_files.h"
#include "monitor/app/mon_app.h"
#include "support/fake_platform.h"

namespace {

const char* const Names[] = {"Events.ups", "CustCmds.ups", "Kovrin.lgb", "Stat.ups"};
constexpr char Question[] =
    "Версия файлов данных отличается от текущей версии программы, попытаться сконвертировать?";

// A record of `size` bytes full of left-overs, with the bytes at `at` set.
std::string Garbage(std::size_t size, char fill) {
    return std::string(size, fill);
}
void Put(std::string& record, std::size_t at, const std::string& bytes) {
    record.replace(at, bytes.size(), bytes);
}
// A length-prefixed text over an area full of left-overs.
void PutText(std::string& record, std::size_t at, unsigned char length, const std::string& text) {
    record[at] = static_cast<char>(length);
    Put(record, at + 1, text);
}

// What a converted text must hold: the length byte as it was, the characters it counts
// (never more than the area), zeros behind.
std::string ExpectedText(const std::string& old, std::size_t at, std::size_t area) {
    std::string out(area + 1, '\0');
    out[0] = old[at];
    const std::size_t n = std::min<std::size_t>(static_cast<unsigned char>(old[at]), area);
    out.replace(1, n, old.substr(at + 1, n));
    return out;
}

// The real file system, except that chosen operations fail.
class FailingFiles final : public IFileSystem {
public:
    std::string failWritesTo, failRemoveOf;

    std::unique_ptr<IFile> Open(const std::string& path, FileOpen mode, FileShare share) override {
        auto file = SystemFiles().Open(path, mode, share);
        if (file && path == failWritesTo) return std::make_unique<NoWrites>(std::move(file));
        return file;
    }
    bool Exists(const std::string& path) override { return SystemFiles().Exists(path); }
    bool Remove(const std::string& path) override {
        return path != failRemoveOf && SystemFiles().Remove(path);
    }
    bool Rename(const std::string& from, const std::string& to) override {
        return SystemFiles().Rename(from, to);
    }
    std::uint32_t LastError() override { return 0; }

private:
    // Takes half of the first write, then the disk is full.
    class NoWrites final : public IFile {
    public:
        explicit NoWrites(std::unique_ptr<IFile> f) : f_(std::move(f)) {}
        bool Read(void* b, std::size_t s, std::size_t& d) override { return f_->Read(b, s, d); }
        bool Write(const void* data, std::size_t size, std::size_t& done) override {
            if (wrote_) {
                done = 0;
                return false;
            }
            wrote_ = true;
            return f_->Write(data, size / 2, done);
        }
        bool Seek(std::int64_t p) override { return f_->Seek(p); }
        bool SeekEnd() override { return f_->SeekEnd(); }
        std::int64_t Position() override { return f_->Position(); }
        std::int64_t Size() override { return f_->Size(); }
        bool Truncate() override { return f_->Truncate(); }
        bool Flush() override { return f_->Flush(); }

    private:
        std::unique_ptr<IFile> f_;
        bool wrote_ = false;
    };
};

// Old-layout files of each kind, with left-overs behind every text and damaged lengths.
struct OldFiles {
    std::string events, commands, journal, stats = "stat bytes";

    OldFiles() {
        for (int i = 0; i < 2; ++i) {
            std::string rule = Garbage(260, static_cast<char>(0xCC + i));
            Put(rule, 0, std::string("\x07\x01", 2));
            rule[2] = 10;
            rule[3] = static_cast<char>(6 + i);
            PutText(rule, 4, i == 0 ? 9 : 255, "Сообщение");
            events += rule;
        }
        std::string cmd = Garbage(105, '\xAB');
        Put(cmd, 0, std::string("\x04\x00", 2));
        cmd[2] = 6;
        PutText(cmd, 3, 9, "Выключить");
        PutText(cmd, 54, 7, ".5 0010");
        commands += cmd;
        PutText(cmd, 3, 60, "Длина больше области"); // 60 > 50
        PutText(cmd, 54, 0, "");
        commands += cmd;
        for (int i = 0; i < 2; ++i) {
            std::string entry = Garbage(116, '\x5A');
            entry[0] = 2;
            // A signalling NaN as the time: must come through bit for bit.
            Put(entry, 1, std::string("\x01\x00\x00\x00\x00\x00\xF0\x7F", 8));
            PutText(entry, 9, i == 0 ? 4 : 200, "COM1");
            PutText(entry, 15, 19, "Сбой питающей сети.");
            journal += entry;
        }
    }
    void WriteTo(const TempDir& dir) const {
        dir.Write("Events.ups", events);
        dir.Write("CustCmds.ups", commands);
        dir.Write("Kovrin.lgb", journal);
        dir.Write("Stat.ups", stats);
    }
    void ExpectIn(const TempDir& dir) const {
        EXPECT_EQ(dir.Read("Events.ups"), events);
        EXPECT_EQ(dir.Read("CustCmds.ups"), commands);
        EXPECT_EQ(dir.Read("Kovrin.lgb"), journal);
        EXPECT_EQ(dir.Read("Stat.ups"), stats);
    }
};

void ExpectNoTempFiles(const TempDir& dir) {
    for (const char* name : Names)
        EXPECT_FALSE(dir.Exists(std::string(name) + ".tmp")) << name;
}

} // namespace

TEST(DataFiles, FirstStartAndCurrentFilesPassWithoutAQuestion) {
    {
        FakePlatform fp;
        TMonApp app(fp.platform);
        EXPECT_FALSE(app.Fatal());
        EXPECT_TRUE(fp.desktop.boxes.empty());
        for (const char* name : Names) {
            EXPECT_TRUE(fp.dir.Exists(name)) << name;
            EXPECT_EQ(fp.dir.Read(name), "") << name;
        }
    }
    FakePlatform fp;
    const std::string events(516 * 2, 'e'), commands(105, 'c'), journal(116 * 3, 'j');
    fp.dir.Write("Events.ups", events);
    fp.dir.Write("CustCmds.ups", commands);
    fp.dir.Write("Kovrin.lgb", journal);
    fp.dir.Write("Stat.ups", "odd"); // the statistics are not checked
    TMonApp app(fp.platform);
    EXPECT_FALSE(app.Fatal());
    EXPECT_TRUE(fp.desktop.boxes.empty());
    EXPECT_EQ(fp.dir.Read("Events.ups"), events);
    EXPECT_EQ(fp.dir.Read("CustCmds.ups"), commands);
    EXPECT_EQ(fp.dir.Read("Kovrin.lgb"), journal);
    EXPECT_EQ(fp.dir.Read("Stat.ups"), "odd");
}

TEST(DataFiles, NoOrAnUnknownLayoutStopsTheMonitorAndTouchesNothing) {
    {
        FakePlatform fp;
        OldFiles old;
        old.WriteTo(fp.dir);
        fp.desktop.answers = {IDX_NO};
        TMonApp app(fp.platform);
        EXPECT_TRUE(app.Fatal());
        ASSERT_EQ(fp.desktop.boxes.size(), 1u);
        const FakeDesktop::Box& box = fp.desktop.boxes[0];
        EXPECT_FALSE(box.async);
        EXPECT_EQ(box.owner, 0u);
        EXPECT_EQ(box.caption, "Внимание!");
        EXPECT_EQ(box.text, Question);
        EXPECT_EQ(box.type, MBX_YESNO);
        old.ExpectIn(fp.dir);
        ExpectNoTempFiles(fp.dir);
    }
    // 100 bytes fit neither layout of the rules; 117 neither of the journal.
    for (const auto& [events, journal] : {std::pair{100, 0}, std::pair{520, 117}}) {
        FakePlatform fp;
        fp.dir.Write("Events.ups", std::string(events, 'e'));
        fp.dir.Write("Kovrin.lgb", std::string(journal, 'j'));
        fp.desktop.answers = {IDX_YES};
        TMonApp app(fp.platform);
        EXPECT_TRUE(app.Fatal());
        ASSERT_EQ(fp.desktop.boxes.size(), 2u);
        const FakeDesktop::Box& box = fp.desktop.boxes[1];
        EXPECT_EQ(box.owner, 0u);
        EXPECT_EQ(box.caption, "Ошибка!");
        EXPECT_EQ(box.text,
                  "Не удалось определить версию файлов данных, продолжение работы невозможно.");
        EXPECT_EQ(box.type, MBX_OK);
        EXPECT_EQ(fp.dir.Read("Events.ups").size(), static_cast<std::size_t>(events));
        EXPECT_EQ(fp.dir.Read("Kovrin.lgb").size(), static_cast<std::size_t>(journal));
        ExpectNoTempFiles(fp.dir);
    }
}

TEST(DataFiles, YesConvertsEveryRecordByteForByte) {
    FakePlatform fp;
    OldFiles old;
    old.WriteTo(fp.dir);
    fp.desktop.answers = {IDX_YES};
    TMonApp app(fp.platform);
    EXPECT_FALSE(app.Fatal());
    ASSERT_EQ(fp.desktop.boxes.size(), 1u) << "only the question";
    ExpectNoTempFiles(fp.dir);

    // 520 bytes are two old rules: 1032 bytes of new ones, with empty expressions.
    const std::string events = fp.dir.Read("Events.ups");
    ASSERT_EQ(events.size(), 1032u);
    for (std::size_t i = 0; i < 2; ++i) {
        const std::string in = old.events.substr(i * 260, 260);
        const std::string out = events.substr(i * 516, 516);
        EXPECT_EQ(out.substr(0, 4), in.substr(0, 4)) << i;
        EXPECT_EQ(out.substr(4, 256), ExpectedText(in, 4, 255)) << i;
        EXPECT_EQ(out.substr(260), std::string(256, '\0')) << i;
    }

    const std::string commands = fp.dir.Read("CustCmds.ups");
    ASSERT_EQ(commands.size(), 210u);
    for (std::size_t i = 0; i < 2; ++i) {
        const std::string in = old.commands.substr(i * 105, 105);
        const std::string out = commands.substr(i * 105, 105);
        EXPECT_EQ(out.substr(0, 3), in.substr(0, 3)) << i;
        EXPECT_EQ(out.substr(3, 51), ExpectedText(in, 3, 50)) << i;
        EXPECT_EQ(out.substr(54, 51), ExpectedText(in, 54, 50)) << i;
    }
    EXPECT_EQ(static_cast<unsigned char>(commands[105 + 3]), 60) << "the length byte as it was";
    EXPECT_EQ(commands.substr(105 + 4, 50), old.commands.substr(105 + 4, 50));

    const std::string journal = fp.dir.Read("Kovrin.lgb");
    ASSERT_EQ(journal.size(), 232u);
    for (std::size_t i = 0; i < 2; ++i) {
        const std::string in = old.journal.substr(i * 116, 116);
        const std::string out = journal.substr(i * 116, 116);
        EXPECT_EQ(out.substr(0, 9), in.substr(0, 9)) << i;
        EXPECT_EQ(out.substr(9, 6), ExpectedText(in, 9, 5)) << i;
        EXPECT_EQ(out.substr(15, 101), ExpectedText(in, 15, 100)) << i;
    }
    EXPECT_EQ(fp.dir.Read("Stat.ups"), old.stats);

    // The converted set is current: the next start asks nothing.
    FakePlatform again;
    for (const char* name : Names)
        again.dir.Write(name, fp.dir.Read(name));
    TMonApp next(again.platform);
    EXPECT_FALSE(next.Fatal());
    EXPECT_TRUE(again.desktop.boxes.empty());
}

TEST(DataFiles, AFailedConversionKeepsEveryOriginal) {
    // The disk fills while the commands are written: the rules' ".tmp" was already done.
    {
        TempDir dir;
        OldFiles old;
        old.WriteTo(dir);
        FailingFiles files;
        files.failWritesTo = dir.File("CustCmds.ups.tmp");
        FakeDesktop desktop;
        desktop.answers = {IDX_YES};
        EXPECT_TRUE(CheckDataFiles(files, desktop, MakeDataFilePaths(dir.Path())));
        ASSERT_EQ(desktop.boxes.size(), 2u);
        EXPECT_EQ(desktop.boxes[1].caption, "Ошибка!");
        EXPECT_EQ(desktop.boxes[1].type, MBX_OK);
        old.ExpectIn(dir);
        ExpectNoTempFiles(dir);
    }
    // The journal cannot be replaced: the files before it are converted, the journal stays
    // as it was, and no ".tmp" is left behind for it.
    {
        TempDir dir;
        OldFiles old;
        old.WriteTo(dir);
        FailingFiles files;
        files.failRemoveOf = dir.File("Kovrin.lgb");
        FakeDesktop desktop;
        desktop.answers = {IDX_YES};
        EXPECT_TRUE(CheckDataFiles(files, desktop, MakeDataFilePaths(dir.Path())));
        ASSERT_EQ(desktop.boxes.size(), 2u);
        EXPECT_NE(desktop.boxes[1].text.find(dir.File("Kovrin.lgb")), std::string::npos);
        EXPECT_EQ(dir.Read("Events.ups").size(), 1032u);
        EXPECT_EQ(dir.Read("Kovrin.lgb"), old.journal);
        ExpectNoTempFiles(dir);
    }
}
