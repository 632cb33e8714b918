#pragma once
// A PostgreSQL cluster of the test's own (scripts/test_server.sh), for tests
// that stop the server in the middle of work and so cannot share the one
// the test command started. Started by the constructor, removed by the
// destructor.

#include <string>

class OwnTestServer {
  public:
    OwnTestServer();
    ~OwnTestServer();
    OwnTestServer(const OwnTestServer&) = delete;
    OwnTestServer& operator=(const OwnTestServer&) = delete;

    // The ODBC connection string (UTF-8); empty when the start failed.
    const std::string& Connection() const { return connection_; }
    // Stops it as a crash would (pg_ctl stop -m immediate), and starts it again.
    bool Halt() const;
    bool Resume() const;

  private:
    std::string directory_;
    std::string connection_;
};
