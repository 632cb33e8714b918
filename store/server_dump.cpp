#include "store/server_dump.h"

#include <initializer_list>

#include "common/text_encoding.h"
#include "platform/child_process.h"
#include "store/server_ledger.h"

namespace {

// An ODBC key of the connection string (UTF-8), under any of its names.
std::string Key(const std::string& connection, std::initializer_list<const char*> names) {
    const std::string gbk = Gbk(connection);
    for (const char* name : names) {
        const std::string value = ConnectionKey(gbk, name);
        if (!value.empty()) return GbkToUtf8(value);
    }
    return {};
}

}  // namespace

// Password and SSL mode go into the environment, not the command line, where
// other users of the machine could see them in the process list.
bool ServerToolArguments(const std::string& connection, std::vector<std::string>& arguments) {
    const std::string database = Key(connection, {"Database"});
    if (database.empty()) return false;
    const std::string host = Key(connection, {"Servername", "Server"});
    const std::string port = Key(connection, {"Port"});
    const std::string user = Key(connection, {"Uid", "Username", "User"});
    if (!host.empty()) arguments.insert(arguments.end(), {"--host", host});
    if (!port.empty()) arguments.insert(arguments.end(), {"--port", port});
    if (!user.empty()) arguments.insert(arguments.end(), {"--username", user});
    arguments.insert(arguments.end(), {"--no-password", "--dbname", database});
    const std::string password = Key(connection, {"Pwd", "Password"});
    const std::string sslMode = Key(connection, {"SSLmode"});
    if (!password.empty()) SetEnvironment("PGPASSWORD", password);
    if (!sslMode.empty()) SetEnvironment("PGSSLMODE", sslMode);
    return true;
}
