#pragma once

#include <QByteArray>
#include <QString>

namespace nimbara {

// The launcher's entry in the desktop's application menu for a copy a user unpacked into their
// own home: $XDG_DATA_HOME/applications/nimbara.desktop. (The system package installs its own
// entry, and a launcher outside a bundle has none.)
class XdgApplicationEntry {
public:
    static QString entryPath();

    // A valid desktop entry that starts `executable` and shows `icon` (a file path).
    static QByteArray entryContent(const QString& executable, const QString& icon);

    // Writes the entry, atomically, unless it is already exactly this one. Answers whether it
    // wrote. Throws FileError with the system's message.
    static bool ensure(const QString& executable, const QString& icon);

    // Whether a launcher running from the bundle `bundlePath` is a per-user copy: an app bundle
    // inside the user's home folder `home`.
    static bool isPerUserBundle(const QString& bundlePath, const QString& home);
};

} // namespace nimbara
