#include "pdf_readers.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <sstream>

namespace {

std::string Quoted(const std::string& path) { return "'" + path + "'"; }

std::string Output(const std::string& command) {
    std::string out;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return out;
    char buffer[4096];
    std::size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
    pclose(pipe);
    return out;
}

std::string InfoField(const std::string& pdf, const std::string& field) {
    std::istringstream lines(Output("pdfinfo " + Quoted(pdf) + " 2>/dev/null"));
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind(field + ":", 0) == 0) {
            const auto start = line.find_first_not_of(' ', field.size() + 1);
            return start == std::string::npos ? "" : line.substr(start);
        }
    }
    return "";
}

}  // namespace

std::string PdfText(const std::string& pdf, int first, int last) {
    std::string range = " -f " + std::to_string(first);
    if (last > 0) range += " -l " + std::to_string(last);
    return Output("pdftotext -enc UTF-8" + range + " " + Quoted(pdf) + " - 2>/dev/null");
}

int PdfPages(const std::string& pdf) {
    const std::string pages = InfoField(pdf, "Pages");
    return pages.empty() ? -1 : std::stoi(pages);
}

std::string PdfPageSize(const std::string& pdf) {
    std::istringstream size(InfoField(pdf, "Page size"));  // "595 x 842 pts (A4)"
    double width = 0, height = 0;
    std::string by;
    size >> width >> by >> height;
    const auto mm = [](double points) { return std::to_string(std::lround(points * 25.4 / 72)); };
    return mm(width) + " x " + mm(height);
}

std::vector<std::string> PdfBarcodes(const std::string& pdf) {
    const std::filesystem::path pages = std::filesystem::path(pdf).parent_path() / "pages";
    std::filesystem::remove_all(pages);
    std::filesystem::create_directories(pages);
    Output("pdftoppm -r 200 -gray " + Quoted(pdf) + " " + Quoted((pages / "p").string()));
    std::vector<std::string> found;
    for (const auto& page : std::filesystem::directory_iterator(pages)) {
        std::istringstream lines(
            Output("zbarimg -q " + Quoted(page.path().string()) + " 2>/dev/null"));
        for (std::string line; std::getline(lines, line);) {
            if (!line.empty()) found.push_back(line);
        }
    }
    std::sort(found.begin(), found.end());
    return found;
}
