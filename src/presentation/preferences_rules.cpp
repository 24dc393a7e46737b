#include "presentation/preferences_rules.h"

#include "text/nimbara_copy.h"

namespace nimbara {

QStringList languageChoices() {
    QStringList choices;
    for (const NimbaraLocale locale : NimbaraLocales::allCases()) {
        choices.append(QString(NimbaraLocales::rawValue(locale)).toUpper());
    }
    return choices;
}

QString uninstallConfirmationMessage(qsizetype managedCount, bool deleteData,
                                     NimbaraLocale locale) {
    const CopyKey key = deleteData ? CopyKey::uninstallEverythingConfirmBodyWithData
                                   : CopyKey::uninstallEverythingConfirmBody;
    return NimbaraCopy::counted(key, locale, managedCount);
}

} // namespace nimbara
