// Connecting to a team ledger whose server takes the connection and never
// says a word. Whatever libpq settings (pqopt) the user's connection string
// holds, the program gives up within its connect bound and says that the
// server cannot be reached.
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <future>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "common/text_encoding.h"
#include "store/database.h"

namespace {

// Listens on loopback, takes every connection and holds it unanswered.
class SilentServer {
  public:
    SilentServer() {
        listener_ = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
            listen(listener_, 16) == 0 &&
            getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
            port_ = ntohs(address.sin_port);
        }
        taker_ = std::thread([this] {
            while (!stopping_) {
                pollfd waiting{listener_, POLLIN, 0};
                if (poll(&waiting, 1, 100) <= 0) continue;
                const int taken = accept(listener_, nullptr, nullptr);
                if (taken >= 0) taken_.push_back(taken);
            }
        });
    }
    ~SilentServer() {
        stopping_ = true;
        taker_.join();
        for (int fd : taken_) close(fd);
        close(listener_);
    }
    int Port() const { return port_; }

  private:
    int listener_ = -1;
    int port_ = 0;
    std::atomic<bool> stopping_ = false;
    std::vector<int> taken_;
    std::thread taker_;
};

TEST(ServerConnect, ASilentServerIsGivenUpWhateverTheConnectionStringHolds) {
    SilentServer server;
    ASSERT_NE(server.Port(), 0);
    const std::string base =
        "Driver={PostgreSQL Unicode};Servername=127.0.0.1;Port=" + std::to_string(server.Port()) +
        ";Database=d;Uid=u;Pwd=p;";
    const char* const settings[] = {
        "",
        "pqopt={connect_timeout=0};",
        "pqopt={connect_timeout=3600 sslmode=disable};",
        "pqopt=connect_timeout=0;",
        "PQOPT={application_name=x keepalives=1};",
        "pqopt={connect_timeout=abc};",
    };
    // Side by side: each would wait alone as long as the others.
    std::vector<std::shared_ptr<std::promise<std::string>>> answers;
    std::vector<std::future<std::string>> told;
    for (const char* setting : settings) {
        answers.push_back(std::make_shared<std::promise<std::string>>());
        told.push_back(answers.back()->get_future());
        std::thread([answer = answers.back(), text = base + setting] {
            DatabaseConnection db;
            const bool opened = db.OpenServer(text);
            answer->set_value(opened ? "connected" : GbkToUtf8(db.LastError()));
        }).detach();
    }
    // Far beyond the bound: only a connect that waits for ever misses it.
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    for (std::size_t i = 0; i < told.size(); ++i) {
        SCOPED_TRACE(settings[i]);
        ASSERT_EQ(told[i].wait_until(giveUp), std::future_status::ready) << "still connecting";
        const std::string text = told[i].get();
        EXPECT_NE(text.find("无法连接数据库服务器 127.0.0.1:"), std::string::npos) << text;
    }
}

}  // namespace
