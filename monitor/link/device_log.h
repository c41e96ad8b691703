#pragma once
#include <memory>
#include <string>
#include <string_view>

class IClock;
class IFile;
class IFileSystem;

// Bytes as the device log shows them: printable ASCII as it is, a CR that ends the text
// as the line end, every other byte as two hex digits inside "[$" ... "]" runs.
std::string EscapeForDeviceLog(std::string_view bytes);

// The optional text trace of every port step and every byte exchanged with the UPS.
// Lines end with a lone CR. It never stops the monitor: an unusable path just turns it off.
class DeviceLog {
public:
    DeviceLog(IFileSystem& files, IClock& clock);
    ~DeviceLog();

    // Starts a session in the file at path (empty: no log). A file still open from a
    // session without footer stays in use.
    void Begin(const std::string& path);
    // Ends the session with its footer and closes the file.
    void End();
    // Appends the escaped text and flushes it to the disk.
    void Write(std::string_view text);
    bool IsOpen() const { return file_ != nullptr; }

private:
    void WriteRaw(const std::string& text);

    IFileSystem& files_;
    IClock& clock_;
    std::unique_ptr<IFile> file_;
};
