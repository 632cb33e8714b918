#include "exchange/sheet_encoding.h"

#include <QByteArrayView>
#include <QString>
#include <QStringDecoder>

#include "common/gb18030.h"
#include "common/text_encoding.h"
#include "exchange/gbk_check.h"

namespace {

bool Decode(QStringDecoder& decoder, std::string_view bytes, QString& text) {
    text = decoder(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
    return !decoder.hasError();
}

}  // namespace

bool IsValidUtf8(std::string_view text) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString ignored;
    return Decode(decoder, text, ignored);
}

DecodedSheet DecodeSheet(std::string_view bytes) {
    DecodedSheet sheet;
    if (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF")) {
        sheet.status = Status::Failure(
            StatusKind::Refused,
            "这是 UTF-16 文件（Excel 的“Unicode 文本”）；请另存为“CSV UTF-8”或“CSV”",
            "this is a UTF-16 file (Excel's \"Unicode Text\"); save it as \"CSV UTF-8\" or "
            "\"CSV\"");
        return sheet;
    }
    if (bytes.starts_with(kUtf8ByteOrderMark)) {
        bytes.remove_prefix(kUtf8ByteOrderMark.size());
        sheet.encoding = SheetEncoding::Utf8WithBom;
        if (!IsValidUtf8(bytes)) {
            sheet.status = Status::Failure(
                StatusKind::Refused, "文件以 UTF-8 标记开头，但内容不是有效的 UTF-8",
                "the file starts with a UTF-8 mark but is not valid UTF-8");
            return sheet;
        }
        sheet.utf8 = std::string(bytes);
    } else if (IsValidUtf8(bytes)) {
        sheet.utf8 = std::string(bytes);
    } else {
        sheet.encoding = SheetEncoding::Gbk;
        QString text;
        if (!DecodeGb18030(FromGbkFile(bytes), text)) {
            sheet.status = Status::Failure(StatusKind::Refused, "文件既不是 UTF-8 也不是 GBK 文本",
                                           "the file is neither UTF-8 nor GBK text");
            return sheet;
        }
        const QByteArray utf8 = text.toUtf8();
        sheet.utf8.assign(utf8.constData(), static_cast<std::size_t>(utf8.size()));
    }
    return sheet;
}

const char* EncodingName(SheetEncoding encoding) {
    switch (encoding) {
        case SheetEncoding::Utf8WithBom:
            return "UTF-8 (BOM)";
        case SheetEncoding::Utf8:
            return "UTF-8";
        case SheetEncoding::Gbk:
            return "GBK";
    }
    return "";
}
