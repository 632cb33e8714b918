#include "tools/search_options.h"

#include "common/text_encoding.h"
#include "exchange/sheet_encoding.h"
#include "store/order_words.h"
#include "tools/admin_usage.h"

bool ReadSearchOptions(const CommandLine& line, OrderSearchTexts& inputs, std::string& filter) {
    if (line.Has("--waiting") && line.Has("--problem")) return false;
    filter.clear();
    if (line.Has("--waiting")) filter = Gbk(kWaitingFilter);
    if (line.Has("--problem")) filter = Gbk(kProblemFilter);
    const auto& options = SearchOptionHelp();
    for (std::size_t s = 0; s < inputs.size(); ++s) {
        const std::string value = line.Value(options[s].name);
        if (!IsValidUtf8(value)) return false;
        inputs[s] = Gbk(value);
    }
    return true;
}
