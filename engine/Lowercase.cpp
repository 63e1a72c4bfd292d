#include "engine/Lowercase.h"

#include <QString>
#include <QStringDecoder>

#include <algorithm>

namespace foldwise {

std::string lowercased(std::string_view text) {
    const bool isAscii =
        std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    if (isAscii) {
        std::string lower(text);
        std::transform(lower.begin(), lower.end(), lower.begin(),
                       [](char c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; });
        return lower;
    }
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString decoded = decoder(QByteArrayView(text.data(), static_cast<qsizetype>(text.size())));
    if (decoder.hasError()) {
        return std::string(text);
    }
    return decoded.toLower().toStdString();
}

} // namespace foldwise
