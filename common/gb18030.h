#pragma once
// The two Chinese codecs the program's texts need: GB18030 (every GBK text
// is one) and GBK itself. Qt has them through ICU here; Qt for Windows has
// neither, and Windows' own code pages 54936 and 936 stand in there.

#include <QByteArray>
#include <QString>
#include <string_view>

// False, with undecodable bytes as U+FFFD in text, when bytes are no valid
// GB18030. Every call starts afresh: nothing carries over between calls.
bool DecodeGb18030(std::string_view bytes, QString& text);
QByteArray EncodeGb18030(const QString& text);
// False when GBK cannot hold every character of text.
bool EncodeGbk(const QString& text, QByteArray& bytes);
