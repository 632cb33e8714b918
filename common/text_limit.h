#pragma once
// The longest text one order field may hold, in bytes of its GBK form. Far
// above any real order (a whole address book would fit); the editor, import
// and the readers of a ledger written by other tools all hold to this figure,
// so a text that passes one of them passes the others.

#include <cstddef>

inline constexpr std::size_t kFieldTextLimit = 1024 * 1024;
