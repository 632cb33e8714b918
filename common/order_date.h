#pragma once
// An order's date as the ledger holds it: a text typed by the user, such as
// "2026-1-9", "2026-01-09", "2026/1/9", "2026.1.9" or "2026年1月9日",
// possibly followed by a blank and a time of day. Texts are GBK.

#include <string>
#include <string_view>

// The calendar day as year*10000 + month*100 + day (20260109), or 0 when the
// text is no valid date of that form or its year is before 100.
int ReadOrderDate(std::string_view text);

// Today by the local clock as the editor's ship mode writes an order's date,
// without leading zeros: "2015-1-9".
std::string TodaysOrderDate();
