#include "install/archive_layout.h"

#include "core/error.h"
#include "install/app_installer_error.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>

namespace nimbara {

namespace {

constexpr QDir::Filters kVisibleEntries = QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot;

bool isBundleName(const QString& name) {
    return QFileInfo(name).suffix() == QLatin1String("app");
}

} // namespace

QString findExtractedApp(const QString& extractionFolder) {
    const QDir folder(extractionFolder);
    if (!QFileInfo(extractionFolder).isDir() || !QFileInfo(extractionFolder).isReadable())
        throw FileError(
            QStringLiteral("Could not list %1: it is not a readable folder").arg(extractionFolder));
    QStringList bundles;
    for (const QString& name : folder.entryList(kVisibleEntries)) {
        if (isBundleName(name))
            bundles.append(name);
    }
    if (bundles.size() == 1)
        return folder.filePath(bundles.first());
    if (bundles.size() > 1)
        throw AppInstallerError::of(AppInstallerError::Case::unexpectedArchiveLayout);
    QDirIterator below(extractionFolder, kVisibleEntries, QDirIterator::Subdirectories);
    while (below.hasNext()) {
        if (isBundleName(below.nextFileInfo().fileName()))
            throw AppInstallerError::of(AppInstallerError::Case::unexpectedArchiveLayout);
    }
    throw AppInstallerError::of(AppInstallerError::Case::appBundleNotFound);
}

} // namespace nimbara
