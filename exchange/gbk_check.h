#pragma once
// Which characters a GBK reader can read. The program's texts are GB18030
// bytes: the same as GBK for every GBK character, and four-byte sequences
// (or a few two-byte codes GBK gives another meaning, such as € = A2E3)
// for the rest. A file announced as GBK holds only the former, and the euro
// sign as code page 936 writes it: the single byte 0x80.

#include <string>
#include <string_view>

// The first character of a GB18030 text that GBK cannot hold, as UTF-8;
// empty when GBK holds them all.
std::string FirstCharacterOutsideGbk(std::string_view gb18030);

// The bytes of a GBK file for a GB18030 text that GBK holds: the same, but
// € as 0x80.
std::string ToGbkFile(std::string_view gb18030);
// The reverse, for a GBK file's bytes: 0x80 read as €.
std::string FromGbkFile(std::string_view gbk);
