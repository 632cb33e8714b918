#include "print/barcode.h"

#include <zint.h>

#include <memory>
#include <string>

namespace {

struct SymbolDelete {
    void operator()(zint_symbol* symbol) const { ZBarcode_Delete(symbol); }
};

bool PrintableAscii(std::string_view text) {
    for (unsigned char c : text) {
        if (c < 0x20 || c > 0x7E) return false;
    }
    return true;
}

}  // namespace

Status MakeCode128(std::string_view text, Barcode& barcode) {
    barcode = {};
    if (text.empty()) return Status::Failure("没有内容可编成条码", "nothing to encode");
    if (!PrintableAscii(text)) {
        return Status::Failure("含有字母、数字和英文符号以外的字符，不能编成条码",
                               "holds characters other than ASCII letters, digits and signs");
    }
    std::unique_ptr<zint_symbol, SymbolDelete> symbol(ZBarcode_Create());
    if (!symbol) return Status::Failure("内存不足", "out of memory");
    symbol->symbology = BARCODE_CODE128;
    symbol->show_hrt = 0;
    symbol->whitespace_width = static_cast<int>(kBarcodeQuietModules);
    const std::string data(text);
    const int encoded =
        ZBarcode_Encode(symbol.get(), reinterpret_cast<const unsigned char*>(data.data()),
                        static_cast<int>(data.size()));
    if (encoded >= ZINT_ERROR || ZBarcode_Buffer_Vector(symbol.get(), 0) >= ZINT_ERROR) {
        return Status::Failure("不能编成条码：" + std::string(symbol->errtxt),
                               std::string("cannot encode: ") + symbol->errtxt);
    }
    // The vector's unit is a fixed multiple of the module; the symbol's width
    // in modules tells which.
    const double modules = symbol->width + 2 * kBarcodeQuietModules;
    const double unit = symbol->vector->width / modules;
    barcode.modules = modules;
    for (const zint_vector_rect* r = symbol->vector->rectangles; r; r = r->next) {
        barcode.bars.push_back({r->x / unit, r->width / unit});
    }
    return Status::Ok();
}
