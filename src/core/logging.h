#pragma once

#include <QLoggingCategory>
#include <QString>
#include <exception>

namespace nimbara {

// One logging category per area, named "nimbara.<area>". Failures that are handled without
// reaching the user are logged in their area's category, with what failed and why.
Q_DECLARE_LOGGING_CATEGORY(logCatalog)  // nimbara.catalog
Q_DECLARE_LOGGING_CATEGORY(logStore)    // nimbara.store
Q_DECLARE_LOGGING_CATEGORY(logInstall)  // nimbara.install
Q_DECLARE_LOGGING_CATEGORY(logServices) // nimbara.services
Q_DECLARE_LOGGING_CATEGORY(logPlatform) // nimbara.platform
Q_DECLARE_LOGGING_CATEGORY(logUi)       // nimbara.ui

// Why `error` failed, for a log line: its description, followed by its rendering in
// brackets when that says more.
QString failureReason(const std::exception& error);

// Why the exception `error` failed: failureReason() of a std::exception, "unknown error"
// for anything else (and for no exception at all).
QString failureReason(const std::exception_ptr& error);

// failureReason() of the exception being handled; call it inside a catch block.
QString currentFailureReason();

} // namespace nimbara
