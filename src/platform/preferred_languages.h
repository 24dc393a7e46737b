#pragma once

#include "text/nimbara_locale.h"

#include <QString>
#include <optional>

namespace nimbara {

// The user's first preferred language as a language identifier ("pl-PL", "de", ...), read from
// the environment the way gettext does: the first entry of $LANGUAGE, else the first of LC_ALL,
// LC_MESSAGES and LANG that is set and non-empty. Codeset and modifier are dropped and the
// region is joined with a hyphen ("pl_PL.UTF-8" -> "pl-PL"). The C and POSIX locales name no
// language and give nothing.
std::optional<QString> preferredLanguageIdentifier();

// The locale of the user's first preferred language.
NimbaraLocale systemLocale();

} // namespace nimbara
