// nimbara-demo-catalog: packages the demo apps and writes served catalog folders.
//   zip BUNDLE ZIP        zips a sealed bundle as a release archive
//   catalog [options]     writes catalog.json and downloads/ of one catalog generation

#include "bundle_zip.h"
#include "demo_catalog.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <cstdio>

using namespace nimbara;

namespace {

constexpr int kUsageError = 2;

int usageFailure(const QString& message) {
    std::fprintf(stderr, "nimbara-demo-catalog: %s\n", message.toLocal8Bit().constData());
    return kUsageError;
}

int zip(const QStringList& arguments) {
    if (arguments.size() != 3)
        return usageFailure(QStringLiteral("usage: zip BUNDLE ZIP"));
    codesign::zipFolder(arguments.at(1), arguments.at(2));
    return 0;
}

int catalog(const QStringList& arguments) {
    QCommandLineParser parser;
    const QCommandLineOption templatePath(QStringLiteral("template"),
                                          QStringLiteral("Catalog template (JSON)."),
                                          QStringLiteral("FILE"));
    const QCommandLineOption overlay(QStringLiteral("overlay"),
                                     QStringLiteral("Changes applied to the template (JSON)."),
                                     QStringLiteral("FILE"));
    const QCommandLineOption packages(QStringLiteral("packages"),
                                      QStringLiteral("Folder of <id>-<version>.zip archives."),
                                      QStringLiteral("DIR"));
    const QCommandLineOption icons(QStringLiteral("icons"),
                                   QStringLiteral("Folder of <id>.png icons."),
                                   QStringLiteral("DIR"));
    const QCommandLineOption baseUrl(
        QStringLiteral("base-url"), QStringLiteral("Address the folder is served at."),
        QStringLiteral("URL"), QStringLiteral("http://127.0.0.1:3000"));
    const QCommandLineOption out(QStringLiteral("out"), QStringLiteral("Folder to write."),
                                 QStringLiteral("DIR"));
    parser.addOptions({templatePath, overlay, packages, icons, baseUrl, out});
    if (!parser.parse(arguments))
        return usageFailure(parser.errorText());
    const QUrl base(parser.value(baseUrl), QUrl::StrictMode);
    if (!parser.isSet(templatePath) || !parser.isSet(packages) || !parser.isSet(out) ||
        !base.isValid() || base.isRelative())
        return usageFailure(QStringLiteral(
            "usage: catalog --template FILE [--overlay FILE] --packages DIR [--icons DIR] "
            "[--base-url URL] --out DIR"));
    demo::generateCatalog({parser.value(templatePath), parser.value(overlay),
                           parser.value(packages), parser.value(icons), base, parser.value(out)});
    std::printf("wrote %s\n", parser.value(out).toLocal8Bit().constData());
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QStringList arguments = QCoreApplication::arguments();
    const QString command = arguments.size() > 1 ? arguments.takeAt(1) : QString();
    try {
        if (command == QLatin1String("zip"))
            return zip(arguments);
        if (command == QLatin1String("catalog"))
            return catalog(arguments);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "nimbara-demo-catalog %s: %s\n", command.toLocal8Bit().constData(),
                     errorDescription(error).toLocal8Bit().constData());
        return 1;
    }
    return usageFailure(QStringLiteral("usage: nimbara-demo-catalog zip|catalog ..."));
}
