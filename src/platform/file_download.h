#pragma once

#include "core/cancellation_token.h"

#include <QCoro/QCoroTask>
#include <QNetworkAccessManager>
#include <QNetworkRequest>
#include <QString>
#include <chrono>
#include <functional>
#include <optional>

namespace nimbara {

// How far a transfer has come: the bytes received so far, and the whole size when the server
// announced it.
struct TransferProgress {
    qint64 received = 0;
    std::optional<qint64> total;
};

// Receives progress reports on the thread that runs the transfer.
using TransferProgressSink = std::function<void(const TransferProgress&)>;

// Progress is reported at most once in this interval (ten times a second), however fast the
// bytes arrive, so that a fast transfer does not flood its listener.
inline constexpr std::chrono::milliseconds transferProgressInterval{100};

// Qt buffers at most this much of a body that has arrived but not yet been written, so a
// download's memory stays bounded whatever the file's size.
inline constexpr qint64 downloadReadBufferSize = 1024 * 1024;

// Sends `request` through `session` and writes the body to the file `destination` (replaced
// if it exists) as its bytes arrive; the body is never held whole in memory.
//
// The result is the HTTP status (none when the answer was not HTTP). The body is kept in
// `destination` only for a status from 200 to 299; any other answer stops the transfer as soon
// as its status is known and leaves no file. A transport failure throws NetworkError, a failed
// write FileError; a cancel through `cancellation` stops the transfer at once and throws
// CancelledError. Whatever is thrown, no partial file is left at `destination`.
//
// Progress goes to `progress` (may be empty), bytes written so far and the Content-Length
// when the server sent one for the body as it arrives, at most once per
// transferProgressInterval.
QCoro::Task<std::optional<int>> downloadToFile(QNetworkAccessManager& session,
                                               QNetworkRequest request, QString destination,
                                               TransferProgressSink progress = {},
                                               CancellationToken cancellation = {});

} // namespace nimbara
