#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>
#include <variant>

namespace nimbara {

// One value of the preferences domain. The launcher stores three kinds: Booleans, arrays of
// strings and data blobs. Entries of any other kind found in the file (strings, numbers, dates,
// dictionaries, arrays holding anything but strings) are carried as `Other`: they keep their
// place in the file, but no typed read returns them and they cannot be written back.
class PreferenceValue {
public:
    enum class Kind { Other, Boolean, StringArray, Data };

    PreferenceValue() = default; // an `Other` value

    static PreferenceValue boolean(bool value) { return PreferenceValue(value); }
    static PreferenceValue stringArray(QStringList value) {
        return PreferenceValue(std::move(value));
    }
    static PreferenceValue data(QByteArray value) { return PreferenceValue(std::move(value)); }

    Kind kind() const { return static_cast<Kind>(value_.index()); }
    bool isBoolean() const { return kind() == Kind::Boolean; }

    // The payload of the matching kind; false / empty for any other kind.
    bool toBool() const;
    QStringList toStringList() const;
    QByteArray toByteArray() const;

    friend bool operator==(const PreferenceValue&, const PreferenceValue&) = default;

private:
    template <typename T> explicit PreferenceValue(T value) : value_(std::move(value)) {}

    std::variant<std::monostate, bool, QStringList, QByteArray> value_;
};

// The launcher's preferences domain: a flat map from string keys to values, kept in one XML
// property list. The file is read once, at construction; every write replaces it at once and
// atomically (temporary file, fsync, rename), so that after any write it holds the whole domain.
//
// No operation reports an error to its caller:
// - a file that cannot be read as a property list whose top level is a dictionary (anything but
//   a regular file or a link to one, a file over 8 MiB or one nesting more than 64 levels
//   included) reads as an empty domain and is moved aside as "<name>.corrupt-<time>" next to
//   it, never overwritten; while it cannot be moved, it is left alone and the domain lives in
//   memory only;
// - a write that cannot be saved leaves the previous file as it was and keeps the new value in
//   memory, so the next successful save carries it (`lastWriteError()` says what went wrong).
// Used from one thread (the main thread).
class PreferencesStore {
public:
    explicit PreferencesStore(QString filePath);
    ~PreferencesStore();
    PreferencesStore(const PreferencesStore&) = delete;
    PreferencesStore& operator=(const PreferencesStore&) = delete;

    // $XDG_CONFIG_HOME/nimbara/preferences.plist, with ~/.config when the variable is unset,
    // empty or not an absolute path.
    static QString defaultPath();

    QString filePath() const { return filePath_; }

    // An absent key, or one holding another kind, reads as false.
    bool boolForKey(const QString& key) const;
    void setBool(const QString& key, bool value);

    // An absent key, or one not holding an array of strings, reads as none.
    std::optional<QStringList> stringArrayForKey(const QString& key) const;
    void setStringArray(const QString& key, const QStringList& value);

    // An absent key, or one holding another kind, reads as none.
    std::optional<QByteArray> dataForKey(const QString& key) const;
    void setData(const QString& key, const QByteArray& value);

    // The stored value of one of the three kinds; none when the key is absent or holds another
    // kind, so that a stored false can be told apart from "never set".
    std::optional<PreferenceValue> objectForKey(const QString& key) const;
    // Stores `value` under `key`. An `Other` value is not storable and changes nothing.
    void setObject(const QString& key, const PreferenceValue& value);

    // Afterwards the key reads as absent, whatever kind it held.
    void removeObjectForKey(const QString& key);

    // Every key of the domain with its value; keys holding kinds the launcher does not use are
    // listed as `Other`, so that clearing by prefix removes them too.
    QMap<QString, PreferenceValue> dictionaryRepresentation() const;
    QStringList keys() const; // sorted

    // Diagnostics. The message of the last failed write, empty once a save succeeds.
    QString lastWriteError() const { return lastWriteError_; }
    // True while the domain in memory holds changes that no save has carried to the file.
    bool hasUnsavedChanges() const { return unsaved_; }
    // Saves unsaved changes now; true when the file holds the whole domain afterwards.
    bool synchronize();
    // Where an unreadable file found at construction was moved; empty when there was none.
    QString keptAsidePath() const { return keptAsidePath_; }

private:
    void load();
    bool keepUnreadableFileAside();
    void store(const QString& key, const PreferenceValue* value);
    bool save();

    QString filePath_;
    std::unique_ptr<void, void (*)(void*)> root_; // the domain as a property-list dictionary
    QString keptAsidePath_;
    QString lastWriteError_;
    bool unsaved_ = false;
    bool unreadableFileInPlace_ = false; // an unreadable file could not be moved aside yet
};

// String-to-string maps are kept as the JSON encoding of one object whose members are all
// strings, stored as data. An absent value, one that is not such an object, or one of another
// kind reads as the empty map.
QMap<QString, QString> loadStringDictionary(const PreferencesStore& store, const QString& key);
void saveStringDictionary(PreferencesStore& store, const QString& key,
                          const QMap<QString, QString>& map);

} // namespace nimbara
