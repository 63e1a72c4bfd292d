#include "stats/SizeText.h"

namespace foldwise {

QString sizeText(std::int64_t bytes, const QLocale& locale) {
    return locale.formattedDataSize(bytes, 1, QLocale::DataSizeSIFormat);
}

} // namespace foldwise
