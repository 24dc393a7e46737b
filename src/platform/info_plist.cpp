#include "platform/info_plist.h"

#include "platform/property_list_reader.h"

#include <QDateTime>
#include <QVariantList>
#include <cstdlib>
#include <plist/plist.h>

namespace nimbara {

namespace {

// An Info.plist holds a few dozen keys, nested a level or two.
constexpr PropertyListBounds kInfoPlistBounds{1024 * 1024, 64};

// Seconds from 1970-01-01 to 2001-01-01, where property-list dates count from.
constexpr qint64 kPlistEpochOffset = 978307200;

// Recursive, which is safe for trees that kept within the reader's bounds.
std::optional<QVariant> convert(plist_t node);

QVariantMap convertDictionary(plist_t node) {
    QVariantMap map;
    plist_dict_iter iter = nullptr;
    plist_dict_new_iter(node, &iter);
    for (;;) {
        char* key = nullptr;
        plist_t item = nullptr;
        plist_dict_next_item(node, iter, &key, &item);
        if (key == nullptr) {
            break;
        }
        if (std::optional<QVariant> value = convert(item)) {
            map.insert(QString::fromUtf8(key), *value);
        }
        std::free(key);
    }
    std::free(iter);
    return map;
}

std::optional<QVariant> convert(plist_t node) {
    switch (plist_get_node_type(node)) {
    case PLIST_STRING: {
        uint64_t length = 0;
        const char* text = plist_get_string_ptr(node, &length);
        return QString::fromUtf8(text, text == nullptr ? 0 : static_cast<qsizetype>(length));
    }
    case PLIST_BOOLEAN: {
        uint8_t flag = 0;
        plist_get_bool_val(node, &flag);
        return flag != 0;
    }
    case PLIST_UINT: {
        // Negative integers are kept in two's complement.
        uint64_t value = 0;
        plist_get_uint_val(node, &value);
        return static_cast<qint64>(value);
    }
    case PLIST_REAL: {
        double value = 0;
        plist_get_real_val(node, &value);
        return value;
    }
    case PLIST_DATA: {
        uint64_t length = 0;
        const char* bytes = plist_get_data_ptr(node, &length);
        return QByteArray(bytes, bytes == nullptr ? 0 : static_cast<qsizetype>(length));
    }
    case PLIST_DATE: {
        int32_t seconds = 0;
        int32_t microseconds = 0;
        plist_get_date_val(node, &seconds, &microseconds);
        const qint64 msecs = (kPlistEpochOffset + seconds) * 1000 + microseconds / 1000;
        return QDateTime::fromMSecsSinceEpoch(msecs, Qt::UTC);
    }
    case PLIST_ARRAY: {
        QVariantList list;
        const uint32_t count = plist_array_get_size(node);
        for (uint32_t i = 0; i < count; ++i) {
            if (std::optional<QVariant> value = convert(plist_array_get_item(node, i))) {
                list.append(*value);
            }
        }
        return list;
    }
    case PLIST_DICT:
        return convertDictionary(node);
    default:
        return std::nullopt;
    }
}

} // namespace

std::optional<QVariantMap> parsePropertyListDictionary(const QByteArray& bytes) {
    const ParsedPropertyList parsed = parsePropertyList(bytes, kInfoPlistBounds);
    if (parsed.dictionary == nullptr) {
        return std::nullopt;
    }
    return convertDictionary(parsed.dictionary.get());
}

std::optional<QVariantMap> readInfoPlist(const QString& plistPath) {
    const PropertyListFile file = readPropertyListFile(plistPath, kInfoPlistBounds);
    if (file.dictionary == nullptr) {
        return std::nullopt;
    }
    return convertDictionary(file.dictionary.get());
}

QString infoPlistPath(const QString& bundlePath) {
    return bundlePath + QStringLiteral("/Contents/Info.plist");
}

bool bundleCarriesIdentifier(const QString& bundlePath, const QString& bundleIdentifier) {
    const std::optional<QVariantMap> info = readInfoPlist(infoPlistPath(bundlePath));
    if (!info) {
        return false;
    }
    const QVariant identifier = info->value(QStringLiteral("CFBundleIdentifier"));
    return identifier.typeId() == QMetaType::QString && identifier.toString() == bundleIdentifier;
}

} // namespace nimbara
