#pragma once
// Code 128 barcodes as rectangles, from libzint's vector output: the bars
// only, in module units, with the quiet zone of ten modules on either side
// counted in the width. A reader needs nothing but these bars on a white
// ground; the text under a barcode is the page's business.

#include <string_view>
#include <vector>

#include "common/status.h"

struct BarcodeBar {
    double x;  // from the left edge of the left quiet zone, in modules
    double width;
};

struct Barcode {
    std::vector<BarcodeBar> bars;
    double modules = 0;  // the whole width, quiet zones included
};

inline constexpr double kBarcodeQuietModules = 10;

// The barcode of text (printable ASCII only: a scanner types back what it
// reads, and other bytes would come back as other characters). A failure
// says why in words for the user.
Status MakeCode128(std::string_view text, Barcode& barcode);
