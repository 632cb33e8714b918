#pragma once
// Every text inside the program is a GBK byte string. Conversions happen only
// at the borders: Qt widgets (UTF-16) and the ODBC driver manager (UTF-8).
// The GB18030 codec is used in both directions: it gives the GBK bytes for
// every GBK character and loses no character the user can type.

#include <string>
#include <string_view>

class QString;

// How a UTF-8 file may begin, telling its encoding.
inline constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

// A UTF-8 text (a literal in this source code, a driver's answer) as GBK bytes.
std::string Gbk(std::string_view utf8);
// The same bytes as Gbk(utf8), appended to out. Made for converting many
// cells in a row: texts of one- and two-byte characters are converted
// through a table, without the codec and without allocating.
void AppendGbk(std::string_view utf8, std::string& out);
// GBK bytes as UTF-8 (for the driver manager, SQLite and the terminal).
std::string GbkToUtf8(std::string_view gbk);

QString GbkToQString(std::string_view gbk);
std::string QStringToGbk(const QString& text);
