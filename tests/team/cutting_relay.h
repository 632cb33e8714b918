#pragma once
// A TCP relay on loopback between the program and a test server that breaks
// a connection at the moment a test asks for: just before the client's
// commit reaches the server, or just after the server answered a commit
// (which the client then never sees). Down, it takes connections and drops
// them at once, as a server that is not there.

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class CuttingRelay {
  public:
    enum class Cut { None, BeforeCommit, AfterCommitAnswer };

    explicit CuttingRelay(int serverPort);
    ~CuttingRelay();
    CuttingRelay(const CuttingRelay&) = delete;
    CuttingRelay& operator=(const CuttingRelay&) = delete;

    // The port to connect to; 0 when the relay could not listen.
    int Port() const { return port_; }
    // Cuts at the next commit on any connection, once; with thenDown the
    // relay goes down at that moment.
    void CutNextCommit(Cut cut, bool thenDown);
    void SetDown(bool down) { down_ = down; }
    // How many cuts were made.
    int Cuts() const { return cuts_; }

  private:
    void Accept();
    void Relay(int client);

    int serverPort_;
    int listener_ = -1;
    int port_ = 0;
    std::atomic<bool> stopping_ = false;
    std::atomic<bool> down_ = false;
    std::atomic<Cut> cut_ = Cut::None;
    std::atomic<bool> downAfterCut_ = false;
    std::atomic<int> cuts_ = 0;
    std::mutex mutex_;
    std::vector<std::thread> relays_;
    std::thread acceptor_;
};
