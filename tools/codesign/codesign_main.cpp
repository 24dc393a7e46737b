// nimbara-codesign: seals app bundles (sign), checks them as the launcher does (verify), and
// makes a development certificate hierarchy (dev-ca).

#include "code_signing.h"
#include "development_ca.h"
#include "install/bundle_signature_validator.h"
#include "install/installed_bundle_metadata.h"
#include "install/installed_code_validation_error.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <cstdio>
#include <optional>

using namespace nimbara;
using namespace nimbara::codesign;

namespace {

constexpr int kUsageError = 2;

void print(FILE* stream, const QString& text) {
    std::fprintf(stream, "%s\n", text.toLocal8Bit().constData());
}

int usageFailure(const QString& message) {
    print(stderr, QStringLiteral("nimbara-codesign: %1").arg(message));
    return kUsageError;
}

QByteArray readAll(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw CodeSigningError(QStringLiteral("cannot read %1: %2").arg(path, file.errorString()));
    return file.readAll();
}

// Parses the arguments of one command; nothing when they are wrong (the reason is printed).
bool parseCommand(QCommandLineParser& parser, const QStringList& arguments, const QString& syntax,
                  const QString& description) {
    parser.setApplicationDescription(description);
    parser.addPositionalArgument(QStringLiteral("BUNDLE"), QStringLiteral("The bundle folder."),
                                 syntax);
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Shows this help."));
    parser.addOption(help);
    if (!parser.parse(arguments)) {
        usageFailure(parser.errorText());
        return false;
    }
    if (parser.isSet(help)) {
        print(stdout, parser.helpText());
        std::exit(0);
    }
    return true;
}

const QCommandLineOption kIdentifier(QStringLiteral("identifier"),
                                     QStringLiteral("Signing identifier (default: the bundle's "
                                                    "CFBundleIdentifier)."),
                                     QStringLiteral("B"));

int sign(const QStringList& arguments) {
    QCommandLineParser parser;
    const QCommandLineOption key(QStringLiteral("key"), QStringLiteral("Private key (PEM)."),
                                 QStringLiteral("K"));
    const QCommandLineOption cert(
        QStringLiteral("cert"), QStringLiteral("Signing certificate (PEM)."), QStringLiteral("C"));
    const QCommandLineOption chain(
        QStringLiteral("chain"),
        QStringLiteral("Certificates between the signing certificate and the root (PEM)."),
        QStringLiteral("I"));
    parser.addOptions({key, cert, chain, kIdentifier});
    if (!parseCommand(parser, arguments,
                      QStringLiteral("sign --key K --cert C [--chain I] [--identifier B] BUNDLE"),
                      QStringLiteral("Seals BUNDLE: writes Contents/_CodeSignature/manifest.json "
                                     "and its signature. Sign nested bundles first.")))
        return kUsageError;
    if (!parser.isSet(key) || !parser.isSet(cert) || parser.positionalArguments().size() != 1)
        return usageFailure(QStringLiteral("sign needs --key, --cert and one BUNDLE"));
    const QString bundle = parser.positionalArguments().constFirst();
    QString identifier = parser.value(kIdentifier);
    if (!parser.isSet(kIdentifier))
        identifier = loadInstalledBundleMetadata(QUrl::fromLocalFile(bundle)).bundleIdentifier;
    const SigningIdentity identity{readAll(parser.value(key)), readAll(parser.value(cert)),
                                   parser.isSet(chain) ? readAll(parser.value(chain))
                                                       : QByteArray()};
    signBundle(bundle, identifier, identity);
    print(stdout, QStringLiteral("signed %1 as %2").arg(bundle, identifier));
    return 0;
}

int verify(const QStringList& arguments) {
    QCommandLineParser parser;
    const QCommandLineOption anchors(QStringLiteral("anchors"),
                                     QStringLiteral("Trusted root certificates (PEM)."),
                                     QStringLiteral("ROOTS"));
    const QCommandLineOption team(QStringLiteral("team"),
                                  QStringLiteral("Expected signing team identifier."),
                                  QStringLiteral("T"));
    const QCommandLineOption version(
        QStringLiteral("version"),
        QStringLiteral("Expected version (default: the bundle's CFBundleShortVersionString)."),
        QStringLiteral("V"));
    parser.addOptions({anchors, team, kIdentifier, version});
    if (!parseCommand(parser, arguments,
                      QStringLiteral("verify --anchors ROOTS.pem --team T [--identifier B] "
                                     "[--version V] BUNDLE"),
                      QStringLiteral("Checks BUNDLE as the launcher does. Prints the failing "
                                     "check and exits 1, or prints \"valid\" and exits 0.")))
        return kUsageError;
    if (!parser.isSet(anchors) || !parser.isSet(team) || parser.positionalArguments().size() != 1)
        return usageFailure(QStringLiteral("verify needs --anchors, --team and one BUNDLE"));
    const QUrl bundle = QUrl::fromLocalFile(parser.positionalArguments().constFirst());
    std::optional<InstalledBundleMetadata> metadata;
    try {
        metadata = loadInstalledBundleMetadata(bundle);
    } catch (const InstalledCodeValidationError&) {
        // Left to the validator, which reports it in its own order.
    }
    const QString identifier = parser.isSet(kIdentifier) ? parser.value(kIdentifier)
                               : metadata                ? metadata->bundleIdentifier
                                                         : QString();
    const QString expectedVersion = parser.isSet(version) ? parser.value(version)
                                    : metadata            ? metadata->shortVersion
                                                          : QString();
    const BundleSignatureValidator validator(parser.value(team), readAll(parser.value(anchors)));
    try {
        validator.validate(bundle, identifier, expectedVersion);
    } catch (const InstalledCodeValidationError& error) {
        print(stdout, QStringLiteral("%1: %2").arg(error.caseName(), error.description()));
        return 1;
    }
    print(stdout, QStringLiteral("valid"));
    return 0;
}

int devCa(const QStringList& arguments) {
    QCommandLineParser parser;
    const QCommandLineOption team(QStringLiteral("team"),
                                  QStringLiteral("Team identifier of the leaves."),
                                  QStringLiteral("T"));
    const QCommandLineOption out(QStringLiteral("out"), QStringLiteral("Folder to write."),
                                 QStringLiteral("DIR"));
    parser.addOptions({team, out});
    parser.setApplicationDescription(QStringLiteral(
        "Makes a development hierarchy in DIR: root.pem, intermediate.pem (marked Developer ID\n"
        "authority), leaf.pem + leaf-key.pem (marked, OU = T), development-leaf.pem + key\n"
        "(unmarked, OU = T) and other-team-leaf.pem + key (marked, another team)."));
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Shows this help."));
    parser.addOption(help);
    if (!parser.parse(arguments))
        return usageFailure(parser.errorText());
    if (parser.isSet(help)) {
        print(stdout, parser.helpText());
        return 0;
    }
    if (!parser.isSet(out) || !BundleSignatureValidator::isUsableTeamID(parser.value(team)))
        return usageFailure(QStringLiteral("dev-ca needs --team (letters and digits) and --out"));
    writeDevelopmentHierarchy(makeDevelopmentHierarchy(parser.value(team)), parser.value(out));
    print(stdout, QStringLiteral("wrote %1").arg(parser.value(out)));
    return 0;
}

QString overview() {
    return QStringLiteral("Usage: nimbara-codesign COMMAND [options]\n\n"
                          "Commands:\n"
                          "  sign     seal a bundle (sign --help)\n"
                          "  verify   check a bundle as the launcher does (verify --help)\n"
                          "  dev-ca   make a development certificate hierarchy (dev-ca --help)");
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("nimbara-codesign"));
    QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() < 2 || arguments[1] == QStringLiteral("--help") ||
        arguments[1] == QStringLiteral("-h")) {
        print(arguments.size() < 2 ? stderr : stdout, overview());
        return arguments.size() < 2 ? kUsageError : 0;
    }
    const QString command = arguments.takeAt(1);
    try {
        if (command == QStringLiteral("sign"))
            return sign(arguments);
        if (command == QStringLiteral("verify"))
            return verify(arguments);
        if (command == QStringLiteral("dev-ca"))
            return devCa(arguments);
    } catch (const std::exception& error) {
        print(stderr,
              QStringLiteral("nimbara-codesign %1: %2").arg(command, errorDescription(error)));
        return 1;
    }
    return usageFailure(QStringLiteral("unknown command %1\n%2").arg(command, overview()));
}
