#pragma once
// Light stand-ins for the platform, shared by the harnesses: an in-memory file system with
// scripted failures and short reads, and a platform whose queue, tray, power and dialog
// library do nothing. Every harness builds a fresh set per input, so no state leaks from
// one input to the next.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "common/files.h"
#include "monitor/runtime/platform.h"
#include "support/fake_clock.h"

namespace fuzz {

// Stops the run with a message; libFuzzer keeps the input that got here.
[[noreturn]] inline void Fail(const char* what) {
    std::fprintf(stderr, "invariant broken: %s\n", what);
    std::abort();
}
#define FUZZ_CHECK(cond)                                                                           \
    do {                                                                                           \
        if (!(cond)) ::fuzz::Fail(#cond);                                                          \
    } while (0)

// Reads the input front to back; past its end every value is 0.
class Reader {
public:
    Reader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    std::uint8_t Byte() { return pos_ < size_ ? data_[pos_++] : 0; }
    std::uint16_t Word() {
        const std::uint16_t lo = Byte();
        return static_cast<std::uint16_t>(lo | (Byte() << 8));
    }
    std::string Bytes(std::size_t n) {
        n = std::min(n, size_ - pos_);
        std::string s(reinterpret_cast<const char*>(data_ + pos_), n);
        pos_ += n;
        return s;
    }
    std::string Rest() { return Bytes(size_ - pos_); }
    std::size_t Left() const { return size_ - pos_; }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

// Files held in memory. Failures are scripted by operation number: the n-th open, read,
// write, remove or rename (counted together, from 1) fails when its bit is set in
// `failMask` (operations past 64 never fail). Reads may deliver fewer bytes than asked.
class MemoryFiles final : public IFileSystem {
public:
    std::map<std::string, std::shared_ptr<std::string>> files;
    std::uint64_t failMask = 0;
    std::size_t readChunk = 0; // most bytes one read delivers; 0 = all asked for
    std::size_t operations = 0;

    bool Injected() {
        const std::size_t n = operations++;
        return n < 64 && (failMask >> n & 1) != 0;
    }

    std::unique_ptr<IFile> Open(const std::string& path, FileOpen mode, FileShare) override;
    bool Exists(const std::string& path) override { return files.count(path) != 0; }
    bool Remove(const std::string& path) override {
        if (Injected()) return false;
        return files.erase(path) != 0;
    }
    bool Rename(const std::string& from, const std::string& to) override {
        if (Injected() || !files.count(from) || files.count(to)) return false;
        files[to] = files[from];
        files.erase(from);
        return true;
    }
    // One step, as both platforms replace a file: the old file or the new one, never none.
    bool Replace(const std::string& from, const std::string& to) override {
        if (Injected() || !files.count(from)) return false;
        files[to] = files[from];
        files.erase(from);
        return true;
    }
    std::uint32_t LastError() override { return 5; }

    const std::string* Content(const std::string& path) const {
        const auto it = files.find(path);
        return it == files.end() ? nullptr : it->second.get();
    }
};

class MemoryFile final : public IFile {
public:
    MemoryFile(MemoryFiles& owner, std::shared_ptr<std::string> bytes, bool writable)
        : owner_(owner), bytes_(std::move(bytes)), writable_(writable) {}

    bool Read(void* buffer, std::size_t size, std::size_t& done) override {
        done = 0;
        if (owner_.Injected()) return false;
        std::size_t n = pos_ < bytes_->size() ? std::min(size, bytes_->size() - pos_) : 0;
        if (owner_.readChunk) n = std::min(n, owner_.readChunk);
        if (n) std::memcpy(buffer, bytes_->data() + pos_, n);
        pos_ += n;
        done = n;
        return true;
    }
    bool Write(const void* data, std::size_t size, std::size_t& done) override {
        done = 0;
        if (!writable_ || owner_.Injected()) return false;
        if (bytes_->size() < pos_ + size) bytes_->resize(pos_ + size);
        if (size) std::memcpy(bytes_->data() + pos_, data, size);
        pos_ += size;
        done = size;
        return true;
    }
    bool Seek(std::int64_t position) override {
        if (position < 0) return false;
        pos_ = static_cast<std::size_t>(position);
        return true;
    }
    bool SeekEnd() override {
        pos_ = bytes_->size();
        return true;
    }
    std::int64_t Position() override { return static_cast<std::int64_t>(pos_); }
    std::int64_t Size() override { return static_cast<std::int64_t>(bytes_->size()); }
    bool Truncate() override {
        if (!writable_) return false;
        bytes_->resize(pos_);
        return true;
    }
    bool Flush() override { return true; }

private:
    MemoryFiles& owner_;
    std::shared_ptr<std::string> bytes_;
    bool writable_;
    std::size_t pos_ = 0;
};

inline std::unique_ptr<IFile> MemoryFiles::Open(const std::string& path, FileOpen mode, FileShare) {
    if (Injected()) return nullptr;
    auto it = files.find(path);
    const bool exists = it != files.end();
    switch (mode) {
    case FileOpen::ReadExisting:
        if (!exists) return nullptr;
        return std::make_unique<MemoryFile>(*this, it->second, false);
    case FileOpen::ReadWriteExisting:
        if (!exists) return nullptr;
        return std::make_unique<MemoryFile>(*this, it->second, true);
    case FileOpen::CreateAlways:
        files[path] = std::make_shared<std::string>();
        return std::make_unique<MemoryFile>(*this, files[path], true);
    case FileOpen::OpenAlways:
        if (!exists) files[path] = std::make_shared<std::string>();
        return std::make_unique<MemoryFile>(*this, files[path], true);
    }
    return nullptr;
}

class NullQueue final : public IMessageQueue {
public:
    bool Start() override { return true; }
    void Stop() override {}
    WindowHandle Window() override { return 0x1000; }
    bool Take(Message&) override { return false; }
    void Release() override {}
    bool WaitForMessage(std::uint32_t) override { return false; }
    bool StartTimer(std::uint32_t, std::uint32_t) override { return true; }
    void StopTimer(std::uint32_t) override {}
    bool Post(WindowHandle, std::uint32_t, std::uintptr_t, std::intptr_t) override { return true; }
    std::intptr_t Send(WindowHandle, std::uint32_t, std::uintptr_t, std::intptr_t) override {
        return 0;
    }
    void PumpCallerMessages() override {}
};

// Answers blocking boxes from a script (IDX_OK once it runs out) and counts them all.
class ScriptedDesktop final : public IDesktop {
public:
    std::vector<int> answers;
    std::size_t asked = 0;
    std::vector<std::string> texts, captions;
    int MessageBox(WindowHandle, const std::string& text, const std::string& caption,
                   std::uint32_t) override {
        texts.push_back(text);
        captions.push_back(caption);
        return asked < answers.size() ? answers[asked++] : IDX_OK;
    }
    bool ShowMessageAsync(WindowHandle, const std::string& text, const std::string& caption,
                          std::uint32_t, int) override {
        texts.push_back(text);
        captions.push_back(caption);
        return true;
    }
};

class NullTray final : public ITrayShell {
public:
    bool Add(WindowHandle, const std::string&, const std::string&) override { return true; }
    bool Modify(WindowHandle, const std::string&, const std::string&) override { return true; }
    void Delete(WindowHandle) override {}
    void CreateMenu() override {}
    void DestroyMenu() override {}
    void ShowMenu(WindowHandle) override {}
};

// Never touches the machine: a harness must not power anything off.
class NullPower final : public IPower {
public:
    bool ExitWindowsWithPrivilege(std::uint32_t) override { return false; }
    bool Hibernate() override { return false; }
    void ShellOpen(const std::string&, const std::string&) override {}
};

class NullDialogLibrary final : public IDialogLibrary {
public:
    bool Load(const std::string&) override { return false; }
    void CreateDialogForm(WindowHandle) override {}
    void DestroyDialogForm() override {}
    void Free() override {}
};

inline constexpr char ProgramDir[] = "C:\\Kovrin\\";

// Everything a monitor object needs, wired together, with the port supplied by the harness.
struct Platform {
    explicit Platform(ISerialPort& port)
        : platform{clock, files, port, queue, desktop, tray, power, dialog, ProgramDir} {}
    FakeClock clock;
    MemoryFiles files;
    NullQueue queue;
    ScriptedDesktop desktop;
    NullTray tray;
    NullPower power;
    NullDialogLibrary dialog;
    TPlatform platform;
};

} // namespace fuzz
