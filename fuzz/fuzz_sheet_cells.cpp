// The CSV reader and the rules for imported cells, on any input: nothing
// faults; a record keeps at most the cells asked for; what the money rule
// accepts is a number; the text rule changes no text it accepts; a number
// cell's text never has an exponent and reads back as the number.
#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "exchange/cell_rules.h"
#include "exchange/csv.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const double number = input.ConsumeFloatingPoint<double>();
    const int decimals = input.ConsumeIntegralInRange<int>(-1, 12);
    const std::size_t maxCells = input.ConsumeIntegralInRange<std::size_t>(1, 64);
    const std::string bytes = input.ConsumeRemainingBytesAsString();

    CsvReader reader(bytes, maxCells);
    CsvRecord record;
    while (reader.Next(record)) {
        FUZZ_CHECK(record.cells.size() <= maxCells, "%zu cells kept", record.cells.size());
    }

    SheetCell text{CellKind::Text, bytes};
    const CellOutcome money = ConvertCell(text, ColumnRule::Money);
    if (money.ok && !money.text.empty()) {
        FUZZ_CHECK(IsNumberText(money.text), "money %s from %s", Hex(money.text).c_str(),
                   Hex(bytes).c_str());
    }
    const CellOutcome plain = ConvertCell(text, ColumnRule::Text);
    if (plain.ok) FUZZ_CHECK(plain.text == bytes, "text %s changed", Hex(bytes).c_str());

    if (std::isfinite(number)) {
        const std::string shown = NumberText(number, decimals);
        FUZZ_CHECK(shown.find_first_of("eE") == std::string::npos, "%s has an exponent",
                   shown.c_str());
        FUZZ_CHECK(IsNumberText(shown), "%s is no number", shown.c_str());
        const double back = std::strtod(shown.c_str(), nullptr);
        if (decimals < 0 && std::fabs(number) > 1e-300) {
            FUZZ_CHECK(std::fabs(back - number) <= std::fabs(number) * 1e-14, "%s for %.17g",
                       shown.c_str(), number);
        }
    }
    return 0;
}
