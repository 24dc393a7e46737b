#pragma once

#include <QStringView>

namespace nimbara {

// True for a plain reverse-DNS identifier that is safe to use as one file-name component:
// non-empty, only ASCII letters, digits, '.', '-' and '_', and neither "." nor "..".
bool isPlainIdentifier(QStringView identifier);

} // namespace nimbara
