#pragma once

#include <QLocale>
#include <QString>

#include <cstdint>

namespace foldwise {

// A number of bytes as both front ends show it: powers of 1000 with one decimal, the locale's way
// ("1.2 GB", "340 bytes" in English).
QString sizeText(std::int64_t bytes, const QLocale& locale = QLocale());

} // namespace foldwise
