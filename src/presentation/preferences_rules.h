#pragma once

#include "text/nimbara_locale.h"

#include <QString>
#include <QStringList>

// The preferences screen's derived texts, as pure functions of the store's values.
namespace nimbara {

// The language picker's entries: every locale in declaration order, as its code in upper case.
QStringList languageChoices();

// The uninstall-everything confirmation's message: the with-data text when `deleteData`, the
// plain one otherwise, counting `managedCount` apps.
QString uninstallConfirmationMessage(qsizetype managedCount, bool deleteData, NimbaraLocale locale);

} // namespace nimbara
