#include "platform/preferences_store.h"
#include "support/sample_bundle.h"
#include "support/temp_home.h"
#include "support/test_files.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

using namespace nimbara;
using nimbara::test::writeBytes;
using StringMap = QMap<QString, QString>;
using Domain = QMap<QString, PreferenceValue>;

Q_DECLARE_METATYPE(nimbara::PreferenceValue)

namespace {

QByteArray plistWith(const QByteArray& entries) {
    return "<?xml version=\"1.0\"?><!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
           "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\"><plist version=\"1.0\"><dict>" +
           entries + "</dict></plist>";
}

// A binary property list: flag = true, ids = ["a", "b"], blob = <00 01 ff>.
QByteArray binaryPlist() {
    return QByteArray::fromHex(
        "62706c6973743030d301030702040854666c61670953696473a205065161516254626c6f62430001ff080f"
        "1415191c1e20250000000000000101000000000000000900000000000000000000000000000029");
}

// An entry holding arrays nested so that, with the top-level dictionary, `depth` levels nest.
QByteArray nestedEntry(int depth) {
    return "<key>deep</key>" + QByteArray("<array>").repeated(depth - 1) +
           QByteArray("</array>").repeated(depth - 1);
}

// A binary property list: object 0 is the top dictionary, holding object 2 under the key "k"
// (object 1); object 2 + i is an array of the objects listed in `arrays[i]`.
QByteArray binaryArrays(const QList<QList<int>>& arrays) {
    const auto bigEndian = [](quint64 value, int width) {
        QByteArray bytes;
        for (int shift = (width - 1) * 8; shift >= 0; shift -= 8) {
            bytes.append(static_cast<char>(value >> shift));
        }
        return bytes;
    };
    QByteArray out = "bplist00";
    QList<qsizetype> offsets{out.size()};
    out += "\xd1" + bigEndian(1, 2) + bigEndian(2, 2);
    offsets << out.size();
    out += "\x51k";
    for (const QList<int>& refs : arrays) {
        offsets << out.size();
        out += refs.size() < 15 ? QByteArray(1, static_cast<char>(0xa0 | refs.size()))
                                : "\xaf\x11" + bigEndian(refs.size(), 2);
        for (int ref : refs) {
            out += bigEndian(ref, 2);
        }
    }
    const qsizetype table = out.size();
    for (qsizetype offset : offsets) {
        out += bigEndian(offset, 4);
    }
    return out + QByteArray(6, 0) + "\x04\x02" + bigEndian(offsets.size(), 8) + bigEndian(0, 8) +
           bigEndian(table, 8);
}

// Arrays, each holding the next (`width` times over), so that `depth` levels nest in all.
QByteArray binaryChain(int depth, int width = 1) {
    QList<QList<int>> arrays;
    for (int i = 0; i < depth - 2; ++i) {
        arrays.append(QList<int>(width, 3 + i));
    }
    arrays.append(QList<int>());
    return binaryArrays(arrays);
}

// Takes every name under which the store would set `path` aside during the next seconds.
QStringList occupyKeepAsideNames(const QString& path, int attempts) {
    QStringList names;
    const QDateTime now = QDateTime::currentDateTime();
    for (const QDateTime& time : {now, now.addSecs(1), now.addSecs(2)}) {
        const QString base = path + u".corrupt-"_qs + time.toString(u"yyyyMMdd-HHmmss"_qs);
        for (int attempt = 1; attempt <= attempts; ++attempt) {
            names << (attempt == 1 ? base : base + u"-%1"_qs.arg(attempt));
            writeBytes(names.last(), "earlier");
        }
    }
    return names;
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
        writeBytes(path_, plistWith({}));
        QVERIFY(QFile::setPermissions(path_, QFile::permissions(path_) | QFileDevice::ReadOther));
        PreferencesStore store(path_);
        for (auto it = domain.begin(); it != domain.end(); ++it) {
            store.setObject(it.key(), it.value());
        }
        const QByteArray saved = test::readBytes(path_);
        store.setStringArray(u"nimbara.seen"_qs, {QStringLiteral("b\0c")});
        QVERIFY(!store.lastWriteError().isEmpty());
        QCOMPARE(store.dictionaryRepresentation(), domain);
        QCOMPARE(test::readBytes(path_), saved);
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
        writeBytes(path_, plistWith(entries.join()));
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
            QVERIFY2(withoutBlanks(test::readBytes(path_)).contains(entry), entry.constData());
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

        // Within the bounds the file is read, beyond them it is never parsed.
        Domain deep = flag;
        deep.insert(u"deep"_qs, PreferenceValue());
        Domain deepBinary = flag;
        deepBinary.insert(u"k"_qs, PreferenceValue());
        QTest::newRow("nested 64 levels") << plistWith(nestedEntry(64)) << false << deep;
        QTest::newRow("nested 65 levels") << plistWith(nestedEntry(65)) << true << flag;
        QTest::newRow("nested 30000 levels") << plistWith(nestedEntry(30000)) << true << flag;
        // Tags inside character data and comments are text: they neither open nor close.
        const QByteArray openers = QByteArray("<array>").repeated(32);
        const QByteArray closers = QByteArray("</array>").repeated(32);
        const auto asText = [](const QByteArray& tags) {
            return "<string><![CDATA[" + tags + "]]></string><!--" + tags + "-->";
        };
        QTest::newRow("nested 66 levels, tags in text")
            << plistWith("<key>deep</key>" + openers + asText(closers) + nestedEntry(34).mid(15) +
                         asText(openers) + closers)
            << true << flag;
        QTest::newRow("binary, nested 64 levels") << binaryChain(64) << false << deepBinary;
        QTest::newRow("binary, nested 65 levels") << binaryChain(65) << true << flag;
        QTest::newRow("binary, nested 30000 levels") << binaryChain(30000) << true << flag;
        QTest::newRow("binary, 2^40 arrays by shared references")
            << binaryChain(42, 2) << true << flag;
        QTest::newRow("binary, array holding itself") << binaryArrays({{2}}) << true << flag;
        QTest::newRow("9 MiB") << plistWith("<key>big</key><data>" +
                                            QByteArray(9 * 1024 * 1024, 'A') + "</data>")
                               << true << flag;
    }

    void anyFileIsReadOrKeptAside() {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, keptAside);
        QFETCH(Domain, domain);
        const QStringList occupied = occupyKeepAsideNames(path_, 1);
        writeBytes(path_, bytes);
        PreferencesStore store(path_);
        QCOMPARE(store.keptAsidePath().startsWith(path_ + u".corrupt-"_qs), keptAside);
        QVERIFY(!occupied.contains(store.keptAsidePath()));
        if (keptAside) {
            QVERIFY(store.keys().isEmpty());
            QCOMPARE(test::readBytes(store.keptAsidePath()), bytes);
        }
        store.setBool(u"nimbara.flag"_qs, true);
        QVERIFY(test::readBytes(path_).startsWith("<?xml"));
        for (const QString& name : occupied) {
            QCOMPARE(test::readBytes(name), QByteArray("earlier"));
        }
        PreferencesStore restarted(path_);
        QVERIFY(restarted.keptAsidePath().isEmpty());
        QCOMPARE(restarted.dictionaryRepresentation(), domain);
    }

    // Only regular files, or links to them, are opened: anything else at the path is moved aside
    // unopened (a FIFO would block the start forever), or, when it cannot be moved, left alone
    // while the preferences live in memory until it can.
    void onlyRegularFilesAreRead_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("movable");
        for (const char* kind : {"FIFO", "folder", "link to a device", "link to a file"}) {
            QTest::newRow(kind) << QString::fromLatin1(kind) << true;
        }
        QTest::newRow("FIFO, every spare name taken") << u"FIFO"_qs << false;
    }

    void onlyRegularFilesAreRead() {
        QFETCH(QString, kind);
        QFETCH(bool, movable);
        const QString target = path_ + u".target"_qs;
        if (kind == u"FIFO") {
            QVERIFY(::mkfifo(QFile::encodeName(path_).constData(), 0600) == 0);
        } else if (kind == u"folder") {
            QVERIFY(QDir().mkpath(path_));
            writeBytes(path_ + u"/inside"_qs, "kept");
        } else {
            writeBytes(target, plistWith("<key>kept</key><true/>"));
            QVERIFY(QFile::link(kind == u"link to a file" ? target : u"/dev/zero"_qs, path_));
        }
        const QStringList occupied = occupyKeepAsideNames(path_, movable ? 0 : 100);
        const bool folder = QFileInfo(path_).isDir();
        const QString linkTarget = QFileInfo(path_).symLinkTarget();

        PreferencesStore store(path_);
        const bool regular = kind == u"link to a file";
        QCOMPARE(store.keys(), regular ? QStringList{u"kept"_qs} : QStringList());
        QCOMPARE(store.keptAsidePath().isEmpty(), regular || !movable);
        store.setBool(u"nimbara.flag"_qs, true);
        QVERIFY(store.boolForKey(u"nimbara.flag"_qs));
        if (!movable) {
            QVERIFY(!store.lastWriteError().isEmpty());
            QVERIFY(QFileInfo(path_).exists() && !QFileInfo(path_).isFile());
            for (const QString& name : occupied) {
                QCOMPARE(test::readBytes(name), QByteArray("earlier"));
                QFile::remove(name);
            }
            QVERIFY(store.synchronize()); // the way is free now
        }
        if (!regular) {
            const QFileInfo aside(store.keptAsidePath());
            QCOMPARE(aside.isDir(), folder);
            QCOMPARE(aside.symLinkTarget(), linkTarget);
            QVERIFY(!aside.isFile());
            QVERIFY(!folder || test::readBytes(aside.filePath() + u"/inside"_qs) == "kept");
        }
        PreferencesStore restarted(path_);
        QVERIFY(restarted.boolForKey(u"nimbara.flag"_qs));
        QCOMPARE(restarted.boolForKey(u"kept"_qs), regular);
    }

    void failedWriteKeepsOldFileAndValue() {
        PreferencesStore store(path_);
        store.setBool(u"nimbara.kept"_qs, true);
        const QByteArray original = test::readBytes(path_);
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
        QCOMPARE(test::readBytes(path_), original);
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
