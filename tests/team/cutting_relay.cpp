#include "cutting_relay.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cctype>
#include <cstring>
#include <string_view>

namespace {

// What the server answers to a commit: CommandComplete, "COMMIT".
constexpr std::string_view kCommitAnswer{
    "C\0\0\0\x0b"
    "COMMIT\0",
    12};

bool HoldsCommit(std::string_view bytes) {
    std::string lower(bytes);
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower.find("commit") != std::string::npos;
}

int ConnectTo(int port) {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

bool SendAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t sent = send(fd, data, size, MSG_NOSIGNAL);
        if (sent <= 0) return false;
        data += sent;
        size -= static_cast<std::size_t>(sent);
    }
    return true;
}

}  // namespace

CuttingRelay::CuttingRelay(int serverPort) : serverPort_(serverPort) {
    listener_ = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(listener_, 16) != 0 ||
        getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        return;
    }
    port_ = ntohs(address.sin_port);
    acceptor_ = std::thread([this] { Accept(); });
}

CuttingRelay::~CuttingRelay() {
    stopping_ = true;
    if (acceptor_.joinable()) acceptor_.join();
    std::lock_guard lock(mutex_);
    for (std::thread& relay : relays_) relay.join();
    close(listener_);
}

void CuttingRelay::CutNextCommit(Cut cut, bool thenDown) {
    downAfterCut_ = thenDown;
    cut_ = cut;
}

void CuttingRelay::Accept() {
    while (!stopping_) {
        pollfd waiting{listener_, POLLIN, 0};
        if (poll(&waiting, 1, 100) <= 0) continue;
        const int client = accept(listener_, nullptr, nullptr);
        if (client < 0) continue;
        if (down_) {
            close(client);
            continue;
        }
        std::lock_guard lock(mutex_);
        relays_.emplace_back([this, client] { Relay(client); });
    }
}

void CuttingRelay::Relay(int client) {
    const int server = ConnectTo(serverPort_);
    if (server < 0) {
        close(client);
        return;
    }
    char buffer[65536];
    bool open = true;
    while (open && !stopping_ && !down_) {
        pollfd ends[2] = {{client, POLLIN, 0}, {server, POLLIN, 0}};
        if (poll(ends, 2, 100) <= 0) continue;
        for (int i = 0; i < 2 && open; ++i) {
            if (!(ends[i].revents & (POLLIN | POLLHUP | POLLERR))) continue;
            const int from = ends[i].fd;
            const int to = i == 0 ? server : client;
            const ssize_t got = recv(from, buffer, sizeof buffer, 0);
            if (got <= 0) {
                open = false;
                break;
            }
            const std::string_view bytes(buffer, static_cast<std::size_t>(got));
            const Cut cut = cut_;
            const bool cutting = (i == 0 && cut == Cut::BeforeCommit && HoldsCommit(bytes)) ||
                                 (i == 1 && cut == Cut::AfterCommitAnswer &&
                                  bytes.find(kCommitAnswer) != std::string_view::npos);
            if (cutting) {
                cut_ = Cut::None;
                if (downAfterCut_) down_ = true;
                ++cuts_;
                open = false;
                break;
            }
            open = SendAll(to, buffer, bytes.size());
        }
    }
    close(server);
    close(client);
}
