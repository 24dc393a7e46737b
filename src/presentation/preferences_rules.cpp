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
    return NimbaraCopy::text(key, locale,
                             {{QStringLiteral("count"), QString::number(managedCount)}});
}

} // namespace nimbara
