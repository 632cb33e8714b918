#include "common/text_encoding.h"

#include <QString>
#include <QStringDecoder>
#include <QStringEncoder>

namespace {

bool IsAscii(std::string_view text) {
    for (unsigned char c : text) {
        if (c >= 0x80) return false;
    }
    return true;
}

std::string ToStd(const QByteArray& bytes) { return std::string(bytes.constData(), bytes.size()); }

}  // namespace

QString GbkToQString(std::string_view gbk) {
    if (IsAscii(gbk)) return QString::fromLatin1(gbk.data(), static_cast<qsizetype>(gbk.size()));
    QStringDecoder decoder("GB18030");
    return decoder(QByteArrayView(gbk.data(), static_cast<qsizetype>(gbk.size())));
}

std::string QStringToGbk(const QString& text) {
    QStringEncoder encoder("GB18030");
    return ToStd(encoder(text));
}

std::string Gbk(std::string_view utf8) {
    if (IsAscii(utf8)) return std::string(utf8);
    return QStringToGbk(QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())));
}

std::string GbkToUtf8(std::string_view gbk) {
    if (IsAscii(gbk)) return std::string(gbk);
    return ToStd(GbkToQString(gbk).toUtf8());
}
