#include "port.hpp"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <system_error>
#include <termios.h>
#include <unistd.h>
#include <utility>

namespace upssim {

namespace {

[[noreturn]] void throw_errno(const std::string& what) {
    throw std::system_error(errno, std::generic_category(), what);
}

void make_raw_2400(int fd, const std::string& what) {
    termios tio{};
    if (tcgetattr(fd, &tio) != 0) throw_errno("tcgetattr " + what);
    cfmakeraw(&tio);
    tio.c_cflag &= ~static_cast<tcflag_t>(CSTOPB | PARENB | CSIZE | CRTSCTS);
    tio.c_cflag |= CS8 | CLOCAL | CREAD;
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    cfsetispeed(&tio, B2400);
    cfsetospeed(&tio, B2400);
    if (tcsetattr(fd, TCSANOW, &tio) != 0) throw_errno("tcsetattr " + what);
}

void set_nonblocking(int fd) {
    int flags = fcntl(fd, F_GETFL);
    if (flags < 0 || fcntl(fd, F_SETFL, flags | O_NONBLOCK) != 0) throw_errno("fcntl");
}

} // namespace

Port::Port(Port&& other) noexcept
    : fd(std::exchange(other.fd, -1)), slave_fd(std::exchange(other.slave_fd, -1)),
      path(std::move(other.path)) {}

Port& Port::operator=(Port&& other) noexcept {
    if (this != &other) {
        close();
        fd = std::exchange(other.fd, -1);
        slave_fd = std::exchange(other.slave_fd, -1);
        path = std::move(other.path);
    }
    return *this;
}

Port::~Port() {
    close();
}

void Port::close() {
    if (slave_fd >= 0) ::close(slave_fd);
    if (fd >= 0) ::close(fd);
    fd = slave_fd = -1;
}

Port open_pty() {
    Port p;
    p.fd = posix_openpt(O_RDWR | O_NOCTTY);
    if (p.fd < 0) throw_errno("posix_openpt");
    if (grantpt(p.fd) != 0) throw_errno("grantpt");
    if (unlockpt(p.fd) != 0) throw_errno("unlockpt");
    const char* name = ptsname(p.fd);
    if (!name) throw_errno("ptsname");
    p.path = name;
    p.slave_fd = ::open(name, O_RDWR | O_NOCTTY);
    if (p.slave_fd < 0) throw_errno("open " + p.path);
    // Line settings live on the slave side; without raw mode the pty would
    // echo our answers back to us and turn CR into LF.
    make_raw_2400(p.slave_fd, p.path);
    set_nonblocking(p.fd);
    return p;
}

Port open_serial(const std::string& path) {
    Port p;
    p.path = path;
    p.fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (p.fd < 0) throw_errno("open " + path);
    make_raw_2400(p.fd, path);
    tcflush(p.fd, TCIOFLUSH);
    return p;
}

} // namespace upssim
