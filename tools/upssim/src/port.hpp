// The line the simulated UPS talks on: a pseudo-terminal or a real serial port.
#pragma once

#include <string>

namespace upssim {

struct Port {
    int fd = -1;       // the UPS's end: pty master or the serial device
    int slave_fd = -1; // pty only: held open so the pty survives clients coming and going
    std::string path;  // what a client opens

    Port() = default;
    Port(const Port&) = delete;
    Port& operator=(const Port&) = delete;
    Port(Port&& other) noexcept;
    Port& operator=(Port&& other) noexcept;
    ~Port();
    void close();
};

// Both throw std::system_error. The fd is non-blocking, raw, 2400 8N1.
Port open_pty();
Port open_serial(const std::string& path);

} // namespace upssim
