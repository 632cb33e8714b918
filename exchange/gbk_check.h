#pragma once
// Which characters a GBK reader can read. The program's texts are GB18030
// bytes: the same as GBK for every GBK character, and four-byte sequences
// (or a few two-byte codes GBK gives another meaning, such as € = A2E3)
// for the rest. A file announced as GBK holds only the former.

#include <string>
#include <string_view>

// The first character of a GB18030 text that GBK cannot hold, as UTF-8;
// empty when GBK holds them all.
std::string FirstCharacterOutsideGbk(std::string_view gb18030);
