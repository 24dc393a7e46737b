#include "core/decoding_error.h"
#include "install/bundle_signature_validator.h"
#include "install/installed_code_validation_error.h"
#include "install/seal_manifest.h"
#include "scenario.h"
#include "support/temp_home.h"
#include "support/test_ca.h"

#include <QCryptographicHash>
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>

using namespace nimbara;
using namespace nimbara::test;
using namespace Qt::StringLiterals;

namespace {

const QString kValid = u"valid"_s;
const QString kReadme = u"Contents/Resources/readme.txt"_s;

QString hexDigest(const QByteArray& bytes) {
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
}

// A leaf of the test CA's marked intermediate.
codesign::SigningIdentity leafIdentity(const QString& name, const QStringList& units,
                                       int expiredYearsAgo = 0) {
    codesign::CertificateRequest request =
        codesign::leafRequest(name, units, TestCA::shared().hierarchy().intermediate, true);
    if (expiredYearsAgo) {
        request.notBefore = QDateTime::currentDateTimeUtc().addYears(-expiredYearsAgo - 2);
        request.notAfter = QDateTime::currentDateTimeUtc().addYears(-expiredYearsAgo);
    }
    return TestCA::shared().identity(codesign::issueCertificate(request));
}

codesign::IssuedCertificate otherRoot(const QString& name) {
    return codesign::issueCertificate(codesign::authorityRequest(name, std::nullopt, false));
}

void addRow(const char* name, const QString& expected, const Setup& setup) {
    QTest::newRow(name) << setup << expected;
}

} // namespace

class TestCodesign : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { TestCA::shared(); }
    void tamperMatrix_data();
    void tamperMatrix() { runScenario(); }
    void pinnedTrustOnly_data();
    void pinnedTrustOnly() { runScenario(); }
    void badInput_data();
    void badInput() { runScenario(); }
    void manifestDecoding_data();
    void manifestDecoding();
    void commandLine();

private:
    void runScenario();
};

void TestCodesign::runScenario() {
    QFETCH(Setup, setup);
    QFETCH(QString, expected);
    QTemporaryDir folder;
    Scenario scenario(folder.path());
    setup(scenario);
    const QMap<QString, QByteArray> before = treeSnapshot(folder.path());
    QString found = kValid;
    try {
        BundleSignatureValidator(scenario.team, scenario.anchors)
            .validate(QUrl::fromLocalFile(scenario.bundle), scenario.identifier, scenario.version);
    } catch (const InstalledCodeValidationError& error) {
        found = error.caseName();
    }
    QCOMPARE(found, expected);
    QCOMPARE(treeSnapshot(folder.path()), before);
}

void TestCodesign::tamperMatrix_data() {
    QTest::addColumn<Setup>("setup");
    QTest::addColumn<QString>("expected");
    const auto identity = [](const codesign::SigningIdentity& id) {
        return Setup([id](Scenario& s) {
            s.identity = id;
            s.build();
        });
    };
    const TestCA& ca = TestCA::shared();
    addRow("valid", kValid, [](Scenario& s) { s.build(); });
    // The team is checked before anything is read: the bundle does not even exist.
    for (const char* team : {"", "NIMBARA TM1", "NIMBARA-TM1"})
        addRow(qPrintable(u"team '%1'"_s.arg(QLatin1StringView(team))),
               u"missingTeamIDConfiguration"_s,
               [team](Scenario& s) { s.team = QString::fromLatin1(team); });
    addRow("no trust anchors", u"missingTeamIDConfiguration"_s,
           [](Scenario& s) { s.build().anchors.clear(); });

    addRow("Info.plist missing", u"unreadableBundle"_s,
           [](Scenario& s) { QFile::remove(s.build().path(u"Contents/Info.plist"_s)); });
    addRow("identifier differs", u"bundleIdentifierMismatch"_s,
           [](Scenario& s) { s.build().identifier = u"com.example.other"_s; });
    addRow("1.2 against 1.2.0", u"bundleVersionMismatch"_s, [](Scenario& s) {
        s.spec.version = u"1.2"_s;
        s.build().version = u"1.2.0"_s;
    });

    const QString invalid = u"invalidSignature"_s;
    addRow("no seal folder", invalid, [](Scenario& s) {
        QDir(s.build().path(u"Contents/_CodeSignature"_s)).removeRecursively();
    });
    addRow("executable byte changed", invalid,
           [](Scenario& s) { s.build().write(u"Contents/MacOS/Sample"_s, "#!/bin/sh\nexit 1\n"); });
    addRow("file added", invalid,
           [](Scenario& s) { s.build().write(u"Contents/Resources/extra.txt"_s, "extra"); });
    addRow("file removed", invalid,
           [](Scenario& s) { QFile::remove(s.build().path(u"Contents/MacOS/Sample"_s)); });
    addRow("executable bit flipped", invalid, [](Scenario& s) {
        const QString readme = s.build().path(kReadme);
        QFile::setPermissions(readme, QFile::permissions(readme) | QFileDevice::ExeOwner);
    });
    addRow("symlink retargeted", invalid, [](Scenario& s) {
        QFile::remove(s.build().path(u"Contents/Resources/current.txt"_s));
        s.symlink(u"../Info.plist"_s, u"Contents/Resources/current.txt"_s);
    });
    addRow("symlink out of the bundle", invalid, [](Scenario& s) {
        // Sealed with the link in place: only where it leads is wrong.
        writeBytes(s.parent + u"/outside.txt"_s, "outside");
        s.create().symlink(u"../../../outside.txt"_s, u"Contents/Resources/out"_s);
        s.sign();
    });
    addRow("fifo inside", invalid, [](Scenario& s) {
        ::mkfifo(QFile::encodeName(s.build().path(u"Contents/Resources/pipe"_s)), 0600);
    });
    addRow("manifest edited", invalid, [](Scenario& s) {
        const QByteArray tampered = "#!/bin/sh\nexit 1\n";
        QByteArray manifest = s.build().manifest();
        const QByteArray entry = "\"Contents/MacOS/Sample\":{\"executable\":true,\"sha256\":\"";
        manifest.replace(entry + hexDigest("#!/bin/sh\nexit 0\n").toLatin1(),
                         entry + hexDigest(tampered).toLatin1());
        s.write(u"Contents/MacOS/Sample"_s, tampered);
        s.write(kSealManifestPath, manifest);
    });
    addRow("seal of another bundle", invalid, [](Scenario& s) {
        Scenario other(s.parent);
        other.spec.name = u"Other"_s;
        other.build();
        s.build();
        for (const QLatin1StringView file : {kSealManifestPath, kSealSignaturePath}) {
            QFile::remove(s.path(file));
            QFile::copy(other.path(file), s.path(file));
        }
    });
    addRow("nested bundle tampered", invalid, [](Scenario& s) {
        s.build().write(u"Contents/Helpers/Helper.app/"_s + kReadme, "changed");
        codesign::signBundle(s.bundle, s.spec.identifier, s.identity); // the outer seal agrees
    });
    addRow("signed for another identifier", u"signingIdentifierMismatch"_s, [](Scenario& s) {
        s.signedAs = u"com.example.other"_s;
        s.build();
    });
    const QString notDeveloperID = u"notDeveloperIDLeaf"_s;
    addRow("development leaf", notDeveloperID,
           identity(ca.identity(ca.hierarchy().developmentLeaf)));
    addRow("unmarked intermediate", notDeveloperID,
           identity(TestCA::chainedIdentity(ca.hierarchy().root, false)));
    addRow("root not pinned", notDeveloperID,
           identity(TestCA::chainedIdentity(otherRoot(u"Other Root"_s), true)));
    addRow("another team", u"teamIDMismatch"_s,
           identity(ca.identity(ca.hierarchy().otherTeamLeaf)));
    addRow("two team units", u"teamIDMismatch"_s,
           identity(leafIdentity(u"Two Units"_s, {TestCA::team(), TestCA::team()})));
    // Dates are not judged: a bundle signed while its certificate was valid stays valid, as a
    // timestamped signature does, so installed apps keep working after the certificate expires.
    addRow("expired leaf", kValid, identity(leafIdentity(u"Expired"_s, {TestCA::team()}, 1)));
}

// Only the pinned roots are anchors: chains that would pass with partial chains, the system's
// default certificate paths or without the signer's chain being checked are refused; and the
// manifest's bytes are hashed exactly as written.
void TestCodesign::pinnedTrustOnly_data() {
    QTest::addColumn<Setup>("setup");
    QTest::addColumn<QString>("expected");
    const QString notDeveloperID = u"notDeveloperIDLeaf"_s;
    addRow("only the intermediate pinned", notDeveloperID, [](Scenario& s) {
        s.build().anchors = TestCA::shared().hierarchy().intermediate.certificatePem;
    });
    addRow("only an authority above the intermediate pinned", notDeveloperID, [](Scenario& s) {
        const codesign::IssuedCertificate upper = codesign::issueCertificate(
            codesign::authorityRequest(u"Upper"_s, TestCA::shared().hierarchy().root, false));
        s.identity = TestCA::chainedIdentity(upper, true);
        s.build().anchors = upper.certificatePem;
    });
    addRow("root only in the default paths", notDeveloperID, [](Scenario& s) {
        const codesign::IssuedCertificate root = otherRoot(u"System Root"_s);
        writeBytes(s.parent + u"/system.pem"_s, root.certificatePem);
        // Read only if the verifier loaded the default paths (the variable is cleared with
        // the process; every other row pins its roots explicitly).
        qputenv("SSL_CERT_FILE", QFile::encodeName(s.parent + u"/system.pem"_s));
        s.identity = TestCA::chainedIdentity(root, true);
        s.build();
    });
    addRow("manifest with line breaks", kValid,
           [](Scenario& s) { s.resign(s.build().manifest().replace(",", ",\n")); });
}

void TestCodesign::badInput_data() {
    QTest::addColumn<Setup>("setup");
    QTest::addColumn<QString>("expected");
    const auto row = [](const char* name, const Setup& setup) {
        addRow(name, u"invalidSignature"_s, setup);
    };
    const auto signature = [](Scenario& s, const QByteArray& bytes) {
        s.write(kSealSignaturePath, bytes);
    };
    row("truncated DER", [signature](Scenario& s) {
        QFile file(s.build().path(kSealSignaturePath));
        QVERIFY(file.open(QIODevice::ReadOnly));
        signature(s, file.readAll().chopped(40));
    });
    row("garbage DER", [signature](Scenario& s) { signature(s.build(), QByteArray(300, '\x30')); });
    row("empty signature", [signature](Scenario& s) { signature(s.build(), {}); });
    row("two signers", [signature](Scenario& s) {
        const TestCA& ca = TestCA::shared();
        s.build();
        signature(s, signWithTwoSigners(s.manifest(), s.identity,
                                        ca.identity(ca.hierarchy().otherTeamLeaf)));
    });
    row("manifest not JSON", [](Scenario& s) { s.build().resign("not json"); });
    row("folder listed as a file", [](Scenario& s) {
        const QByteArray entry = "\"Contents/Resources\":{\"sha256\":\"" +
                                 hexDigest({}).toLatin1() + "\",\"executable\":false}";
        s.build().resign(s.manifest().replace("\"files\":{", "\"files\":{" + entry + ','));
    });
    row("symlink loop", [](Scenario& s) {
        s.create().symlink(u"b"_s, u"Contents/Resources/a"_s);
        s.symlink(u"a"_s, u"Contents/Resources/b"_s);
        s.sign();
    });
    addRow("100,000 empty files", kValid, [](Scenario& s) {
        const QString folder = s.create().path(u"Contents/Resources/many"_s);
        QDir().mkpath(folder);
        for (int i = 0; i < 100000; ++i)
            QFile(folder + u"/%1"_s.arg(i)).open(QIODevice::WriteOnly);
        s.sign();
    });
}

void TestCodesign::manifestDecoding_data() {
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<bool>("accepted");
    const QByteArray hash = '"' + QByteArray(64, 'a') + '"';
    const auto manifest = [](const QByteArray& files, const QByteArray& symlinks = "{}",
                             const QByteArray& format = "1") {
        return "{\"format\":" + format +
               ",\"identifier\":\"com.example.sample\",\"files\":" + files +
               ",\"symlinks\":" + symlinks + '}';
    };
    const QByteArray entry = "{\"sha256\":" + hash + ",\"executable\":true}";
    QTest::newRow("valid") << manifest("{\"a/b\":" + entry + "}", "{\"c\":\"a/b\"}") << true;
    QTest::newRow("format 2") << manifest("{}", "{}", "2") << false;
    QTest::newRow("..") << manifest("{\"a/../b\":" + entry + "}") << false;
    QTest::newRow("absolute") << manifest("{\"/a\":" + entry + "}") << false;
    QTest::newRow("empty component") << manifest("{\"a//b\":" + entry + "}") << false;
    QTest::newRow("escaped duplicate")
        << manifest("{\"ab\":" + entry + ",\"a\\u0062\":" + entry + "}") << false;
    QTest::newRow("file and symlink")
        << manifest("{\"a\":" + entry + "}", "{\"a\":\"b\"}") << false;
    QTest::newRow("upper-case hash")
        << manifest("{\"a\":{\"sha256\":\"" + QByteArray(64, 'A') + "\",\"executable\":true}}")
        << false;
    QTest::newRow("no executable flag") << manifest("{\"a\":{\"sha256\":" + hash + "}}") << false;
    QTest::newRow("absolute link target") << manifest("{}", "{\"c\":\"/etc\"}") << false;
}

void TestCodesign::manifestDecoding() {
    QFETCH(QByteArray, json);
    QFETCH(bool, accepted);
    bool decoded = true;
    try {
        const SealManifest manifest = decodeSealManifest(json);
        QCOMPARE(decodeSealManifest(encodeSealManifest(manifest)), manifest);
    } catch (const DecodingError&) {
        decoded = false;
    }
    QCOMPARE(decoded, accepted);
}

void TestCodesign::commandLine() {
    QTemporaryDir folder;
    const auto run = [](const QStringList& arguments) {
        QProcess tool;
        tool.start(QStringLiteral(NIMBARA_CODESIGN_PATH), arguments);
        tool.waitForFinished(120000);
        return std::pair(tool.exitCode(), QString::fromLocal8Bit(tool.readAllStandardOutput()));
    };
    for (const QString& command : {u"sign"_s, u"verify"_s, u"dev-ca"_s})
        QCOMPARE(run({command, u"--help"_s}).first, 0);

    const QString ca = folder.filePath(u"ca"_s);
    QCOMPARE(run({u"dev-ca"_s, u"--team"_s, u"CLITEAM1"_s, u"--out"_s, ca}).first, 0);
    QVERIFY(QFile::copy(ca + u"/intermediate.pem"_s, ca + u"/chain.pem"_s));
    SampleBundleSpec spec;
    spec.nested = false;
    const QString bundle = writeSampleBundle(folder.path(), spec);
    QCOMPARE(run({u"sign"_s, u"--key"_s, ca + u"/leaf-key.pem"_s, u"--cert"_s, ca + u"/leaf.pem"_s,
                  u"--chain"_s, ca + u"/chain.pem"_s, bundle})
                 .first,
             0);
    const auto verify = [&](const QString& team, const QString& anchors) {
        return run({u"verify"_s, u"--anchors"_s, ca + anchors, u"--team"_s, team, bundle});
    };
    QCOMPARE(verify(u"CLITEAM1"_s, u"/root.pem"_s), std::pair(0, u"valid\n"_s));
    const auto [code, output] = verify(QString(), u"/root.pem"_s);
    QCOMPARE(code, 1);
    QVERIFY2(output.startsWith(u"missingTeamIDConfiguration: "_s), qPrintable(output));
    // The leaf is not an anchor, so the chain stops short of a pinned root.
    QCOMPARE(verify(u"CLITEAM1"_s, u"/leaf.pem"_s).first, 1);
}

NIMBARA_TEST_MAIN(TestCodesign)
#include "tst_codesign.moc"
