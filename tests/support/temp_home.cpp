#include "support/temp_home.h"

#include <QDir>
#include <QFile>
#include <stdexcept>

namespace nimbara::test {

namespace {
const char* const kVariables[] = {"HOME",           "XDG_CONFIG_HOME", "XDG_DATA_HOME",
                                  "XDG_CACHE_HOME", "XDG_STATE_HOME",  "XDG_RUNTIME_DIR"};
const char* const kFolders[] = {"", ".config", ".local/share", ".cache", ".local/state", "run"};
} // namespace

TempHome::TempHome() : dir_(std::make_unique<QTemporaryDir>()) {
    if (!dir_->isValid()) {
        throw std::runtime_error("cannot create a temporary home");
    }
    for (std::size_t i = 0; i < std::size(kVariables); ++i) {
        const QByteArray name(kVariables[i]);
        saved_.append({name, qEnvironmentVariableIsSet(kVariables[i])
                                 ? std::optional<QByteArray>(qgetenv(kVariables[i]))
                                 : std::nullopt});
        const QString folder = QDir(dir_->path()).filePath(QString::fromLatin1(kFolders[i]));
        QDir().mkpath(folder);
        qputenv(kVariables[i], QDir::cleanPath(folder).toLocal8Bit());
    }
    QFile::setPermissions(QDir(dir_->path()).filePath(QStringLiteral("run")),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

TempHome::~TempHome() {
    for (const auto& [name, value] : saved_) {
        if (value) {
            qputenv(name.constData(), *value);
        } else {
            qunsetenv(name.constData());
        }
    }
}

QString TempHome::configHome() const {
    return QDir(dir_->path()).filePath(QStringLiteral(".config"));
}

} // namespace nimbara::test
