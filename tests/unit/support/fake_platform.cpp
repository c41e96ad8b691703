#include "support/fake_platform.h"

#include <atomic>
#include <chrono>
#include <cstring>
#include <fstream>
#include <sstream>

#include "common/messages.h"
#include "common/records.h"

std::intptr_t FakeQueue::Send(WindowHandle to, std::uint32_t msg, std::uintptr_t w,
                              std::intptr_t l) {
    Sent s{to, msg, w, l, {}};
    if (msg == UM_TODIALOG && l != 0) {
        // Copy what the receiver would copy before the send returns.
        std::size_t size = 0;
        switch (w & 0x7F) {
        case TD_STATUS:
            size = sizeof(TUpsStatus);
            break;
        case TD_INFO:
            size = sizeof(TUpsInfo);
            break;
        case TD_RATING:
            size = sizeof(TUpsRating);
            break;
        case TD_JOURNAL:
            size = sizeof(TJournalRecord);
            break;
        case TD_ANSWER:
            size = 256;
            break;
        }
        s.payload.assign(reinterpret_cast<const char*>(l), size);
    }
    sent.push_back(s);
    return 0;
}

TempDir::TempDir() {
    static std::atomic<int> counter{0};
    std::ostringstream name;
    name << "kovrin-test-" << std::chrono::steady_clock::now().time_since_epoch().count() << "-"
         << counter++;
    std::filesystem::path p = std::filesystem::temp_directory_path() / name.str();
    std::filesystem::remove_all(p);
    std::filesystem::create_directories(p);
    path_ = p.string();
    path_ += static_cast<char>(std::filesystem::path::preferred_separator);
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

void TempDir::Write(const std::string& name, const std::string& bytes) const {
    std::ofstream f(File(name), std::ios::binary | std::ios::trunc);
    f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string TempDir::Read(const std::string& name) const {
    std::ifstream f(File(name), std::ios::binary);
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
}

bool TempDir::Exists(const std::string& name) const {
    return std::filesystem::exists(File(name));
}
