#include "monitor/link/device_log.h"

#include "common/clock.h"
#include "common/files.h"

namespace {

constexpr char HexDigits[] = "0123456789ABCDEF";

std::string_view TrimControlAndBlanks(std::string_view s) {
    while (!s.empty() && static_cast<unsigned char>(s.front()) <= ' ')
        s.remove_prefix(1);
    while (!s.empty() && static_cast<unsigned char>(s.back()) <= ' ')
        s.remove_suffix(1);
    return s;
}

} // namespace

std::string EscapeForDeviceLog(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() + 8);
    bool inHex = false;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        const bool lineEnd = b == '\r' && i + 1 == bytes.size();
        if ((b >= 32 && b <= 126) || lineEnd) {
            if (inHex) {
                out += ']';
                inHex = false;
            }
            out += static_cast<char>(b);
        } else {
            if (!inHex) {
                out += "[$";
                inHex = true;
            }
            out += HexDigits[b >> 4];
            out += HexDigits[b & 0x0F];
        }
    }
    if (inHex) out += ']';
    return out;
}

DeviceLog::DeviceLog(IFileSystem& files, IClock& clock) : files_(files), clock_(clock) {}

DeviceLog::~DeviceLog() = default;

void DeviceLog::Begin(const std::string& path) {
    const std::string_view name = TrimControlAndBlanks(path);
    if (!name.empty() && !file_) {
        const std::string fileName(name);
        // An existing log may be watched by another program while it grows; a new one is
        // ours alone until the session ends. Neither is ever emptied.
        if (files_.Exists(fileName))
            file_ = files_.Open(fileName, FileOpen::ReadWriteExisting, FileShare::ReadWrite);
        else
            file_ = files_.Open(fileName, FileOpen::OpenAlways, FileShare::None);
        // Writing anywhere but at the end would overwrite earlier sessions.
        if (file_ && !file_->SeekEnd()) file_.reset();
    }
    Write("\r");
    const TDateTime now = clock_.Now();
    Write("=== Device log session [" + clock_.ShortDate(now) + " " + clock_.LongTime(now) +
          "] ===\r");
}

void DeviceLog::End() {
    if (!file_) return;
    const TDateTime now = clock_.Now();
    Write("=== End log session [" + clock_.ShortDate(now) + " " + clock_.LongTime(now) + "] ===\r");
    file_.reset();
}

void DeviceLog::Write(std::string_view text) {
    if (!file_) return;
    WriteRaw(EscapeForDeviceLog(text));
}

void DeviceLog::WriteRaw(const std::string& text) {
    // Write errors are ignored: the log must never stop the monitor.
    std::size_t done = 0;
    file_->Write(text.data(), text.size(), done);
    file_->Flush();
}
