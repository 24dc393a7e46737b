#pragma once

#include "core/cancellation_token.h"

#include <QByteArray>
#include <QString>
#include <functional>

namespace nimbara {

// Receives each piece of a file as it is hashed.
using DigestPieceSink = std::function<void(const char* data, qsizetype size)>;

// The SHA-256 of everything that is left to read from the open file `fd` (streamed in 1 MiB
// reads, the whole file never held), as 32 raw bytes. Every piece also goes to `piece` when
// given. A read failure throws FileError naming `path`; a cancel through `cancellation`, looked
// at between reads, throws CancelledError.
QByteArray sha256OfDescriptor(int fd, const QString& path, const DigestPieceSink& piece = {},
                              const CancellationToken& cancellation = {});

// Opens the regular file `path` and returns its SHA-256 as 64 lower-case hexadecimal digits.
// Throws FileError when it cannot be opened or read, CancelledError when cancelled.
QString sha256OfFile(const QString& path, const CancellationToken& cancellation = {});

} // namespace nimbara
