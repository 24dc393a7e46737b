#include "presentation/transfer_text.h"

#include "text/nimbara_copy.h"

#include <QLocale>
#include <algorithm>
#include <array>
#include <cmath>

using namespace Qt::StringLiterals;

namespace nimbara {

namespace {

QLocale numberLocale(NimbaraLocale locale) {
    switch (locale) {
    case NimbaraLocale::pl:
        return QLocale(QLocale::Polish, QLocale::Poland);
    case NimbaraLocale::de:
        return QLocale(QLocale::German, QLocale::Germany);
    case NimbaraLocale::en:
        break;
    }
    return QLocale(QLocale::English, QLocale::UnitedStates);
}

} // namespace

QString byteSizeText(qint64 bytes, NimbaraLocale locale) {
    struct Unit {
        double size;
        CopyKey key;
    };
    static constexpr std::array<Unit, 3> kUnits = {Unit{1e3, CopyKey::sizeKilobytes},
                                                   Unit{1e6, CopyKey::sizeMegabytes},
                                                   Unit{1e9, CopyKey::sizeGigabytes}};
    const double count = double(std::max<qint64>(bytes, 0));
    std::size_t unit = 0;
    while (unit + 1 < kUnits.size() && count >= kUnits[unit + 1].size) {
        ++unit;
    }
    // Rounded to tenths; 999.96 MB is written as 1 GB rather than 1000 MB.
    double value = std::round(count / kUnits[unit].size * 10.0) / 10.0;
    if (value >= 1000.0 && unit + 1 < kUnits.size()) {
        ++unit;
        value = std::round(count / kUnits[unit].size * 10.0) / 10.0;
    }
    const bool whole = value == std::trunc(value);
    return NimbaraCopy::text(
        kUnits[unit].key, locale,
        {{u"value"_s, numberLocale(locale).toString(value, 'f', whole ? 0 : 1)}});
}

QString timeLeftText(qint64 remainingBytes, double bytesPerSecond, NimbaraLocale locale) {
    const double seconds = std::ceil(double(std::max<qint64>(remainingBytes, 0)) / bytesPerSecond);
    if (seconds < 60.0) {
        return NimbaraCopy::counted(CopyKey::timeLeftSeconds, locale, qint64(seconds));
    }
    return NimbaraCopy::counted(CopyKey::timeLeftMinutes, locale,
                                qint64(std::ceil(seconds / 60.0)));
}

QString downloadDetail(qint64 receivedBytes, std::optional<qint64> totalBytes,
                       std::optional<double> bytesPerSecond, NimbaraLocale locale) {
    if (!bytesPerSecond || !(*bytesPerSecond > 0.0) || !std::isfinite(*bytesPerSecond)) {
        return {};
    }
    const QString received = byteSizeText(receivedBytes, locale);
    const QString rate =
        NimbaraCopy::text(CopyKey::downloadRate, locale,
                          {{u"size"_s, byteSizeText(qint64(*bytesPerSecond), locale)}});
    if (!totalBytes || *totalBytes <= 0) {
        return NimbaraCopy::text(CopyKey::downloadProgressNoTotal, locale,
                                 {{u"received"_s, received}, {u"rate"_s, rate}});
    }
    return NimbaraCopy::text(
        CopyKey::downloadProgress, locale,
        {{u"received"_s, received},
         {u"total"_s, byteSizeText(*totalBytes, locale)},
         {u"rate"_s, rate},
         {u"remaining"_s, timeLeftText(*totalBytes - receivedBytes, *bytesPerSecond, locale)}});
}

} // namespace nimbara
