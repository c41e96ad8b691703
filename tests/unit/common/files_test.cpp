#include "common/files.h"

#include <gtest/gtest.h>

#include <string>

#include "support/fake_platform.h"

namespace {

// The system's files, with every step written down and any step made to fail.
class TLoggingFiles : public IFileSystem {
public:
    class TFile : public IFile {
    public:
        TFile(std::unique_ptr<IFile> inner, TLoggingFiles& owner)
            : inner_(std::move(inner)), owner_(owner) {}
        ~TFile() override { owner_.log += "close "; }
        bool Read(void* b, std::size_t n, std::size_t& done) override {
            return inner_->Read(b, n, done);
        }
        bool Write(const void* d, std::size_t n, std::size_t& done) override {
            owner_.log += "write ";
            if (owner_.failing == "write") n /= 2; // a short write
            return inner_->Write(d, n, done);
        }
        bool Seek(std::int64_t p) override { return inner_->Seek(p); }
        bool SeekEnd() override { return inner_->SeekEnd(); }
        std::int64_t Position() override { return inner_->Position(); }
        std::int64_t Size() override { return inner_->Size(); }
        bool Truncate() override { return inner_->Truncate(); }
        bool Flush() override {
            owner_.log += "flush ";
            return owner_.failing != "flush" && inner_->Flush();
        }

    private:
        std::unique_ptr<IFile> inner_;
        TLoggingFiles& owner_;
    };

    std::unique_ptr<IFile> Open(const std::string& path, FileOpen mode, FileShare share) override {
        log += "open ";
        if (failing == "open") return nullptr;
        auto f = SystemFiles().Open(path, mode, share);
        return f ? std::make_unique<TFile>(std::move(f), *this) : nullptr;
    }
    bool Exists(const std::string& path) override { return SystemFiles().Exists(path); }
    bool Remove(const std::string& path) override {
        log += "remove ";
        return SystemFiles().Remove(path);
    }
    bool Rename(const std::string& from, const std::string& to) override {
        return SystemFiles().Rename(from, to);
    }
    bool Replace(const std::string& from, const std::string& to) override {
        log += "replace ";
        return failing != "replace" && SystemFiles().Replace(from, to);
    }
    std::uint32_t LastError() override { return 0; }

    std::string log;
    std::string failing;
};

} // namespace

TEST(ReplaceFileContents, TheNewFileIsOnTheDiskBeforeItTakesTheOldOnesName) {
    TempDir dir;
    dir.Write("Kovrin.ini", "[Main]\r\nInterval=2500\r\n");
    TLoggingFiles files;
    const std::string text = "[Main]\r\nInterval=1000\r\n";
    ASSERT_TRUE(ReplaceFileContents(files, dir.File("Kovrin.ini"), text.data(), text.size()));
    EXPECT_EQ(files.log, "open write flush close replace ");
    EXPECT_EQ(dir.Read("Kovrin.ini"), text);
    EXPECT_FALSE(dir.Exists("Kovrin.ini.tmp"));
}

TEST(ReplaceFileContents, AnyFailingStepLeavesTheOldFileWholeAndNoTemporaryOne) {
    for (const char* step : {"open", "write", "flush", "replace"}) {
        TempDir dir;
        dir.Write("Events.ups", "old rules");
        TLoggingFiles files;
        files.failing = step;
        const std::string text = "new rules, longer than the old";
        EXPECT_FALSE(ReplaceFileContents(files, dir.File("Events.ups"), text.data(), text.size()))
            << step;
        EXPECT_EQ(dir.Read("Events.ups"), "old rules") << step;
        EXPECT_FALSE(dir.Exists("Events.ups.tmp")) << step;
    }
}
