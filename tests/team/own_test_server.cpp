#include "own_test_server.h"

#include <stdlib.h>

#include <cstdio>

namespace {

std::string Script() { return std::string(TALLOVAR_SOURCE_DIR) + "/scripts/test_server.sh"; }

bool Run(const std::string& action, const std::string& directory) {
    return std::system((Script() + " " + action + " '" + directory + "' >/dev/null").c_str()) == 0;
}

}  // namespace

OwnTestServer::OwnTestServer() {
    char pattern[] = "/tmp/tallovar-own-server-XXXXXX";
    if (!mkdtemp(pattern)) return;
    directory_ = pattern;
    FILE* started = popen((Script() + " start '" + directory_ + "'").c_str(), "r");
    if (!started) return;
    char line[1024];
    while (std::fgets(line, sizeof line, started)) connection_ = line;
    if (pclose(started) != 0) connection_.clear();
    while (!connection_.empty() && connection_.back() == '\n') connection_.pop_back();
}

OwnTestServer::~OwnTestServer() {
    if (!directory_.empty()) Run("stop", directory_);
}

bool OwnTestServer::Halt() const { return Run("halt", directory_); }

bool OwnTestServer::Resume() const { return Run("resume", directory_); }
