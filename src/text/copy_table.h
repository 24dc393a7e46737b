#pragma once

#include "text/copy_key.h"

#include <QStringView>

// The templates of the text table, one function per language. Each is a switch over every key
// without a default case, so that with warnings as errors a key added to the key list but not to
// one of the languages stops the build. NimbaraCopy copies them into its table once.
namespace nimbara::copy_table {

QStringView english(CopyKey key);
QStringView polish(CopyKey key);
QStringView german(CopyKey key);

// The texts of nimbara-cli's keys (empty for the launcher's), which the three above hand over to.
QStringView commandLineEnglish(CopyKey key);
QStringView commandLinePolish(CopyKey key);
QStringView commandLineGerman(CopyKey key);

} // namespace nimbara::copy_table
