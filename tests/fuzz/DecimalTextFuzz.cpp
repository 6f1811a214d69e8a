// Any text typed into a number field, in locales with other decimal separators: reading it must
// neither crash nor misbehave, and every number read is written back as a text that reads as the
// same number again.

#include "core/DecimalText.h"

#include <QLocale>
#include <QString>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    // The first byte picks the locale: a point, a comma, and a separator outside ASCII.
    static const QLocale locales[] = {QLocale::c(), QLocale(QLocale::German, QLocale::Germany),
                                      QLocale(QLocale::French, QLocale::France),
                                      QLocale(QLocale::Arabic, QLocale::Egypt)};
    QLocale::setDefault(locales[data[0] % (sizeof locales / sizeof locales[0])]);
    const QString text =
        QString::fromUtf8(reinterpret_cast<const char*>(data + 1), static_cast<qsizetype>(size - 1));

    if (const std::optional<float> value = ParseDecimalText(text)) {
        const QString written = FormatDecimalText(*value);
        const std::optional<float> again = ParseDecimalText(written);
        if (!again || std::memcmp(&*again, &*value, sizeof(float)) != 0) {
            std::fprintf(stderr, "%.9g is written as \"%s\", which does not read back\n",
                         static_cast<double>(*value), written.toUtf8().constData());
            std::abort();
        }
    }
    if (const std::optional<LONG> value = ParseIntegerText(text)) {
        if (ParseIntegerText(FormatIntegerText(*value)) != value) {
            std::fprintf(stderr, "%d does not read back\n", static_cast<int>(*value));
            std::abort();
        }
    }
    return 0;
}
