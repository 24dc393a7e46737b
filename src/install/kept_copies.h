#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace nimbara {

// One app's kept previous bundle and the version it was kept at.
struct KeptCopy {
    QString appID;
    QString bundlePath;
    QString version;
};

// The bundles updates replaced, one per app: `<root>/<app id>/<Name>.app` beside `kept.json`
// (the version the bundle was kept at and its name). A folder is only ever replaced whole: a
// new copy is assembled under `.incoming-<UUID>` and renamed into place, the one it replaces
// renamed to `.old-<UUID>` first and then removed; what an interruption leaves under those
// names is removed by the install recovery. App ids must be plain identifiers.
// Every operation blocks on the disk.
class KeptCopies {
public:
    explicit KeptCopies(QString root);

    // $XDG_DATA_HOME/nimbara/previous
    static QString defaultRoot();
    const QString& root() const { return root_; }

    // Makes `bundle`, at `version`, the kept copy of `appID` in place of an earlier one, named
    // `bundleName` (by default its own name). The bundle is moved, or copied and then removed
    // when it lies on another file system. Throws FileError; the earlier kept copy then stays.
    void keep(const QString& appID, const QString& bundle, const QString& version,
              const QString& bundleName = {}) const;
    // The app's kept copy; none when there is none or its record is unreadable (logged).
    std::optional<KeptCopy> find(const QString& appID) const;
    QList<KeptCopy> all() const;
    // The ids of every app with a kept copy folder, readable or not.
    QStringList appIDs() const;
    // Deletes the app's kept copy for good. Throws FileError.
    void remove(const QString& appID) const;
    // Moves the app's kept copy folder to the Trash. Throws FileError.
    void moveToTrash(const QString& appID) const;

private:
    QString folderOf(const QString& appID) const;

    QString root_;
};

} // namespace nimbara
