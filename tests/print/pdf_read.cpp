// pdf_read text|pages|size|barcodes FILE: what pdf_readers.h reads from a
// printed PDF, for the shell tests (the Windows build's pages under Wine).
// One answer a line; exit code 2 for other arguments.

#include <cstdio>
#include <string>

#include "pdf_readers.h"

int main(int argc, char** argv) {
    if (argc != 3) return 2;
    const std::string what = argv[1], pdf = argv[2];
    if (what == "text") {
        std::fputs(PdfText(pdf).c_str(), stdout);
    } else if (what == "pages") {
        std::printf("%d\n", PdfPages(pdf));
    } else if (what == "size") {
        std::printf("%s\n", PdfPageSize(pdf).c_str());
    } else if (what == "barcodes") {
        for (const std::string& barcode : PdfBarcodes(pdf)) std::printf("%s\n", barcode.c_str());
    } else {
        return 2;
    }
    return 0;
}
