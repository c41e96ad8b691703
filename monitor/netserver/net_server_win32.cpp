// Winsock's select() takes at most FD_SETSIZE sockets, 64 by default: room here for every
// client, the listening sockets and the wake socket.
#define FD_SETSIZE 128
#include <windows.h>
#include <winsock2.h>

#include <array>
#include <atomic>
#include <memory>

#include "monitor/netserver/net_server.h"
#include "monitor/netserver/net_server_core.h"

namespace {

// One select() waits at most this long: the idle clients are checked about this often, and
// without a wake socket it is also how long a stop can take.
constexpr long IdleCheckMs = 5000;
constexpr long PollWithoutWakeMs = 250;
constexpr int AcceptsPerPass = 16;

void SetNonBlocking(SOCKET s) {
    u_long on = 1;
    ioctlsocket(s, FIONBIO, &on);
}

// Closed at once with a reset: no time-wait state keeps the port after a restart.
void CloseAbortive(SOCKET s) {
    linger l{};
    l.l_onoff = 1;
    l.l_linger = 0;
    setsockopt(s, SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&l), sizeof l);
    closesocket(s);
}

class Win32NetServer final : public INetServer {
public:
    ~Win32NetServer() override {
        Stop();
        if (wsaStarted_) WSACleanup();
    }

    bool Start(const TNetServerSettings& settings, const std::vector<std::uint32_t>& addresses,
               TNetExchange& exchange, std::vector<TNetListenFailure>& failures) override {
        Stop();
        failures.clear();
        if (!wsaStarted_) {
            WSADATA data;
            const int error = WSAStartup(MAKEWORD(2, 2), &data);
            if (error != 0) {
                for (const std::uint32_t a : addresses)
                    failures.push_back({a, error});
                return false;
            }
            wsaStarted_ = true;
        }
        for (const std::uint32_t a : addresses) {
            int error = 0;
            const SOCKET s = Listen(a, settings.Port, error);
            if (s == INVALID_SOCKET)
                failures.push_back({a, error});
            else
                listeners_.push_back(s);
        }
        if (listeners_.empty()) return false;
        wake_ = MakeWakeSocket();
        core_ = std::make_unique<TNetServerCore>(settings, exchange);
        sockets_.fill(INVALID_SOCKET);
        stop_ = false;
        thread_ = CreateThread(nullptr, 0, &Win32NetServer::ThreadMain, this, 0, nullptr);
        if (thread_ == nullptr) {
            CloseListeners();
            core_.reset();
            return false;
        }
        return true;
    }

    void Stop() override {
        if (thread_ == nullptr) return;
        stop_ = true;
        if (wake_ != INVALID_SOCKET) send(wake_, "x", 1, 0);
        WaitForSingleObject(thread_, INFINITE);
        CloseHandle(thread_);
        thread_ = nullptr;
        CloseListeners();
        core_.reset();
    }

    bool Running() const override { return thread_ != nullptr; }

private:
    static DWORD WINAPI ThreadMain(LPVOID self) {
        static_cast<Win32NetServer*>(self)->Serve();
        return 0;
    }

    static SOCKET Listen(std::uint32_t address, std::uint16_t port, int& error) {
        const SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        if (s == INVALID_SOCKET) {
            error = WSAGetLastError();
            return s;
        }
        sockaddr_in at{};
        at.sin_family = AF_INET;
        at.sin_port = htons(port);
        at.sin_addr.s_addr = htonl(address);
        if (bind(s, reinterpret_cast<const sockaddr*>(&at), sizeof at) == SOCKET_ERROR ||
            listen(s, SOMAXCONN) == SOCKET_ERROR) {
            error = WSAGetLastError();
            closesocket(s);
            return INVALID_SOCKET;
        }
        SetNonBlocking(s);
        return s;
    }

    // A datagram socket on the loopback connected to itself: a byte sent to it from Stop()
    // ends the server thread's wait at once.
    static SOCKET MakeWakeSocket() {
        const SOCKET s = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
        if (s == INVALID_SOCKET) return s;
        sockaddr_in at{};
        at.sin_family = AF_INET;
        at.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        int size = sizeof at;
        if (bind(s, reinterpret_cast<const sockaddr*>(&at), sizeof at) == SOCKET_ERROR ||
            getsockname(s, reinterpret_cast<sockaddr*>(&at), &size) == SOCKET_ERROR ||
            connect(s, reinterpret_cast<const sockaddr*>(&at), sizeof at) == SOCKET_ERROR) {
            closesocket(s);
            return INVALID_SOCKET;
        }
        SetNonBlocking(s);
        return s;
    }

    void CloseListeners() {
        for (const SOCKET s : listeners_)
            closesocket(s);
        listeners_.clear();
        if (wake_ != INVALID_SOCKET) closesocket(wake_);
        wake_ = INVALID_SOCKET;
    }

    void Serve() {
        while (!stop_.load()) {
            fd_set readable, writable;
            FD_ZERO(&readable);
            FD_ZERO(&writable);
            for (const SOCKET s : listeners_)
                FD_SET(s, &readable);
            if (wake_ != INVALID_SOCKET) FD_SET(wake_, &readable);
            for (std::size_t i = 0; i < sockets_.size(); ++i) {
                if (sockets_[i] == INVALID_SOCKET) continue;
                const int slot = static_cast<int>(i);
                if (core_->ReceiveRoom(slot) > 0) FD_SET(sockets_[i], &readable);
                if (!core_->PendingOutput(slot).empty()) FD_SET(sockets_[i], &writable);
            }
            const long waitMs = wake_ != INVALID_SOCKET ? IdleCheckMs : PollWithoutWakeMs;
            timeval wait{waitMs / 1000, waitMs % 1000 * 1000};
            if (select(0, &readable, &writable, nullptr, &wait) == SOCKET_ERROR) {
                Sleep(50); // should not happen; never spin on it
                continue;
            }
            if (wake_ != INVALID_SOCKET && FD_ISSET(wake_, &readable)) {
                char drain[16];
                while (recv(wake_, drain, sizeof drain, 0) > 0) {
                }
            }
            const std::uint32_t now = GetTickCount();
            for (const SOCKET s : listeners_)
                if (FD_ISSET(s, &readable)) AcceptFrom(s, now);
            for (std::size_t i = 0; i < sockets_.size(); ++i)
                if (sockets_[i] != INVALID_SOCKET && FD_ISSET(sockets_[i], &readable))
                    ReceiveFrom(static_cast<int>(i), now);
            for (std::size_t i = 0; i < sockets_.size(); ++i)
                if (sockets_[i] != INVALID_SOCKET) SendTo(static_cast<int>(i), now);
            core_->Tick(now);
            for (std::size_t i = 0; i < sockets_.size(); ++i)
                if (sockets_[i] != INVALID_SOCKET && core_->WantsClose(static_cast<int>(i)))
                    Drop(static_cast<int>(i), false);
        }
        for (std::size_t i = 0; i < sockets_.size(); ++i)
            if (sockets_[i] != INVALID_SOCKET) Drop(static_cast<int>(i), true);
    }

    void AcceptFrom(SOCKET listener, std::uint32_t now) {
        for (int n = 0; n < AcceptsPerPass; ++n) {
            sockaddr_in from{};
            int size = sizeof from;
            const SOCKET s = accept(listener, reinterpret_cast<sockaddr*>(&from), &size);
            if (s == INVALID_SOCKET) return;
            SetNonBlocking(s);
            const int slot = core_->Accept(FormatIpv4(ntohl(from.sin_addr.s_addr)), now);
            if (slot < 0) {
                // Every place is taken: told so, the others undisturbed.
                const std::string_view refusal = TNetServerCore::RefusalLine;
                send(s, refusal.data(), static_cast<int>(refusal.size()), 0);
                closesocket(s);
                continue;
            }
            sockets_[slot] = s;
        }
    }

    void ReceiveFrom(int slot, std::uint32_t now) {
        std::array<char, TNetServerCore::InputCapacity> buffer;
        const std::size_t room = core_->ReceiveRoom(slot);
        if (room == 0) return;
        const int got = recv(sockets_[slot], buffer.data(), static_cast<int>(room), 0);
        if (got > 0) {
            core_->Receive(slot, std::string_view(buffer.data(), static_cast<std::size_t>(got)),
                           now);
        } else if (got == 0 || WSAGetLastError() != WSAEWOULDBLOCK) {
            Drop(slot, false); // the client closed, or the connection broke
        }
    }

    // Sent at once, not after the next wait: a request's answer leaves in the same pass.
    void SendTo(int slot, std::uint32_t now) {
        for (;;) {
            const std::string_view out = core_->PendingOutput(slot);
            if (out.empty()) return;
            const int sent = send(sockets_[slot], out.data(), static_cast<int>(out.size()), 0);
            if (sent == SOCKET_ERROR) {
                if (WSAGetLastError() != WSAEWOULDBLOCK) Drop(slot, false);
                return;
            }
            core_->Sent(slot, static_cast<std::size_t>(sent), now);
        }
    }

    void Drop(int slot, bool abortive) {
        if (abortive)
            CloseAbortive(sockets_[slot]);
        else
            closesocket(sockets_[slot]);
        sockets_[slot] = INVALID_SOCKET;
        core_->Close(slot);
    }

    bool wsaStarted_ = false;
    HANDLE thread_ = nullptr;
    std::atomic<bool> stop_{false};
    std::vector<SOCKET> listeners_;
    SOCKET wake_ = INVALID_SOCKET;
    std::unique_ptr<TNetServerCore> core_;
    std::array<SOCKET, TNetServerCore::MaxClients> sockets_{};
};

} // namespace

std::unique_ptr<INetServer> MakeWin32NetServer() {
    return std::make_unique<Win32NetServer>();
}
