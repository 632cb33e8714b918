// SplitList: the pieces joined again with the delimiter give the value back
// (less a trailing delimiter), and no piece holds the delimiter at a
// character boundary (a GBK double-byte character is stepped over whole).
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "store/settings.h"

namespace {

bool HoldsDelimiter(const std::string& piece, const std::string& delimiter) {
    for (std::size_t i = 0; i < piece.size();) {
        if (piece.compare(i, delimiter.size(), delimiter) == 0) return true;
        i += static_cast<unsigned char>(piece[i]) >= 0x80 ? 2 : 1;
    }
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const int choice = input.ConsumeIntegralInRange<int>(0, 3);
    const std::string delimiter = choice == 0   ? "|"
                                  : choice == 1 ? "#"
                                                : input.ConsumeRandomLengthString(3);
    const std::string value = input.ConsumeRemainingBytesAsString();
    const std::vector<std::string> pieces = SplitList(value, delimiter);

    if (value.empty()) {
        FUZZ_CHECK(pieces.empty(), "pieces of nothing");
        return 0;
    }
    if (delimiter.empty()) {
        FUZZ_CHECK(pieces.size() == 1 && pieces[0] == value, "empty delimiter");
        return 0;
    }
    std::string joined;
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        if (i > 0) joined += delimiter;
        joined += pieces[i];
        FUZZ_CHECK(!HoldsDelimiter(pieces[i], delimiter), "piece %zu holds the delimiter", i);
    }
    FUZZ_CHECK(joined == value || joined + delimiter == value, "joined pieces differ");
    return 0;
}
