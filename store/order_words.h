#pragma once
// Words of the order list that its windows, its export and its import must
// spell alike. UTF-8 here; Gbk() gives them as the program's texts.

#include <string_view>

// The filter keywords of the two fixed searches: orders with neither express
// company nor waybill number, and orders whose remark mentions a problem.
inline constexpr std::string_view kWaitingFilter = "等待收货";
inline constexpr std::string_view kProblemFilter = "问题单";

// The totals line before the first search or after a failed one, and how
// every line of a search's count and sums begins.
inline constexpr std::string_view kTotalsCaption = "记录：";
inline constexpr std::string_view kTotalsLineStart = "记录：当前有";
