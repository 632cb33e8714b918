#pragma once
// The printed PDFs read back by programs nobody here wrote: poppler's
// pdftotext, pdfinfo and pdftoppm, and zbar's zbarimg.

#include <string>
#include <vector>

// The text of pages first to last (0: the last page), in reading order.
std::string PdfText(const std::string& pdf, int first = 1, int last = 0);
int PdfPages(const std::string& pdf);
// The first page's "width x height" in whole millimetres, e.g. "210 x 297".
std::string PdfPageSize(const std::string& pdf);
// Every barcode zbarimg finds on the pages rendered at 200 dpi, as
// "TYPE:text", sorted.
std::vector<std::string> PdfBarcodes(const std::string& pdf);
