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
#include <archive.h>
#include <archive_entry.h>
#include <sys/stat.h>

using namespace nimbara;
using namespace nimbara::test;

namespace {

const QString kValid = QStringLiteral("valid");

QString hexDigest(const QByteArray& bytes) {
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
}

// The manifest with `entry` ("path":{…}) added in front of the listed files.
QByteArray withFileEntry(const QByteArray& manifest, const QByteArray& entry) {
    QByteArray edited = manifest;
    return edited.replace("\"files\":{", "\"files\":{" + entry + ',');
}

// A leaf of the test CA's marked intermediate.
codesign::CertificateRequest testLeaf(const QString& name, const QStringList& units) {
    return codesign::leafRequest(name, units, TestCA::shared().hierarchy().intermediate, true);
}

codesign::SigningIdentity leafIdentity(const codesign::CertificateRequest& request) {
    return TestCA::shared().identity(codesign::issueCertificate(request));
}

codesign::IssuedCertificate otherRoot(const QString& name) {
    return codesign::issueCertificate(codesign::authorityRequest(name, std::nullopt, false));
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
    void zippedBundleKeepsLinksAndModes();

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
    const auto row = [](const char* name, Setup setup, const char* expected) {
        QTest::newRow(name) << setup << QString::fromLatin1(expected);
    };
    const auto build = [](Scenario& s) {
        s.build();
    };
    row("valid", build, "valid");
    // The team is checked before anything is read: the bundle does not even exist.
    for (const char* team : {"", "NIMBARA TM1", "NIMBARA-TM1"}) {
        row(
            qPrintable(QStringLiteral("team '%1'").arg(QLatin1StringView(team))),
            [team](Scenario& s) { s.team = QString::fromLatin1(team); },
            "missingTeamIDConfiguration");
    }
    row(
        "no trust anchors", [](Scenario& s) { s.build().anchors.clear(); },
        "missingTeamIDConfiguration");
    row(
        "Info.plist missing",
        [](Scenario& s) { QFile::remove(s.build().path(QStringLiteral("Contents/Info.plist"))); },
        "unreadableBundle");
    row(
        "Info.plist unparsable",
        [](Scenario& s) { s.build().write(QStringLiteral("Contents/Info.plist"), "<plist"); },
        "unreadableBundle");
    row(
        "empty identifier",
        [](Scenario& s) {
            s.build().write(QStringLiteral("Contents/Info.plist"),
                            infoPlist({{QStringLiteral("CFBundleIdentifier"), QString()},
                                       {QStringLiteral("CFBundleShortVersionString"), s.version}}));
        },
        "unreadableBundle");
    row(
        "missing version",
        [](Scenario& s) {
            s.build().write(QStringLiteral("Contents/Info.plist"),
                            infoPlist({{QStringLiteral("CFBundleIdentifier"), s.identifier}}));
        },
        "unreadableBundle");
    row(
        "identifier differs",
        [](Scenario& s) { s.build().identifier = QStringLiteral("com.example.other"); },
        "bundleIdentifierMismatch");
    row(
        "1.2 against 1.2.0",
        [](Scenario& s) {
            s.spec.version = QStringLiteral("1.2");
            s.build().version = QStringLiteral("1.2.0");
        },
        "bundleVersionMismatch");
    row(
        "no seal folder",
        [](Scenario& s) {
            QDir(s.build().path(QStringLiteral("Contents/_CodeSignature"))).removeRecursively();
        },
        "invalidSignature");
    row(
        "executable byte changed",
        [](Scenario& s) {
            s.build().write(QStringLiteral("Contents/MacOS/Sample"), "#!/bin/sh\nexit 1\n");
        },
        "invalidSignature");
    row(
        "file added",
        [](Scenario& s) {
            s.build().write(QStringLiteral("Contents/Resources/extra.txt"), "extra");
        },
        "invalidSignature");
    row(
        "file removed",
        [](Scenario& s) { QFile::remove(s.build().path(QStringLiteral("Contents/MacOS/Sample"))); },
        "invalidSignature");
    row(
        "executable bit flipped",
        [](Scenario& s) {
            const QString readme = s.build().path(QStringLiteral("Contents/Resources/readme.txt"));
            QFile::setPermissions(readme, QFile::permissions(readme) | QFileDevice::ExeOwner);
        },
        "invalidSignature");
    row(
        "symlink retargeted",
        [](Scenario& s) {
            QFile::remove(s.build().path(QStringLiteral("Contents/Resources/current.txt")));
            s.symlink(QStringLiteral("../Info.plist"),
                      QStringLiteral("Contents/Resources/current.txt"));
        },
        "invalidSignature");
    row(
        "symlink out of the bundle",
        [](Scenario& s) {
            // Sealed with the link in place: only where it leads is wrong.
            writeBytes(s.parent + QStringLiteral("/outside.txt"), "outside");
            s.create().symlink(QStringLiteral("../../../outside.txt"),
                               QStringLiteral("Contents/Resources/out"));
            s.sign();
        },
        "invalidSignature");
    row(
        "fifo inside",
        [](Scenario& s) {
            ::mkfifo(QFile::encodeName(s.build().path(QStringLiteral("Contents/Resources/pipe"))),
                     0600);
        },
        "invalidSignature");
    row(
        "manifest edited",
        [](Scenario& s) {
            const QByteArray tampered = "#!/bin/sh\nexit 1\n";
            QByteArray manifest = s.build().manifest();
            const QByteArray entry = "\"Contents/MacOS/Sample\":{\"executable\":true,\"sha256\":\"";
            manifest.replace(entry + hexDigest("#!/bin/sh\nexit 0\n").toLatin1(),
                             entry + hexDigest(tampered).toLatin1());
            s.write(QStringLiteral("Contents/MacOS/Sample"), tampered);
            s.write(kSealManifestPath, manifest);
        },
        "invalidSignature");
    row(
        "seal of another bundle",
        [](Scenario& s) {
            Scenario other(s.parent);
            other.spec.name = QStringLiteral("Other");
            other.build();
            s.build();
            for (const QLatin1StringView file : {kSealManifestPath, kSealSignaturePath}) {
                QFile::remove(s.path(file));
                QFile::copy(other.path(file), s.path(file));
            }
        },
        "invalidSignature");
    row(
        "nested bundle tampered",
        [](Scenario& s) {
            s.build().write(
                QStringLiteral("Contents/Helpers/Helper.app/Contents/Resources/readme.txt"),
                "changed");
            codesign::signBundle(s.bundle, s.spec.identifier, s.identity); // the outer seal agrees
        },
        "invalidSignature");
    row(
        "signed for another identifier",
        [](Scenario& s) {
            s.signedAs = QStringLiteral("com.example.other");
            s.build();
        },
        "signingIdentifierMismatch");
    row(
        "development leaf",
        [](Scenario& s) {
            s.identity = TestCA::shared().identity(TestCA::shared().hierarchy().developmentLeaf);
            s.build();
        },
        "notDeveloperIDLeaf");
    row(
        "unmarked intermediate",
        [](Scenario& s) {
            s.identity = TestCA::chainedIdentity(TestCA::shared().hierarchy().root, false);
            s.build();
        },
        "notDeveloperIDLeaf");
    row(
        "root not pinned",
        [](Scenario& s) {
            s.identity = TestCA::chainedIdentity(otherRoot(QStringLiteral("Other Root")), true);
            s.build();
        },
        "notDeveloperIDLeaf");
    row(
        "another team",
        [](Scenario& s) {
            s.identity = TestCA::shared().identity(TestCA::shared().hierarchy().otherTeamLeaf);
            s.build();
        },
        "teamIDMismatch");
    row(
        "two team units",
        [](Scenario& s) {
            s.identity = leafIdentity(
                testLeaf(QStringLiteral("Two Units"), {TestCA::team(), TestCA::team()}));
            s.build();
        },
        "teamIDMismatch");
    // Dates are not judged: a bundle signed while its certificate was valid stays valid, as a
    // timestamped signature does, so installed apps keep working after the certificate expires.
    row(
        "expired leaf",
        [](Scenario& s) {
            codesign::CertificateRequest expired =
                testLeaf(QStringLiteral("Expired"), {TestCA::team()});
            expired.notBefore = QDateTime::currentDateTimeUtc().addYears(-3);
            expired.notAfter = QDateTime::currentDateTimeUtc().addYears(-1);
            s.identity = leafIdentity(expired);
            s.build();
        },
        "valid");
}

// Only the pinned roots are anchors: chains that would pass with partial chains, the system's
// default certificate paths or without the signer's chain being checked are refused; and the
// manifest's bytes are hashed exactly as written.
void TestCodesign::pinnedTrustOnly_data() {
    QTest::addColumn<Setup>("setup");
    QTest::addColumn<QString>("expected");
    QTest::newRow("only the intermediate pinned") << Setup([](Scenario& s) {
        s.build().anchors = TestCA::shared().hierarchy().intermediate.certificatePem;
    }) << QStringLiteral("notDeveloperIDLeaf");
    QTest::newRow("only an authority above the intermediate pinned") << Setup([](Scenario& s) {
        const TestCA& ca = TestCA::shared();
        const codesign::IssuedCertificate upper = codesign::issueCertificate(
            codesign::authorityRequest(QStringLiteral("Upper"), ca.hierarchy().root, false));
        s.identity = TestCA::chainedIdentity(upper, true);
        s.build().anchors = upper.certificatePem;
    }) << QStringLiteral("notDeveloperIDLeaf");
    QTest::newRow("root only in the default paths") << Setup([](Scenario& s) {
        const codesign::IssuedCertificate root = otherRoot(QStringLiteral("System Root"));
        writeBytes(s.parent + QStringLiteral("/system.pem"), root.certificatePem);
        // Read only if the verifier loaded the default paths (the variable is cleared with
        // the process; every other row pins its roots explicitly).
        qputenv("SSL_CERT_FILE", QFile::encodeName(s.parent + QStringLiteral("/system.pem")));
        s.identity = TestCA::chainedIdentity(root, true);
        s.build();
    }) << QStringLiteral("notDeveloperIDLeaf");
    QTest::newRow("manifest with line breaks") << Setup([](Scenario& s) {
        QByteArray manifest = s.build().manifest();
        s.resign(manifest.replace(",", ",\n"));
    }) << kValid;
}

void TestCodesign::badInput_data() {
    QTest::addColumn<Setup>("setup");
    QTest::addColumn<QString>("expected");
    const auto row = [](const char* name, Setup setup) {
        QTest::newRow(name) << setup << QStringLiteral("invalidSignature");
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
    const QByteArray empty =
        "{\"sha256\":\"" + hexDigest({}).toLatin1() + "\",\"executable\":false}";
    row("path with ..", [empty](Scenario& s) {
        s.build().resign(withFileEntry(s.manifest(), "\"Contents/../extra\":" + empty));
    });
    row("absolute path", [empty](Scenario& s) {
        s.build().resign(withFileEntry(s.manifest(), "\"/tmp/extra\":" + empty));
    });
    // The second entry of a repeated path is the true one: read as "last one wins" the seal
    // would hold.
    row("duplicate entry", [empty](Scenario& s) {
        s.build().resign(withFileEntry(s.manifest(), "\"Contents/MacOS/Sample\":" + empty));
    });
    row("folder listed as a file", [empty](Scenario& s) {
        s.build().resign(withFileEntry(s.manifest(), "\"Contents/Resources\":" + empty));
    });
    row("symlink loop", [](Scenario& s) {
        s.create().symlink(QStringLiteral("b"), QStringLiteral("Contents/Resources/a"));
        s.symlink(QStringLiteral("a"), QStringLiteral("Contents/Resources/b"));
        s.sign();
    });
    QTest::newRow("100,000 empty files") << Setup([](Scenario& s) {
        const QString folder = s.create().path(QStringLiteral("Contents/Resources/many"));
        QDir().mkpath(folder);
        for (int i = 0; i < 100000; ++i)
            QFile(folder + QStringLiteral("/%1").arg(i)).open(QIODevice::WriteOnly);
        s.sign();
    }) << kValid;
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
    for (const char* command : {"sign", "verify", "dev-ca"})
        QCOMPARE(run({QString::fromLatin1(command), QStringLiteral("--help")}).first, 0);

    const QString ca = folder.filePath(QStringLiteral("ca"));
    QCOMPARE(run({QStringLiteral("dev-ca"), QStringLiteral("--team"), QStringLiteral("CLITEAM1"),
                  QStringLiteral("--out"), ca})
                 .first,
             0);
    writeBytes(ca + QStringLiteral("/chain.pem"), [&] {
        QFile file(ca + QStringLiteral("/intermediate.pem"));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }());
    SampleBundleSpec spec;
    spec.nested = false;
    const QString bundle = writeSampleBundle(folder.path(), spec);
    QCOMPARE(
        run({QStringLiteral("sign"), QStringLiteral("--key"), ca + QStringLiteral("/leaf-key.pem"),
             QStringLiteral("--cert"), ca + QStringLiteral("/leaf.pem"), QStringLiteral("--chain"),
             ca + QStringLiteral("/chain.pem"), bundle})
            .first,
        0);
    const auto verify = [&](const QString& team, const QString& anchors) {
        return run({QStringLiteral("verify"), QStringLiteral("--anchors"), ca + anchors,
                    QStringLiteral("--team"), team, bundle});
    };
    QCOMPARE(verify(QStringLiteral("CLITEAM1"), QStringLiteral("/root.pem")),
             std::pair(0, QStringLiteral("valid\n")));
    const auto [code, output] = verify(QString(), QStringLiteral("/root.pem"));
    QCOMPARE(code, 1);
    QVERIFY2(output.startsWith(QStringLiteral("missingTeamIDConfiguration: ")), qPrintable(output));
    // The leaf is not an anchor, so the chain stops short of a pinned root.
    QCOMPARE(verify(QStringLiteral("CLITEAM1"), QStringLiteral("/leaf.pem")).first, 1);
}

void TestCodesign::zippedBundleKeepsLinksAndModes() {
    QTemporaryDir folder;
    const QString bundle = writeSignedBundle(folder.path(), TestCA::shared().developerID());
    const QString zip = folder.filePath(QStringLiteral("Sample.zip"));
    zipFolder(bundle, zip);
    const QString unpacked = folder.filePath(QStringLiteral("unpacked"));
    QDir().mkpath(unpacked);
    // Unpacked as the installer does: in process, links and permission bits restored.
    archive* reader = archive_read_new();
    archive_read_support_format_zip(reader);
    archive* disk = archive_write_disk_new();
    archive_write_disk_set_options(disk, ARCHIVE_EXTRACT_PERM | ARCHIVE_EXTRACT_SECURE_NODOTDOT |
                                             ARCHIVE_EXTRACT_SECURE_SYMLINKS);
    QCOMPARE(archive_read_open_filename(reader, QFile::encodeName(zip).constData(), 65536),
             ARCHIVE_OK);
    archive_entry* entry = nullptr;
    while (archive_read_next_header(reader, &entry) == ARCHIVE_OK) {
        const QByteArray target = QFile::encodeName(unpacked) + '/' + archive_entry_pathname(entry);
        archive_entry_set_pathname(entry, target.constData());
        QCOMPARE(archive_write_header(disk, entry), ARCHIVE_OK);
        const void* block = nullptr;
        size_t size = 0;
        la_int64_t offset = 0;
        while (archive_read_data_block(reader, &block, &size, &offset) == ARCHIVE_OK)
            QCOMPARE(archive_write_data_block(disk, block, size, offset), la_ssize_t(ARCHIVE_OK));
        QCOMPARE(archive_write_finish_entry(disk), ARCHIVE_OK);
    }
    archive_read_free(reader);
    archive_write_free(disk);
    QVERIFY(QFileInfo(unpacked + QStringLiteral("/Sample.app/Contents/Resources/current.txt"))
                .isSymLink());
    BundleSignatureValidator(TestCA::team(), TestCA::shared().anchorsPem())
        .validate(QUrl::fromLocalFile(unpacked + QStringLiteral("/Sample.app")),
                  QStringLiteral("com.example.sample"), QStringLiteral("1.0.0"));
}

NIMBARA_TEST_MAIN(TestCodesign)
#include "tst_codesign.moc"
