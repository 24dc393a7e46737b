#include "platform/preferences_store.h"

#include "core/logging.h"
#include "platform/property_list_reader.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <algorithm>
#include <cstdlib>
#include <fcntl.h>
#include <plist/plist.h>
#include <unistd.h>

namespace nimbara {

namespace {

// A preferences file is a few kilobytes, nested two levels. Anything beyond these bounds is not
// one of ours: it is not parsed, but treated as unreadable and moved aside like any other. Only
// trees within them ever reach the writer, which descends once per level.
constexpr PropertyListBounds kBounds{8 * 1024 * 1024, 64};

// Attempts at finding a free name for a file moved aside before giving up.
constexpr int kMaxKeepAsideAttempts = 100;

QString stringOf(plist_t node) {
    uint64_t length = 0;
    const char* text = plist_get_string_ptr(node, &length);
    return text == nullptr ? QString() : QString::fromUtf8(text, static_cast<qsizetype>(length));
}

PreferenceValue valueOf(plist_t node) {
    switch (plist_get_node_type(node)) {
    case PLIST_BOOLEAN: {
        uint8_t flag = 0;
        plist_get_bool_val(node, &flag);
        return PreferenceValue::boolean(flag != 0);
    }
    case PLIST_DATA: {
        uint64_t length = 0;
        const char* bytes = plist_get_data_ptr(node, &length);
        return PreferenceValue::data(
            bytes == nullptr ? QByteArray() : QByteArray(bytes, static_cast<qsizetype>(length)));
    }
    case PLIST_ARRAY: {
        QStringList strings;
        const uint32_t count = plist_array_get_size(node);
        for (uint32_t i = 0; i < count; ++i) {
            plist_t item = plist_array_get_item(node, i);
            if (plist_get_node_type(item) != PLIST_STRING) {
                return {};
            }
            strings.append(stringOf(item));
        }
        return PreferenceValue::stringArray(strings);
    }
    default:
        return {};
    }
}

// Property lists keep keys and strings as C strings: a NUL inside would cut them short.
bool storable(const QString& text) {
    return !text.contains(QChar(u'\0'));
}

plist_t nodeOf(const PreferenceValue& value) {
    switch (value.kind()) {
    case PreferenceValue::Kind::Boolean:
        return plist_new_bool(value.toBool() ? 1 : 0);
    case PreferenceValue::Kind::Data: {
        const QByteArray bytes = value.toByteArray();
        return plist_new_data(bytes.constData(), static_cast<uint64_t>(bytes.size()));
    }
    case PreferenceValue::Kind::StringArray: {
        plist_t array = plist_new_array();
        for (const QString& item : value.toStringList()) {
            plist_array_append_item(array, plist_new_string(item.toUtf8().constData()));
        }
        return array;
    }
    case PreferenceValue::Kind::Other:
        break;
    }
    return nullptr;
}

// Makes the rename of a file inside `folder` durable.
void syncFolder(const QString& folder) {
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace

bool PreferenceValue::toBool() const {
    const bool* flag = std::get_if<bool>(&value_);
    return flag != nullptr && *flag;
}

QStringList PreferenceValue::toStringList() const {
    const QStringList* strings = std::get_if<QStringList>(&value_);
    return strings != nullptr ? *strings : QStringList();
}

QByteArray PreferenceValue::toByteArray() const {
    const QByteArray* bytes = std::get_if<QByteArray>(&value_);
    return bytes != nullptr ? *bytes : QByteArray();
}

PreferencesStore::PreferencesStore(QString filePath)
    : filePath_(std::move(filePath)), root_(nullptr, &freePropertyListNode) {
    load();
}

PreferencesStore::~PreferencesStore() = default;

QString PreferencesStore::defaultPath() {
    QString configHome = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (configHome.isEmpty() || !QDir::isAbsolutePath(configHome)) {
        configHome = QDir::homePath() + QStringLiteral("/.config");
    }
    return QDir::cleanPath(configHome + QStringLiteral("/nimbara/preferences.plist"));
}

void PreferencesStore::load() {
    PropertyListFile file = readPropertyListFile(filePath_, kBounds);
    switch (file.state) {
    case PropertyListFile::State::read:
        root_ = std::move(file.dictionary);
        return;
    case PropertyListFile::State::absent:
    case PropertyListFile::State::empty: // an empty file holds nothing that could be lost
        root_.reset(plist_new_dict());
        return;
    case PropertyListFile::State::notRegularFile:
    case PropertyListFile::State::unreadable:
        break;
    }
    root_.reset(plist_new_dict());
    unreadableFileInPlace_ = !keepUnreadableFileAside();
    const QString unreadable =
        QStringLiteral("cannot read the preferences file %1 (%2)").arg(filePath_, file.problem);
    if (unreadableFileInPlace_) {
        qCWarning(logPlatform).noquote()
            << unreadable + QStringLiteral("; it is left as it is and the preferences are kept "
                                           "in memory until it can be moved aside: %1")
                                .arg(lastWriteError_);
    } else {
        qCWarning(logPlatform).noquote()
            << unreadable + QStringLiteral("; moved it aside to %1 and started with empty "
                                           "preferences")
                                .arg(keptAsidePath_);
    }
}

bool PreferencesStore::keepUnreadableFileAside() {
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    const QString base = filePath_ + QStringLiteral(".corrupt-") + stamp;
    for (int attempt = 1; attempt <= kMaxKeepAsideAttempts; ++attempt) {
        const QString candidate =
            attempt == 1 ? base : base + QLatin1Char('-') + QString::number(attempt);
        if (QFileInfo::exists(candidate)) {
            continue;
        }
        // QFile::rename and QFile::copy never replace an existing file. Moving keeps the bytes
        // exactly; copying is the fallback when a regular file cannot be moved (copying a FIFO
        // or device would wait on it or read it forever).
        if (QFile::rename(filePath_, candidate) ||
            (QFileInfo(filePath_).isFile() && QFile::copy(filePath_, candidate))) {
            keptAsidePath_ = candidate;
            return true;
        }
        if (!QFileInfo::exists(candidate)) {
            break; // not a name clash: the folder refuses the new file
        }
    }
    lastWriteError_ = QStringLiteral("cannot move the unreadable file %1 aside").arg(filePath_);
    return false;
}

bool PreferencesStore::boolForKey(const QString& key) const {
    const std::optional<PreferenceValue> value = objectForKey(key);
    return value && value->toBool();
}

void PreferencesStore::setBool(const QString& key, bool value) {
    setObject(key, PreferenceValue::boolean(value));
}

std::optional<QStringList> PreferencesStore::stringArrayForKey(const QString& key) const {
    const std::optional<PreferenceValue> value = objectForKey(key);
    if (!value || value->kind() != PreferenceValue::Kind::StringArray) {
        return std::nullopt;
    }
    return value->toStringList();
}

void PreferencesStore::setStringArray(const QString& key, const QStringList& value) {
    setObject(key, PreferenceValue::stringArray(value));
}

std::optional<QByteArray> PreferencesStore::dataForKey(const QString& key) const {
    const std::optional<PreferenceValue> value = objectForKey(key);
    if (!value || value->kind() != PreferenceValue::Kind::Data) {
        return std::nullopt;
    }
    return value->toByteArray();
}

void PreferencesStore::setData(const QString& key, const QByteArray& value) {
    setObject(key, PreferenceValue::data(value));
}

std::optional<PreferenceValue> PreferencesStore::objectForKey(const QString& key) const {
    if (!storable(key)) {
        return std::nullopt;
    }
    plist_t node = plist_dict_get_item(root_.get(), key.toUtf8().constData());
    if (node == nullptr) {
        return std::nullopt;
    }
    PreferenceValue value = valueOf(node);
    if (value.kind() == PreferenceValue::Kind::Other) {
        return std::nullopt;
    }
    return value;
}

void PreferencesStore::setObject(const QString& key, const PreferenceValue& value) {
    if (value.kind() == PreferenceValue::Kind::Other) {
        return;
    }
    const QStringList strings = value.toStringList();
    if (!storable(key) || !std::all_of(strings.begin(), strings.end(), storable)) {
        lastWriteError_ = QStringLiteral("cannot store a key or string containing NUL");
        return;
    }
    store(key, &value);
}

void PreferencesStore::removeObjectForKey(const QString& key) {
    if (storable(key)) {
        store(key, nullptr);
    }
}

void PreferencesStore::store(const QString& key, const PreferenceValue* value) {
    const QByteArray name = key.toUtf8();
    plist_t current = plist_dict_get_item(root_.get(), name.constData());
    const bool unchanged =
        value == nullptr ? current == nullptr : current != nullptr && valueOf(current) == *value;
    if (unchanged && !unsaved_) {
        return;
    }
    if (value == nullptr) {
        plist_dict_remove_item(root_.get(), name.constData());
    } else {
        plist_dict_set_item(root_.get(), name.constData(), nodeOf(*value));
    }
    unsaved_ = true;
    save();
}

QMap<QString, PreferenceValue> PreferencesStore::dictionaryRepresentation() const {
    QMap<QString, PreferenceValue> entries;
    plist_dict_iter iter = nullptr;
    plist_dict_new_iter(root_.get(), &iter);
    for (;;) {
        char* key = nullptr;
        plist_t node = nullptr;
        plist_dict_next_item(root_.get(), iter, &key, &node);
        if (key == nullptr) {
            break;
        }
        entries.insert(QString::fromUtf8(key), valueOf(node));
        std::free(key);
    }
    std::free(iter);
    return entries;
}

QStringList PreferencesStore::keys() const {
    return dictionaryRepresentation().keys();
}

bool PreferencesStore::synchronize() {
    return !unsaved_ || save();
}

bool PreferencesStore::save() {
    if (unreadableFileInPlace_) {
        // Never write over a file that could not be read; keep trying to move it aside first.
        unreadableFileInPlace_ = !keepUnreadableFileAside();
        if (unreadableFileInPlace_) {
            return false;
        }
    }
    const QString folder = QFileInfo(filePath_).absolutePath();
    if (!QDir().mkpath(folder)) {
        lastWriteError_ = QStringLiteral("cannot create the folder %1").arg(folder);
        return false;
    }

    char* xml = nullptr;
    uint32_t length = 0;
    plist_to_xml(root_.get(), &xml, &length);
    const QByteArray bytes(xml, static_cast<qsizetype>(length));
    plist_to_xml_free(xml);

    QSaveFile file(filePath_);
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly)) {
        lastWriteError_ = QStringLiteral("cannot save %1: %2").arg(filePath_, file.errorString());
        return false;
    }
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    const bool written = file.write(bytes) == bytes.size() && file.flush();
    const QString writeError = file.errorString();
    if (!written || !file.commit()) {
        lastWriteError_ = QStringLiteral("cannot save %1: %2")
                              .arg(filePath_, written ? file.errorString() : writeError);
        file.cancelWriting();
        return false;
    }
    syncFolder(folder);
    lastWriteError_.clear();
    unsaved_ = false;
    return true;
}

QMap<QString, QString> loadStringDictionary(const PreferencesStore& store, const QString& key) {
    const std::optional<QByteArray> bytes = store.dataForKey(key);
    if (!bytes) {
        return {};
    }
    const QJsonDocument document = QJsonDocument::fromJson(*bytes);
    if (!document.isObject()) {
        return {};
    }
    QMap<QString, QString> map;
    const QJsonObject object = document.object();
    for (auto it = object.begin(); it != object.end(); ++it) {
        if (!it.value().isString()) {
            return {};
        }
        map.insert(it.key(), it.value().toString());
    }
    return map;
}

void saveStringDictionary(PreferencesStore& store, const QString& key,
                          const QMap<QString, QString>& map) {
    QJsonObject object;
    for (auto it = map.begin(); it != map.end(); ++it) {
        object.insert(it.key(), it.value());
    }
    store.setData(key, QJsonDocument(object).toJson(QJsonDocument::Compact));
}

} // namespace nimbara
