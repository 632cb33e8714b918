#include "common/gb18030.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <optional>

// Opening a codec costs more than converting a short text, so each thread
// keeps one of each. Stateless: a call leaves nothing pending for the next.

namespace {

// Out is QString or QByteArray: the codec converts when its answer is
// assigned to one, so the error mark is read only afterwards. A codec that
// met an error keeps the mark (resetState does not clear it), so it is
// dropped and the next call opens a new one in its place.
template <typename Out, typename Codec, typename In>
Out Convert(std::optional<Codec>& codec, const char* name, const In& in, bool& ok) {
    if (!codec) codec.emplace(name, QStringConverter::Flag::Stateless);
    Out out = (*codec)(in);
    ok = codec->isValid() && !codec->hasError();
    if (codec->hasError()) codec.reset();
    return out;
}

}  // namespace

bool DecodeGb18030(std::string_view bytes, QString& text) {
    thread_local std::optional<QStringDecoder> decoder;
    bool ok = false;
    text = Convert<QString>(decoder, "GB18030",
                            QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())), ok);
    return ok;
}

QByteArray EncodeGb18030(const QString& text) {
    thread_local std::optional<QStringEncoder> encoder;
    bool ok = false;
    return Convert<QByteArray>(encoder, "GB18030", text, ok);
}

bool EncodeGbk(const QString& text, QByteArray& bytes) {
    thread_local std::optional<QStringEncoder> encoder;
    bool ok = false;
    bytes = Convert<QByteArray>(encoder, "GBK", text, ok);
    return ok;
}
