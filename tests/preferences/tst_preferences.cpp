#include "platform/preferences_store.h"
#include "support/temp_home.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>
#include <csignal>
#include <sys/resource.h>

using namespace nimbara;
using StringMap = QMap<QString, QString>;
using Domain = QMap<QString, PreferenceValue>;

Q_DECLARE_METATYPE(nimbara::PreferenceValue)

namespace {

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

QByteArray plistWith(const QByteArray& entries) {
    return "<?xml version=\"1.0\"?><plist version=\"1.0\"><dict>" + entries + "</dict></plist>";
}

// A binary property list: flag = true, ids = ["a", "b"], blob = <00 01 ff>.
QByteArray binaryPlist() {
    return QByteArray::fromHex(
        "62706c6973743030d301030702040854666c61670953696473a205065161516254626c6f62430001ff080f"
        "1415191c1e20250000000000000101000000000000000900000000000000000000000000000029");
}

QByteArray withoutBlanks(QByteArray text) {
    return text.replace(' ', "").replace('\t', "").replace('\n', "");
}

} // namespace

class TestPreferences : public QObject {
    Q_OBJECT

    QString path_; // a fresh file path in a folder of its own for each case

private Q_SLOTS:
    void init() {
        static int counter = 0;
        const QString folder =
            qEnvironmentVariable("XDG_CONFIG_HOME") + u"/case-%1"_qs.arg(++counter);
        QDir().mkpath(folder);
        path_ = folder + u"/preferences.plist"_qs;
    }

    void defaultPath_data() {
        QTest::addColumn<QByteArray>("configHome");
        QTest::addColumn<QString>("expected");
        const QString home = QDir::homePath() + u"/.config/nimbara/preferences.plist"_qs;
        QTest::newRow("absolute") << QByteArray("/srv/conf/")
                                  << u"/srv/conf/nimbara/preferences.plist"_qs;
        QTest::newRow("empty") << QByteArray("") << home;
        QTest::newRow("relative") << QByteArray("conf") << home;
    }

    void defaultPath() {
        QFETCH(QByteArray, configHome);
        QFETCH(QString, expected);
        const QByteArray saved = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", configHome);
        const QString path = PreferencesStore::defaultPath();
        qputenv("XDG_CONFIG_HOME", saved);
        QCOMPARE(path, expected);
    }

    // Every storable value comes back after a restart from a file only the user can read; a
    // string holding NUL is refused and changes nothing.
    void valuesSurviveRestartInPrivateFile() {
        QByteArray everyByte;
        for (int i = 0; i < 256; ++i) {
            everyByte.append(static_cast<char>(i));
        }
        const Domain domain{
            {u"nimbara.flag"_qs, PreferenceValue::boolean(false)},
            {u"nimbara.<ключ & 鍵>"_qs, PreferenceValue::boolean(true)},
            {u"nimbara.seen"_qs, PreferenceValue::stringArray({u"<&>\"'"_qs, u"tab\there\nline"_qs,
                                                               u"zażółć 🚀"_qs, QString()})},
            {u"nimbara.none"_qs, PreferenceValue::stringArray({})},
            {u"nimbara.blob"_qs, PreferenceValue::data(everyByte)},
            {u"nimbara.empty"_qs, PreferenceValue::data({})}};
        writeFile(path_, plistWith({}));
        QVERIFY(QFile::setPermissions(path_, QFile::permissions(path_) | QFileDevice::ReadOther));
        PreferencesStore store(path_);
        for (auto it = domain.begin(); it != domain.end(); ++it) {
            store.setObject(it.key(), it.value());
        }
        const QByteArray saved = readFile(path_);
        store.setStringArray(u"nimbara.seen"_qs, {QStringLiteral("b\0c")});
        QVERIFY(!store.lastWriteError().isEmpty());
        QCOMPARE(store.dictionaryRepresentation(), domain);
        QCOMPARE(readFile(path_), saved);
        QVERIFY(saved.startsWith("<?xml"));
        QCOMPARE(PreferencesStore(path_).dictionaryRepresentation(), domain);
        const auto others = QFileDevice::ReadGroup | QFileDevice::WriteGroup |
                            QFileDevice::ReadOther | QFileDevice::WriteOther;
        QCOMPARE(QFile::permissions(path_) & others, QFileDevice::Permissions());
    }

    void absentFalseAndRemovedAreTold() {
        const QString key = u"nimbara.launchAtLoginDesired"_qs;
        PreferencesStore store(path_);
        QVERIFY(!store.boolForKey(key) && !store.stringArrayForKey(key) && !store.dataForKey(key));
        store.removeObjectForKey(key);
        QVERIFY2(!QFile::exists(path_), "reading or removing nothing must not create the file");
        store.setObject(key, PreferenceValue::boolean(false));
        store.setObject(key, PreferenceValue()); // not storable: changes nothing
        QCOMPARE(PreferencesStore(path_).objectForKey(key),
                 std::optional(PreferenceValue::boolean(false)));
        store.removeObjectForKey(key);
        QVERIFY(!store.objectForKey(key));
        QVERIFY(!PreferencesStore(path_).objectForKey(key));
    }

    // Entries of kinds the launcher does not use read as absent, survive rewrites untouched and
    // are listed, so that clearing by prefix removes them too.
    void foreignKindsAreKeptAndRemovable() {
        const QList<QByteArray> entries{
            "<key>nimbara.a</key><array><string>a</string><integer>1</integer></array>",
            "<key>nimbara.d</key><date>2021-03-04T05:06:07Z</date>",
            "<key>nimbara.n</key><dict><key>a</key><true/></dict>",
            "<key>nimbara.s</key><string>true</string>", "<key>other.keep</key><true/>"};
        writeFile(path_, plistWith(entries.join()));
        PreferencesStore store(path_);
        QCOMPARE(store.dictionaryRepresentation().size(), entries.size());
        for (const QString& key :
             {u"nimbara.a"_qs, u"nimbara.d"_qs, u"nimbara.n"_qs, u"nimbara.s"_qs}) {
            QVERIFY(!store.boolForKey(key) && !store.stringArrayForKey(key));
            QVERIFY(!store.dataForKey(key) && !store.objectForKey(key));
            QCOMPARE(store.dictionaryRepresentation().value(key).kind(),
                     PreferenceValue::Kind::Other);
        }
        store.setBool(u"nimbara.flag"_qs, true);
        for (const QByteArray& entry : entries) {
            QVERIFY2(withoutBlanks(readFile(path_)).contains(entry), entry.constData());
        }
        for (const QString& key : store.dictionaryRepresentation().keys()) {
            if (key.startsWith(u"nimbara."_qs)) {
                store.removeObjectForKey(key);
            }
        }
        QCOMPARE(PreferencesStore(path_).keys(), QStringList{u"other.keep"_qs});
    }

    // Whatever the file holds, the store starts and saves; a file it cannot read is moved aside
    // under a name no earlier file has, never overwritten.
    void anyFileIsReadOrKeptAside_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("keptAside");
        QTest::addColumn<Domain>("domain"); // after setting nimbara.flag

        const Domain flag{{u"nimbara.flag"_qs, PreferenceValue::boolean(true)}};
        const QByteArray valid = plistWith("<key>a</key><true/><key>c</key><data>AAH/</data>");
        QTest::newRow("garbage") << QByteArray("\x00\x01", 2) + " not a property list \xff" << true
                                 << flag;
        QTest::newRow("truncated XML") << valid.left(valid.size() / 2) << true << flag;
        QTest::newRow("top-level array")
            << QByteArray("<?xml version=\"1.0\"?><plist version=\"1.0\"><array/></plist>") << true
            << flag;
        QTest::newRow("truncated binary") << binaryPlist().chopped(8) << true << flag;
        QTest::newRow("empty file: nothing to lose") << QByteArray("") << false << flag;
        Domain binary = flag;
        binary.insert(u"flag"_qs, PreferenceValue::boolean(true));
        binary.insert(u"ids"_qs, PreferenceValue::stringArray({u"a"_qs, u"b"_qs}));
        binary.insert(u"blob"_qs, PreferenceValue::data(QByteArray("\x00\x01\xff", 3)));
        QTest::newRow("binary, rewritten as XML") << binaryPlist() << false << binary;
    }

    void anyFileIsReadOrKeptAside() {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, keptAside);
        QFETCH(Domain, domain);
        const QDateTime now = QDateTime::currentDateTime();
        QStringList occupied; // the names for this second and the next
        for (const QDateTime& time : {now, now.addSecs(1)}) {
            occupied << path_ + u".corrupt-"_qs + time.toString(u"yyyyMMdd-HHmmss"_qs);
            writeFile(occupied.last(), "earlier");
        }
        writeFile(path_, bytes);
        PreferencesStore store(path_);
        QCOMPARE(store.keptAsidePath().startsWith(path_ + u".corrupt-"_qs), keptAside);
        QVERIFY(!occupied.contains(store.keptAsidePath()));
        if (keptAside) {
            QVERIFY(store.keys().isEmpty());
            QCOMPARE(readFile(store.keptAsidePath()), bytes);
        }
        store.setBool(u"nimbara.flag"_qs, true);
        QVERIFY(readFile(path_).startsWith("<?xml"));
        for (const QString& name : occupied) {
            QCOMPARE(readFile(name), QByteArray("earlier"));
        }
        PreferencesStore restarted(path_);
        QVERIFY(restarted.keptAsidePath().isEmpty());
        QCOMPARE(restarted.dictionaryRepresentation(), domain);
    }

    void failedWriteKeepsOldFileAndValue() {
        PreferencesStore store(path_);
        store.setBool(u"nimbara.kept"_qs, true);
        const QByteArray original = readFile(path_);
        const QByteArray big(64 * 1024, 'x');
        {
            // Writes past 16 KiB fail with EFBIG, for root too.
            const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
            rlimit saved{};
            QVERIFY(getrlimit(RLIMIT_FSIZE, &saved) == 0);
            rlimit lowered = saved;
            lowered.rlim_cur = 16 * 1024;
            QVERIFY(setrlimit(RLIMIT_FSIZE, &lowered) == 0);
            store.setData(u"nimbara.big"_qs, big);
            setrlimit(RLIMIT_FSIZE, &saved);
            std::signal(SIGXFSZ, previousHandler);
        }
        QVERIFY(!store.lastWriteError().isEmpty());
        QVERIFY(store.hasUnsavedChanges());
        QCOMPARE(store.dataForKey(u"nimbara.big"_qs), std::optional(big));
        QCOMPARE(readFile(path_), original);
        QCOMPARE(QDir(QFileInfo(path_).path()).entryList(QDir::Files),
                 QStringList{u"preferences.plist"_qs});

        // Writing the same value again still saves: the file does not hold it yet.
        store.setData(u"nimbara.big"_qs, big);
        QVERIFY2(store.lastWriteError().isEmpty(), qPrintable(store.lastWriteError()));
        QVERIFY(!store.hasUnsavedChanges());
        PreferencesStore restarted(path_);
        QCOMPARE(restarted.dataForKey(u"nimbara.big"_qs), std::optional(big));
        QVERIFY(restarted.boolForKey(u"nimbara.kept"_qs));
    }

    // String maps are stored as a JSON object of strings; anything else reads as the empty map.
    void stringDictionaries_data() {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<StringMap>("map");
        QTest::newRow("object of strings")
            << QByteArray("{\"com.a.one\": \"/h/B b.app\", \"zażółć \\\"q\\\\\": \"日本🚀\\n\"}")
            << StringMap{{u"com.a.one"_qs, u"/h/B b.app"_qs}, {u"zażółć \"q\\"_qs, u"日本🚀\n"_qs}};
        QTest::newRow("not JSON") << QByteArray("{\"a\": ") << StringMap();
        QTest::newRow("array") << QByteArray("[\"a\"]") << StringMap();
        QTest::newRow("number member") << QByteArray(R"({"a": "x", "b": 1})") << StringMap();
    }

    void stringDictionaries() {
        QFETCH(QByteArray, stored);
        QFETCH(StringMap, map);
        PreferencesStore store(path_);
        store.setData(u"nimbara.stored"_qs, stored);
        store.setBool(u"nimbara.flag"_qs, true);
        saveStringDictionary(store, u"nimbara.saved"_qs, map);
        const PreferencesStore restarted(path_);
        QCOMPARE(loadStringDictionary(restarted, u"nimbara.stored"_qs), map);
        QCOMPARE(loadStringDictionary(restarted, u"nimbara.saved"_qs), map);
        QVERIFY(loadStringDictionary(restarted, u"nimbara.flag"_qs).isEmpty()); // not data
        QCOMPARE(QJsonDocument::fromJson(*restarted.dataForKey(u"nimbara.saved"_qs)).object(),
                 map.isEmpty() ? QJsonObject() : QJsonDocument::fromJson(stored).object());
    }
};

NIMBARA_TEST_MAIN(TestPreferences)

#include "tst_preferences.moc"
