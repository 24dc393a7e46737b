#include "platform/preferences_store.h"
#include "support/temp_home.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QTest>
#include <QXmlStreamReader>
#include <csignal>
#include <sys/resource.h>

using namespace nimbara;
using Kind = PreferenceValue::Kind;
using StringMap = QMap<QString, QString>;

Q_DECLARE_METATYPE(nimbara::PreferenceValue)
Q_DECLARE_METATYPE(nimbara::PreferenceValue::Kind)
Q_DECLARE_METATYPE(std::optional<QByteArray>)

namespace {

// A fresh folder under the temporary config home for each case.
QString freshPath() {
    static int counter = 0;
    const QString folder =
        qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/case-%1").arg(++counter);
    QDir().mkpath(folder);
    return folder + QStringLiteral("/preferences.plist");
}

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
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n<dict>" + entries +
           "</dict>\n</plist>\n";
}

// A binary property list: flag = true, ids = ["a", "b"], blob = <00 01 ff>.
QByteArray binaryPlist() {
    return QByteArray::fromHex(
        "62706c6973743030d301030702040854666c61670953696473a205065161516254626c6f62430001ff080f"
        "1415191c1e20250000000000000101000000000000000900000000000000000000000000000029");
}

// Reads an XML property list without the store: every top-level key with its value written as
// "tag(text)" with children nested. None when the file is not well-formed XML with a top-level
// dictionary.
std::optional<StringMap> xmlEntries(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    QXmlStreamReader xml(&file);
    StringMap entries;
    QStringList open;
    QString key;
    QString value;
    bool sawDictionary = false;
    while (!xml.atEnd() && !xml.hasError()) {
        xml.readNext();
        if (xml.isStartElement()) {
            open.append(xml.name().toString());
            sawDictionary |= open == QStringList{u"plist"_qs, u"dict"_qs};
            if (open.size() == 3 && open.last() == u"key"_qs) {
                key = xml.readElementText();
                open.removeLast();
            } else if (open.size() >= 3) {
                value += open.last() + QLatin1Char('(');
            }
        } else if (xml.isCharacters() && open.size() >= 3) {
            value += xml.text().trimmed();
        } else if (xml.isEndElement()) {
            if (open.size() >= 3) {
                value += QLatin1Char(')');
            }
            if (open.size() == 3) {
                entries.insert(key, value);
                value.clear();
            }
            open.removeLast();
        }
    }
    if (xml.hasError() || !sawDictionary) {
        return std::nullopt;
    }
    return entries;
}

// Lowers the soft file-size limit so that writes past `bytes` fail with EFBIG, for root too.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) : previous_(std::signal(SIGXFSZ, SIG_IGN)) {
        if (getrlimit(RLIMIT_FSIZE, &saved_) == 0) {
            rlimit lowered = saved_;
            lowered.rlim_cur = bytes;
            active_ = setrlimit(RLIMIT_FSIZE, &lowered) == 0;
        }
    }
    ~FileSizeLimit() {
        if (active_) {
            setrlimit(RLIMIT_FSIZE, &saved_);
        }
        std::signal(SIGXFSZ, previous_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;
    bool active() const { return active_; }

private:
    void (*previous_)(int);
    rlimit saved_{};
    bool active_ = false;
};

} // namespace

class TestPreferences : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void defaultPath_data() {
        QTest::addColumn<std::optional<QByteArray>>("configHome");
        QTest::addColumn<QString>("expected");
        const QString home = QDir::homePath() + u"/.config/nimbara/preferences.plist"_qs;
        QTest::newRow("absolute") << std::optional<QByteArray>("/srv/conf/")
                                  << u"/srv/conf/nimbara/preferences.plist"_qs;
        QTest::newRow("unset") << std::optional<QByteArray>() << home;
        QTest::newRow("empty") << std::optional<QByteArray>("") << home;
        QTest::newRow("relative") << std::optional<QByteArray>("conf") << home;
    }

    void defaultPath() {
        QFETCH(std::optional<QByteArray>, configHome);
        QFETCH(QString, expected);
        const QByteArray saved = qgetenv("XDG_CONFIG_HOME");
        configHome ? qputenv("XDG_CONFIG_HOME", *configHome) : qunsetenv("XDG_CONFIG_HOME");
        const QString path = PreferencesStore::defaultPath();
        qputenv("XDG_CONFIG_HOME", saved);
        QCOMPARE(path, expected);
    }

    void valuesSurviveRestart_data() {
        QTest::addColumn<QString>("key");
        QTest::addColumn<PreferenceValue>("value");
        QByteArray everyByte;
        for (int i = 0; i < 256; ++i) {
            everyByte.append(static_cast<char>(i));
        }
        const auto strings = PreferenceValue::stringArray;
        QTest::newRow("true") << u"nimbara.flag"_qs << PreferenceValue::boolean(true);
        QTest::newRow("false") << u"nimbara.flag"_qs << PreferenceValue::boolean(false);
        QTest::newRow("ids") << u"nimbara.seen"_qs << strings({u"com.a.one"_qs, u"com.a.two"_qs});
        QTest::newRow("markup, blanks, unicode")
            << u"nimbara.seen"_qs
            << strings({u"<&>\"'"_qs, u"tab\there\nline"_qs, u"zażółć 🚀"_qs, QString()});
        QTest::newRow("empty array") << u"nimbara.seen"_qs << strings({});
        QTest::newRow("every byte") << u"nimbara.blob"_qs << PreferenceValue::data(everyByte);
        QTest::newRow("empty data") << u"nimbara.blob"_qs << PreferenceValue::data({});
        QTest::newRow("key with markup")
            << u"nimbara.<ключ & 鍵>"_qs << PreferenceValue::boolean(true);
    }

    void valuesSurviveRestart() {
        QFETCH(QString, key);
        QFETCH(PreferenceValue, value);
        const QString path = freshPath();
        {
            PreferencesStore store(path);
            store.setObject(key, value);
            QCOMPARE(store.objectForKey(key), std::optional(value));
            QVERIFY(store.lastWriteError().isEmpty());
        }
        const auto entries = xmlEntries(path);
        QVERIFY(entries);
        QCOMPARE(entries->keys(), QStringList{key});
        PreferencesStore restarted(path);
        QCOMPARE(restarted.objectForKey(key), std::optional(value));
        QVERIFY(restarted.keptAsidePath().isEmpty());
    }

    void absentKeysReadAsDefaults() {
        const QString path = freshPath();
        PreferencesStore store(path);
        const QString key = u"nimbara.missing"_qs;
        QCOMPARE(store.boolForKey(key), false);
        QVERIFY(!store.stringArrayForKey(key));
        QVERIFY(!store.dataForKey(key));
        QVERIFY(!store.objectForKey(key));
        QVERIFY(store.keys().isEmpty());
        store.removeObjectForKey(key);
        QVERIFY2(!QFile::exists(path), "reading or removing nothing must not create the file");
    }

    void kindsReadAsStored_data() {
        QTest::addColumn<QByteArray>("element");
        QTest::addColumn<Kind>("kind"); // the kind dictionaryRepresentation lists
        const auto row = [](const char* name, const char* element, Kind kind) {
            QTest::newRow(name) << QByteArray(element) << kind;
        };
        row("true", "<true/>", Kind::Boolean);
        row("false", "<false/>", Kind::Boolean);
        row("strings", "<array><string>a</string></array>", Kind::StringArray);
        row("empty array", "<array/>", Kind::StringArray);
        row("array with an integer", "<array><string>a</string><integer>1</integer></array>",
            Kind::Other);
        row("data", "<data>AAH/</data>", Kind::Data);
        row("string", "<string>true</string>", Kind::Other);
        row("integer", "<integer>1</integer>", Kind::Other);
        row("dictionary", "<dict><key>a</key><true/></dict>", Kind::Other);
        row("date", "<date>2021-03-04T05:06:07Z</date>", Kind::Other);
    }

    void kindsReadAsStored() {
        QFETCH(QByteArray, element);
        QFETCH(Kind, kind);
        const QString path = freshPath();
        const QByteArray original = plistWith("<key>k</key>" + element);
        writeFile(path, original);
        const auto before = xmlEntries(path);
        QVERIFY(before);

        PreferencesStore store(path);
        const QString key = u"k"_qs;
        QCOMPARE(store.boolForKey(key), element == "<true/>");
        QCOMPARE(store.stringArrayForKey(key).has_value(), kind == Kind::StringArray);
        QCOMPARE(store.dataForKey(key).has_value(), kind == Kind::Data);
        QCOMPARE(store.objectForKey(key).has_value(), kind != Kind::Other);
        QCOMPARE(store.dictionaryRepresentation().value(key).kind(), kind);
        QCOMPARE(readFile(path), original);

        // Rewriting the file for another key keeps this entry exactly.
        store.setBool(u"nimbara.other"_qs, true);
        const auto after = xmlEntries(path);
        QVERIFY(after);
        QCOMPARE(after->value(key), before->value(key));
        QCOMPARE(after->value(u"nimbara.other"_qs), u"true()"_qs);
    }

    void objectForKeyTellsFalseFromAbsent() {
        const QString path = freshPath();
        const QString key = u"nimbara.launchAtLoginDesired"_qs;
        PreferencesStore store(path);
        QVERIFY(!store.objectForKey(key));
        store.setObject(key, PreferenceValue::boolean(false));
        QCOMPARE(store.objectForKey(key), std::optional(PreferenceValue::boolean(false)));
        store.setObject(key, PreferenceValue());
        QCOMPARE(PreferencesStore(path).objectForKey(key),
                 std::optional(PreferenceValue::boolean(false)));
        store.removeObjectForKey(key);
        QVERIFY(!store.objectForKey(key));
        QVERIFY(!PreferencesStore(path).objectForKey(key));
    }

    void clearingByPrefixRemovesEveryKind() {
        const QString path = freshPath();
        writeFile(path, plistWith("<key>nimbara.note</key><string>x</string>"
                                  "<key>other.keep</key><true/>"));
        PreferencesStore store(path);
        store.setBool(u"nimbara.onboardingComplete"_qs, true);
        store.setStringArray(u"nimbara.seenAnnouncementIDs"_qs, {u"a"_qs});
        saveStringDictionary(store, u"nimbara.installedPaths"_qs, {{u"a"_qs, u"/x/A.app"_qs}});
        const QStringList all{u"nimbara.installedPaths"_qs, u"nimbara.note"_qs,
                              u"nimbara.onboardingComplete"_qs, u"nimbara.seenAnnouncementIDs"_qs,
                              u"other.keep"_qs};
        QCOMPARE(store.keys(), all);
        QCOMPARE(store.dictionaryRepresentation().keys(), all);

        for (const QString& key : store.dictionaryRepresentation().keys()) {
            if (key.startsWith(u"nimbara."_qs)) {
                store.removeObjectForKey(key);
            }
        }
        QCOMPARE(store.keys(), QStringList{u"other.keep"_qs});
        QCOMPARE(PreferencesStore(path).keys(), QStringList{u"other.keep"_qs});
    }

    void unreadableFileIsKeptAside_data() {
        QTest::addColumn<QByteArray>("bytes");
        const QByteArray valid =
            plistWith("<key>a</key><true/><key>b</key><array><string>x</string>"
                      "</array><key>c</key><data>AAH/</data>");
        const QByteArray binary = binaryPlist();
        QTest::newRow("garbage") << QByteArray("\x00\x01\x02", 3) + " not a property list \xff";
        QTest::newRow("cut in the middle") << valid.left(valid.size() / 2);
        QTest::newRow("cut before </dict>") << valid.left(valid.lastIndexOf("</dict>"));
        QTest::newRow("top-level array") << QByteArray(
            "<?xml version=\"1.0\"?><plist version=\"1.0\"><array><true/></array></plist>");
        QTest::newRow("top-level string") << QByteArray(
            "<?xml version=\"1.0\"?><plist version=\"1.0\"><string>x</string></plist>");
        QTest::newRow("cut binary") << binary.left(binary.size() - 8);
        QTest::newRow("JSON") << QByteArray("{\"nimbara.flag\": true}");
    }

    void unreadableFileIsKeptAside() {
        QFETCH(QByteArray, bytes);
        const QString path = freshPath();
        writeFile(path, bytes);
        PreferencesStore store(path);
        QVERIFY(store.keys().isEmpty());
        QVERIFY(store.keptAsidePath().startsWith(path + u".corrupt-"_qs));
        QCOMPARE(readFile(store.keptAsidePath()), bytes);

        store.setBool(u"nimbara.flag"_qs, true);
        QVERIFY(store.lastWriteError().isEmpty());
        QCOMPARE(readFile(store.keptAsidePath()), bytes);
        PreferencesStore restarted(path);
        QVERIFY(restarted.keptAsidePath().isEmpty());
        QCOMPARE(restarted.keys(), QStringList{u"nimbara.flag"_qs});
    }

    void keptAsideFilesNeverClash() {
        const QString path = freshPath();
        // Occupy the names for this second and the next.
        const QDateTime now = QDateTime::currentDateTime();
        QStringList occupied;
        for (const QDateTime& time : {now, now.addSecs(1)}) {
            occupied << path + u".corrupt-"_qs + time.toString(u"yyyyMMdd-HHmmss"_qs);
            writeFile(occupied.last(), "earlier");
        }
        writeFile(path, "garbage");
        PreferencesStore store(path);
        QVERIFY(!store.keptAsidePath().isEmpty());
        QVERIFY(!occupied.contains(store.keptAsidePath()));
        QCOMPARE(readFile(store.keptAsidePath()), QByteArray("garbage"));
        for (const QString& name : occupied) {
            QCOMPARE(readFile(name), QByteArray("earlier"));
        }
    }

    void emptyFileReadsAsEmpty() {
        const QString path = freshPath();
        writeFile(path, {});
        PreferencesStore store(path);
        QVERIFY(store.keys().isEmpty());
        QVERIFY(store.keptAsidePath().isEmpty());
        store.setBool(u"nimbara.flag"_qs, true);
        QVERIFY(PreferencesStore(path).boolForKey(u"nimbara.flag"_qs));
    }

    void binaryFileIsReadAndRewrittenAsXml() {
        const QString path = freshPath();
        writeFile(path, binaryPlist());
        PreferencesStore store(path);
        QVERIFY(store.boolForKey(u"flag"_qs));
        QCOMPARE(store.stringArrayForKey(u"ids"_qs),
                 std::optional(QStringList({u"a"_qs, u"b"_qs})));
        QCOMPARE(store.dataForKey(u"blob"_qs), std::optional(QByteArray("\x00\x01\xff", 3)));
        store.setBool(u"flag"_qs, false);
        QVERIFY(readFile(path).startsWith("<?xml"));
        PreferencesStore restarted(path);
        QCOMPARE(restarted.keys(), QStringList({u"blob"_qs, u"flag"_qs, u"ids"_qs}));
        QCOMPARE(restarted.dataForKey(u"blob"_qs), std::optional(QByteArray("\x00\x01\xff", 3)));
        QCOMPARE(restarted.objectForKey(u"flag"_qs),
                 std::optional(PreferenceValue::boolean(false)));
    }

    void failedWriteKeepsOldFileAndValue_data() {
        QTest::addColumn<bool>("blockParent"); // else: a file-size limit
        QTest::newRow("file size limit") << false;
        QTest::newRow("parent folder is a file") << true;
    }

    void failedWriteKeepsOldFileAndValue() {
        QFETCH(bool, blockParent);
        const QString folder = QFileInfo(freshPath()).absolutePath();
        const QString blocker = folder + u"/blocker"_qs;
        const QString path = blockParent ? blocker + u"/nimbara/preferences.plist"_qs
                                         : folder + u"/preferences.plist"_qs;
        const QString onDisk = blockParent ? blocker : path;
        PreferencesStore store(path);
        if (blockParent) {
            writeFile(blocker, "in the way");
        } else {
            store.setBool(u"nimbara.kept"_qs, true);
        }
        const QByteArray original = readFile(onDisk);
        const QByteArray big(64 * 1024, 'x');
        {
            std::optional<FileSizeLimit> limit;
            if (!blockParent) {
                limit.emplace(16 * 1024);
                QVERIFY(limit->active());
            }
            store.setData(u"nimbara.big"_qs, big);
        }
        QVERIFY(!store.lastWriteError().isEmpty());
        QVERIFY(store.hasUnsavedChanges());
        QCOMPARE(store.dataForKey(u"nimbara.big"_qs), std::optional(big));
        QCOMPARE(readFile(onDisk), original);
        QCOMPARE(QDir(folder).entryList(QDir::Files), QStringList{QFileInfo(onDisk).fileName()});

        if (blockParent) {
            QVERIFY(QFile::remove(blocker));
        }
        // Writing the same value again still saves: the file does not hold it yet.
        store.setData(u"nimbara.big"_qs, big);
        QVERIFY2(store.lastWriteError().isEmpty(), qPrintable(store.lastWriteError()));
        QVERIFY(!store.hasUnsavedChanges());
        PreferencesStore restarted(path);
        QCOMPARE(restarted.dataForKey(u"nimbara.big"_qs), std::optional(big));
        QCOMPARE(restarted.boolForKey(u"nimbara.kept"_qs), !blockParent);
    }

    void fileIsPrivate() {
        const QString path = freshPath();
        writeFile(path, plistWith({}));
        QVERIFY(QFile::setPermissions(path, QFile::permissions(path) | QFileDevice::ReadOther));
        PreferencesStore(path).setBool(u"nimbara.flag"_qs, true);
        const auto everyoneElse = QFileDevice::ReadGroup | QFileDevice::WriteGroup |
                                  QFileDevice::ReadOther | QFileDevice::WriteOther;
        QCOMPARE(QFile::permissions(path) & everyoneElse, QFileDevice::Permissions());
    }

    void stringWithNulIsRefused() {
        const QString path = freshPath();
        PreferencesStore store(path);
        store.setStringArray(u"nimbara.ids"_qs, {u"a"_qs});
        const QByteArray original = readFile(path);
        store.setStringArray(u"nimbara.ids"_qs, {u"a"_qs, QStringLiteral("b\0c")});
        QVERIFY(!store.lastWriteError().isEmpty());
        QCOMPARE(store.stringArrayForKey(u"nimbara.ids"_qs), std::optional(QStringList{u"a"_qs}));
        QCOMPARE(readFile(path), original);
    }

    void stringDictionaryRoundTrip_data() {
        QTest::addColumn<StringMap>("map");
        QTest::newRow("empty") << StringMap();
        QTest::newRow("paths") << StringMap{{u"com.a.one"_qs, u"/h/A.app"_qs},
                                            {u"com.a.two"_qs, u"/h/B b.app"_qs}};
        QTest::newRow("unicode and quotes")
            << StringMap{{u"zażółć"_qs, u"日本"_qs}, {u"\"q\\"_qs, u"🚀\n"_qs}};
    }

    void stringDictionaryRoundTrip() {
        QFETCH(StringMap, map);
        const QString path = freshPath();
        const QString key = u"nimbara.installedVersions"_qs;
        PreferencesStore store(path);
        saveStringDictionary(store, key, map);
        QVERIFY(QJsonDocument::fromJson(store.dataForKey(key).value_or("")).isObject());
        QCOMPARE(loadStringDictionary(store, key), map);
        QCOMPARE(loadStringDictionary(PreferencesStore(path), key), map);
    }

    void unreadableStringDictionaryIsEmpty_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("not JSON") << QByteArray("{\"a\": ");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("array") << QByteArray("[\"a\"]");
        QTest::newRow("string") << QByteArray("\"a\"");
        QTest::newRow("number member") << QByteArray("{\"a\": \"x\", \"b\": 1}");
        QTest::newRow("null member") << QByteArray("{\"a\": null}");
        QTest::newRow("object member") << QByteArray("{\"a\": {\"b\": \"c\"}}");
    }

    void unreadableStringDictionaryIsEmpty() {
        QFETCH(QByteArray, bytes);
        const QString path = freshPath();
        const QString key = u"nimbara.installedPaths"_qs;
        PreferencesStore store(path);
        store.setData(key, bytes);
        store.setBool(u"nimbara.flag"_qs, true);
        const QByteArray original = readFile(path);
        QVERIFY(loadStringDictionary(store, key).isEmpty());
        QVERIFY(loadStringDictionary(store, u"nimbara.flag"_qs).isEmpty()); // not data at all
        QCOMPARE(store.dataForKey(key), std::optional(bytes));
        QCOMPARE(readFile(path), original);
    }
};

NIMBARA_TEST_MAIN(TestPreferences)

#include "tst_preferences.moc"
