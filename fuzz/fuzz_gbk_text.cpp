// The text conversions at the program's borders. Whatever a user can type
// (any valid UTF-16 text) survives the way to GBK bytes and back; bytes that
// decode without error encode to the same bytes again; UTF-8 survives the
// way through GBK; nothing faults on invalid input.
#include <fuzzer/FuzzedDataProvider.h>

#include <QString>
#include <QStringDecoder>
#include <cstdint>
#include <string>

#include "common/text_encoding.h"
#include "fuzz_support.h"

namespace {

bool ValidUtf16(const QString& text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate()) {
            if (i + 1 == text.size() || !text[i + 1].isLowSurrogate()) return false;
            ++i;
        } else if (c.isLowSurrogate()) {
            return false;
        }
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const int way = input.ConsumeIntegralInRange<int>(0, 2);
    const std::string bytes = input.ConsumeRemainingBytesAsString();

    if (way == 0) {
        // UTF-16 units, as a widget may hold them.
        QString text(reinterpret_cast<const QChar*>(bytes.data()),
                     static_cast<qsizetype>(bytes.size() / 2));
        const std::string gbk = QStringToGbk(text);
        const QString back = GbkToQString(gbk);
        if (ValidUtf16(text)) {
            FUZZ_CHECK(back == text, "text %s came back as %s", Hex(bytes).c_str(),
                       Hex(back.toStdString()).c_str());
        }
    } else if (way == 1) {
        // Bytes from a file or the ledger. Those that decode without error
        // (a half character at the end is one) encode to the same bytes.
        QStringDecoder decoder("GB18030", QStringDecoder::Flag::Stateless);
        const QString text =
            decoder(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
        if (!decoder.hasError()) {
            FUZZ_CHECK(GbkToQString(bytes) == text, "GbkToQString differs from the decoder");
            const std::string again = QStringToGbk(text);
            FUZZ_CHECK(again == bytes, "bytes %s encode again as %s", Hex(bytes).c_str(),
                       Hex(again).c_str());
        }
        GbkToUtf8(bytes);
    } else {
        // UTF-8 from the driver.
        const QString text = QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
        const std::string gbk = Gbk(bytes);
        if (text.toUtf8().toStdString() == bytes) {
            FUZZ_CHECK(GbkToUtf8(gbk) == bytes, "UTF-8 %s came back different", Hex(bytes).c_str());
        }
    }
    return 0;
}
