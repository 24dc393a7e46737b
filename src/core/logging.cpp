#include "core/logging.h"

#include "core/error.h"

namespace nimbara {

Q_LOGGING_CATEGORY(logCatalog, "nimbara.catalog")
Q_LOGGING_CATEGORY(logStore, "nimbara.store")
Q_LOGGING_CATEGORY(logInstall, "nimbara.install")
Q_LOGGING_CATEGORY(logServices, "nimbara.services")
Q_LOGGING_CATEGORY(logPlatform, "nimbara.platform")
Q_LOGGING_CATEGORY(logUi, "nimbara.ui")

QString failureReason(const std::exception& error) {
    const QString description = errorDescription(error);
    const QString rendering = errorRendering(error);
    if (rendering.isEmpty() || rendering == description) {
        return description;
    }
    return description + QStringLiteral(" [") + rendering + QLatin1Char(']');
}

QString failureReason(const std::exception_ptr& error) {
    if (!error) {
        return QStringLiteral("unknown error");
    }
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& caught) {
        return failureReason(caught);
    } catch (...) {
        return QStringLiteral("unknown error");
    }
}

QString currentFailureReason() {
    return failureReason(std::current_exception());
}

} // namespace nimbara
