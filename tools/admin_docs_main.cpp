// Writes tallovar-admin's manual page and bash completion at build time, from
// the table that also prints its --help:
//   tallovar_admin_docs PAGE_TEMPLATE PAGE COMPLETION
// The template's line "@COMMANDS@" becomes the list of commands.

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "tools/admin_usage.h"

namespace {

bool WriteFile(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
    return static_cast<bool>(out.flush());
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: tallovar_admin_docs PAGE_TEMPLATE PAGE COMPLETION\n");
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    std::stringstream page;
    page << in.rdbuf();
    std::string text = page.str();
    const std::string mark = "@COMMANDS@\n";
    const std::size_t at = text.find(mark);
    if (!in || at == std::string::npos) {
        std::fprintf(stderr, "%s: no %s line\n", argv[1], "@COMMANDS@");
        return 1;
    }
    text.replace(at, mark.size(), ManualCommandsSection());
    if (!WriteFile(argv[2], text) || !WriteFile(argv[3], BashCompletion())) {
        std::perror("tallovar_admin_docs");
        return 1;
    }
    return 0;
}
