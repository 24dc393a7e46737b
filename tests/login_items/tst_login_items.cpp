// Launch at login on the XDG autostart entry: the wish kept in a real preferences file, the
// entry written to and removed from a real autostart folder, failures as the system words them.

#include "contracts/collaborator_records.h"
#include "platform/preferences_store.h"
#include "services/launcher_login_item_manager.h"
#include "services/user_defaults_login_item_preference_store.h"
#include "services/xdg_autostart_login_item_adapter.h"
#include "support/file_permissions_enforced.h"
#include "support/temp_home.h"
#include "support/test_files.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

using namespace nimbara;
using namespace nimbara::test;
using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(nimbara::LoginItemState)

namespace nimbara {
char* toString(const LoginItemState& state) {
    return QTest::toString(u"%1(%2)"_s.arg(static_cast<int>(state.kind)).arg(state.message));
}
} // namespace nimbara

namespace {

const QString kExecutable = u"/opt/nimbara/bin/nimbara"_s;
const QString kDesiredKey = QString::fromLatin1(UserDefaultsLoginItemPreferenceStore::kDesiredKey);

// A fresh $XDG_CONFIG_HOME for one case, and a preferences file beside (not inside) it, holding
// `desired` (a property-list value, none when empty) and one unrelated key.
struct Setup {
    QTemporaryDir dir;
    QByteArray savedConfigHome = qgetenv("XDG_CONFIG_HOME");
    QString configHome = dir.filePath(u"config"_s);
    QString preferencesPath = dir.filePath(u"preferences.plist"_s);

    explicit Setup(const QByteArray& desired, const QByteArray& entry = {}) {
        QDir().mkpath(configHome);
        qputenv("XDG_CONFIG_HOME", configHome.toLocal8Bit());
        QByteArray plist = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">"
                           "<dict><key>unrelated.flag</key><true/>";
        if (!desired.isEmpty()) {
            plist += "<key>" + kDesiredKey.toLatin1() + "</key>" + desired;
        }
        writeFile(preferencesPath, plist + "</dict></plist>\n");
        if (!entry.isNull()) {
            writeFile(XdgAutostartLoginItemAdapter::entryPath(), entry);
        }
    }
    ~Setup() { qputenv("XDG_CONFIG_HOME", savedConfigHome); }

    std::unique_ptr<LauncherLoginItemManager> manager() const {
        return std::make_unique<LauncherLoginItemManager>(
            std::make_shared<XdgAutostartLoginItemAdapter>(kExecutable),
            std::make_shared<UserDefaultsLoginItemPreferenceStore>(
                std::make_shared<PreferencesStore>(preferencesPath)),
            [] { QFAIL("nothing asked for the settings"); });
    }
    // The preferences file as it is now.
    PreferenceValue stored(const QString& key) const {
        return PreferencesStore(preferencesPath).dictionaryRepresentation().value(key);
    }
};

// The entry's content, null when there is none.
QByteArray entryNow() {
    return readBytes(XdgAutostartLoginItemAdapter::entryPath());
}

// What a session starts for the entry's Exec value when it holds one argument: the file's
// string escapes undone, then the argument's quoting, then the doubled percent signs.
QString execArgument(const QByteArray& entry) {
    QString value;
    for (const QString& line : QString::fromUtf8(entry).split(u'\n')) {
        if (line.startsWith(u"Exec="_s)) {
            value = line.mid(5);
        }
    }
    QString unescaped;
    const QHash<QChar, QChar> escapes{{u's', u' '}, {u'n', u'\n'}, {u't', u'\t'}, {u'r', u'\r'}};
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value[i] == u'\\' && i + 1 < value.size()) {
            ++i;
            unescaped += escapes.value(value[i], value[i]);
        } else {
            unescaped += value[i];
        }
    }
    QString argument = unescaped;
    if (unescaped.startsWith(u'"')) {
        argument.clear();
        qsizetype i = 1;
        for (; i < unescaped.size() && unescaped[i] != u'"'; ++i) {
            if (unescaped[i] == u'\\') {
                ++i;
            }
            argument += unescaped[i];
        }
        if (i != unescaped.size() - 1) {
            return u"not one quoted argument: "_s + unescaped;
        }
    }
    return argument.replace(u"%%"_s, u"%"_s);
}

} // namespace

class TestLoginItems : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void keepsWishAndEntryInStep_data() {
        QTest::addColumn<QByteArray>("stored"); // the wish's value in the file; empty: none
        QTest::addColumn<QByteArray>("entry");  // null: no entry
        QTest::addColumn<QString>("action");    // "reconcile", "on" or "off"
        QTest::addColumn<LoginItemState>("atConstruction");
        QTest::addColumn<bool>("wishAfter");
        QTest::addColumn<QString>("entryAfter"); // "none", "kept" or "written"
        QTest::addColumn<LoginItemState>("stateAfter");

        const QByteArray on = "<true/>", off = "<false/>";
        const QByteArray other = "[Desktop Entry]\nType=Application\nName=Other\nExec=other\n";
        const QByteArray hidden = other + "Hidden=true\n";
        const LoginItemState disabled = LoginItemState::disabled();
        const LoginItemState enabled = LoginItemState::enabled();
        const QString reconcile = u"reconcile"_s;

        QTest::newRow("first start registers") << QByteArray() << QByteArray() << reconcile
                                               << disabled << true << u"written"_s << enabled;
        QTest::newRow("stored off keeps an entry made elsewhere")
            << off << other << reconcile << enabled << false << u"kept"_s << enabled;
        QTest::newRow("stored off, no entry")
            << off << QByteArray() << reconcile << disabled << false << u"none"_s << disabled;
        QTest::newRow("switching on registers")
            << off << QByteArray() << u"on"_s << disabled << true << u"written"_s << enabled;
        QTest::newRow("switching on keeps a registration")
            << off << other << u"on"_s << enabled << true << u"kept"_s << enabled;
        QTest::newRow("switching off unregisters")
            << on << other << u"off"_s << enabled << false << u"none"_s << disabled;
        for (const char* value : {"<string>true</string>", "<data>AQ==</data>",
                                  "<array><string>true</string></array>"}) {
            QTest::addRow("%s counts as never set", value)
                << QByteArray(value) << QByteArray() << reconcile << disabled << true
                << u"written"_s << enabled;
        }
        QTest::newRow("a hidden entry is replaced")
            << on << hidden << reconcile << disabled << true << u"written"_s << enabled;
        QTest::newRow("an entry switched off for GNOME is replaced")
            << on << other + "X-GNOME-Autostart-enabled=false\n"
            << u"on"_s << disabled << true << u"written"_s << enabled;
        QTest::newRow("switches outside the entry's group do not count")
            << off << "# Hidden=true\n" + other + "[Desktop Action quit]\nHidden=true\n"
            << reconcile << enabled << false << u"kept"_s << enabled;
        QTest::newRow("a file without the entry's group is replaced")
            << on << QByteArray("Type=Application\nExec=other\n") << reconcile << disabled << true
            << u"written"_s << enabled;
    }

    // The wish and the entry after construction and one call, as the file and folder show them.
    void keepsWishAndEntryInStep() {
        QFETCH(QByteArray, stored);
        QFETCH(QByteArray, entry);
        QFETCH(QString, action);
        QFETCH(LoginItemState, atConstruction);
        QFETCH(bool, wishAfter);
        QFETCH(QString, entryAfter);
        QFETCH(LoginItemState, stateAfter);
        const Setup setup(stored, entry);

        const auto manager = setup.manager();
        QCOMPARE(manager->state(), atConstruction);
        QVERIFY(!manager->hasReconciledAfterLaunch());
        if (stored != "<true/>" && stored != "<false/>") {
            QCOMPARE(setup.stored(kDesiredKey), PreferenceValue::boolean(true));
        }
        if (action == u"reconcile"_s) {
            manager->reconcile();
        } else {
            manager->setDesired(action == u"on"_s);
        }

        QCOMPARE(manager->state(), stateAfter);
        QCOMPARE(manager->desiredEnabled(), wishAfter);
        QCOMPARE(setup.stored(kDesiredKey), PreferenceValue::boolean(wishAfter));
        QCOMPARE(setup.stored(u"unrelated.flag"_s), PreferenceValue::boolean(true));
        const QByteArray written = XdgAutostartLoginItemAdapter::entryContent(kExecutable);
        QCOMPARE(entryNow(), entryAfter == u"written"_s ? written
                             : entryAfter == u"kept"_s  ? entry
                                                        : QByteArray());
    }

    void failuresShowTheSystemsMessage_data() {
        QTest::addColumn<QString>("readOnly"); // the folder that cannot be written
        QTest::addColumn<bool>("registered");
        QTest::addColumn<bool>("desired");

        QTest::newRow("register into a read-only autostart folder")
            << u"autostart"_s << false << true;
        QTest::newRow("create the autostart folder in a read-only config folder")
            << u"config"_s << false << true;
        QTest::newRow("unregister from a read-only autostart folder")
            << u"autostart"_s << true << false;
    }

    // A failed registration or removal shows as failed(the system's message); the wish is kept
    // and nothing else changes. Root obeys file modes here, as a user would.
    void failuresShowTheSystemsMessage() {
        QFETCH(QString, readOnly);
        QFETCH(bool, registered);
        QFETCH(bool, desired);
        const QByteArray entry = "[Desktop Entry]\nType=Application\nName=Other\nExec=other\n";
        const Setup setup(desired ? "<false/>" : "<true/>", registered ? entry : QByteArray());
        const QString autostart = XdgAutostartLoginItemAdapter::autostartFolder();
        const QString folder = readOnly == u"config"_s ? setup.configHome : autostart;
        QVERIFY(QDir().mkpath(folder));
        const auto manager = setup.manager();
        const QStringList before = QDir(setup.configHome).entryList(QDir::AllEntries);
        const QStringList entriesBefore = QDir(autostart).entryList(QDir::AllEntries);
        QVERIFY(QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner));

        QTest::ignoreMessage(QtWarningMsg,
                             QRegularExpression(u"^cannot (register|stop) the launcher"_s));
        {
            const FilePermissionsEnforced enforced;
            QVERIFY2(enforced.error().isEmpty(), qPrintable(enforced.error()));
            manager->setDesired(desired);
        }
        QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                          QFileDevice::ExeOwner);

        const LoginItemState state = manager->state();
        QCOMPARE(state.kind, LoginItemState::Case::failed);
        QVERIFY2(state.message.contains(u"Permission denied"_s), qPrintable(state.message));
        QVERIFY2(state.message.contains(folder), qPrintable(state.message));
        QCOMPARE(manager->desiredEnabled(), desired);
        QCOMPARE(setup.stored(kDesiredKey), PreferenceValue::boolean(desired));
        QCOMPARE(setup.stored(u"unrelated.flag"_s), PreferenceValue::boolean(true));
        QCOMPARE(entryNow(), registered ? entry : QByteArray());
        QCOMPARE(QDir(setup.configHome).entryList(QDir::AllEntries), before);
        QCOMPARE(QDir(autostart).entryList(QDir::AllEntries), entriesBefore);
    }

    void writtenEntryIsValid_data() {
        QTest::addColumn<QString>("executable");
        QTest::newRow("plain path") << kExecutable;
        QTest::newRow("quote, dollar, backtick, percent, backslash")
            << u"/home/a user/\"My\" $HOME `apps` 100% back\\slash/nimbara"_s;
        QTest::newRow("shell punctuation") << u"/srv/it's (new); a&b|c <x> ~y *z? #w/nimbara"_s;
        QTest::newRow("tab and line break") << u"/srv/tab\there/line\nbreak/nimbara"_s;
    }

    // desktop-file-validate accepts the entry, and its Exec value gives back the path.
    void writtenEntryIsValid() {
        QFETCH(QString, executable);
        const Setup setup("<true/>");
        const QString validator = QStandardPaths::findExecutable(u"desktop-file-validate"_s);
        if (validator.isEmpty()) {
            QFAIL("desktop-file-validate is missing (scripts/setup installs desktop-file-utils)");
        }

        XdgAutostartLoginItemAdapter adapter(executable);
        adapter.registerItem();
        QCOMPARE(adapter.status(), LoginItemServiceStatus::enabled);

        QProcess validate;
        validate.setProcessChannelMode(QProcess::MergedChannels);
        validate.start(validator, {XdgAutostartLoginItemAdapter::entryPath()});
        QVERIFY(validate.waitForFinished());
        const QString said = QString::fromUtf8(validate.readAll());
        QVERIFY2(validate.exitStatus() == QProcess::NormalExit && validate.exitCode() == 0 &&
                     said.isEmpty(),
                 qPrintable(said));
        QCOMPARE(execArgument(entryNow()), executable);
    }
};

NIMBARA_TEST_MAIN(TestLoginItems)
#include "tst_login_items.moc"
