#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <sys/types.h>

namespace nimbara::test {

// Builds real archives with libarchive's writer, including entries a safe extractor must
// refuse (names with "..", absolute names, links, special files).
class TestArchive {
public:
    // Modification time of every entry unless one is given: 2023-11-14 22:13:20 UTC.
    static constexpr qint64 defaultModified = 1'700'000'000;

    TestArchive& file(const QByteArray& name, const QByteArray& content, mode_t permissions = 0644,
                      qint64 modified = defaultModified);
    TestArchive& directory(const QByteArray& name, mode_t permissions = 0755,
                           qint64 modified = defaultModified);
    TestArchive& symlink(const QByteArray& name, const QByteArray& target);
    TestArchive& hardlink(const QByteArray& name, const QByteArray& target);
    // An entry of another file type (S_IFIFO, S_IFCHR, S_IFSOCK…). Zip writers refuse these,
    // so writeZip() stores an empty file and then rewrites its Unix mode in the archive's
    // central directory, as a crafted archive would carry it.
    TestArchive& special(const QByteArray& name, mode_t type);

    // Writes a zip archive; fails the running test on error (QVERIFY-style: check with
    // QTest::currentTestFailed()).
    void writeZip(const QString& path) const;
    // Writes a POSIX tar archive (zip has no hard links).
    void writeTar(const QString& path) const;

private:
    struct Entry {
        QByteArray name;
        mode_t mode = 0;
        QByteArray content;
        QByteArray linkTarget;
        bool hardlink = false;
        qint64 modified = defaultModified;
    };
    void write(const QString& path, bool zip) const;

    QList<Entry> entries_;
};

} // namespace nimbara::test
