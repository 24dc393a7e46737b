#include "install/install_recovery.h"
#include "support/sample_bundle.h"
#include "tst_store.h"

#include <QCoro/QCoroTask>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QUuid>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>

using namespace nimbara;
using namespace nimbara::test;

namespace {

QString freshUUID() {
    return QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper();
}

// Backdates `path` to an hour ago, as a leftover of an earlier launcher would be.
void makeOld(const QString& path) {
    const timespec hourAgo{::time(nullptr) - 3600, 0};
    const timespec times[2] = {hourAgo, hourAgo};
    QVERIFY(::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0) == 0);
}

QStringList entries(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                                  QDir::Name);
}

} // namespace

void TestStore::recoversInterruptedInstalls_data() {
    QTest::addColumn<bool>("newCopyInPlace"); // else: only the backup holds the app
    QTest::addColumn<QString>("recorded");    // the version the preferences hold
    QTest::addColumn<AppInstallState>("after");
    QTest::addColumn<bool>("trashesNewCopy");

    const AppInstallState update = AppInstallState::updateAvailable(u"0.9.0"_qs, u"1.0.0"_qs);
    QTest::newRow("after the backup move") << false << u"0.9.0"_qs << update << false;
    // The final check passing leaves the same files; the record is still the old one.
    QTest::newRow("after the move into place or the final check")
        << true << u"0.9.0"_qs << update << true;
    QTest::newRow("after the new version was recorded")
        << true << u"1.0.0"_qs << kInstalled << false;
}

void TestStore::recoversInterruptedInstalls() {
    QFETCH(bool, newCopyInPlace);
    QFETCH(QString, recorded);
    QFETCH(AppInstallState, after);
    QFETCH(bool, trashesNewCopy);

    StoreHarness h;
    const QString root = h.fakes.installRoot;
    const QString elsewhere = h.fakes.folder + u"/Elsewhere"_qs;
    const QString temporary = h.fakes.folder + u"/tmp"_qs;
    QVERIFY(QDir().mkpath(elsewhere) && QDir().mkpath(temporary));

    // Alpha was being updated in the install root from 0.9.0 to 1.0.0.
    const QString alpha = h.fakes.bundlePath(kAlpha.name);
    const QString uuid = freshUUID();
    writeBundle(alpha + u"."_qs + uuid + u".backup"_qs, kAlpha.bundleId, u"0.9.0"_qs);
    if (newCopyInPlace) {
        writeBundle(alpha, kAlpha.bundleId, u"1.0.0"_qs);
    }
    const QString staged = alpha + u"."_qs + freshUUID() + u".staged"_qs;
    writeBundle(staged, kAlpha.bundleId, u"1.0.0"_qs);
    makeOld(staged);
    h.fakes.persistInstall(kAlpha.id, recorded, alpha);
    // Bravo lives where the user moved it, and was cut short right after its backup move.
    const QString bravo = elsewhere + u"/Bravo.app"_qs;
    writeBundle(bravo + u"."_qs + freshUUID() + u".backup"_qs, kBravo.bundleId, u"1.0.0"_qs);
    h.fakes.persistInstall(kBravo.id, u"1.0.0"_qs, bravo);
    // What is not the launcher's, or not old enough, stays.
    const QStringList strangers{u"Notes.app.backup"_qs,
                                u"Tool.app."_qs + uuid.toLower() + u".backup"_qs};
    for (const QString& name : strangers) {
        writeBundle(QDir(root).filePath(name), u"org.example.tool"_qs, u"3"_qs);
        makeOld(QDir(root).filePath(name));
    }
    QFile stranger(QDir(elsewhere).filePath(u"Paper.app."_qs + uuid + u".staged.txt"_qs));
    QVERIFY(stranger.open(QIODevice::WriteOnly) && stranger.write("mine") == 4);
    stranger.close();
    makeOld(stranger.fileName());
    const QString oldWork = temporary + u"/NimbaraInstall-"_qs + freshUUID();
    const QString youngWork = temporary + u"/NimbaraInstall-"_qs + freshUUID();
    QVERIFY(QDir().mkpath(oldWork + u"/extracted"_qs) && QDir().mkpath(youngWork));
    makeOld(oldWork);
    const QString trash =
        QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + u"/Trash/files"_qs;
    const QStringList trashedBefore = entries(trash);

    h.fakes.installRecovery =
        std::make_shared<InstallRecovery>(root, temporary, InstallRecovery::processStartTime());
    LauncherStore& store = h.start(catalogWith({kAlpha, kBravo}));
    QCoro::waitFor(store.loadStoredStateIfNeeded());

    QCOMPARE(bundleVersionAt(alpha), recorded);
    QCOMPARE(bundleVersionAt(bravo), u"1.0.0"_qs);
    QCOMPARE(entries(root), (QStringList{u"Alpha.app"_qs} + strangers));
    QCOMPARE(entries(elsewhere), (QStringList{u"Bravo.app"_qs, QFileInfo(stranger).fileName()}));
    QCOMPARE(entries(temporary), QStringList{QFileInfo(youngWork).fileName()});
    QStringList trashed = entries(trash);
    for (const QString& name : trashedBefore) {
        trashed.removeOne(name);
    }
    QCOMPARE(trashed.size(), trashesNewCopy ? 1 : 0);
    if (trashesNewCopy) {
        QCOMPARE(bundleVersionAt(trash + u"/"_qs + trashed.first()), u"1.0.0"_qs);
    }
    QCOMPARE(store.state(kAlpha), after);
    QCOMPARE(store.state(kBravo), kInstalled);
    QCOMPARE(store.installedAppURLs().value(kAlpha.id), QUrl::fromLocalFile(alpha));
}
