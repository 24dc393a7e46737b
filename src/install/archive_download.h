#pragma once

#include "core/cancellation_token.h"
#include "platform/file_download.h"
#include "platform/network_session.h"

#include <QCoro/QCoroTask>
#include <QNetworkAccessManager>
#include <QString>
#include <QUrl>

namespace nimbara {

// Fetches a release archive to the file `to`:
// - a file URL is copied (on a worker thread), without any scheme rule;
// - otherwise the URL must be https or isLocalHTTP (else AppInstallerError
//   unsupportedDownloadScheme) and its body is streamed to `to` through `session` with the
//   shared time-out; an answer other than HTTP 200-299 is AppInstallerError downloadFailed,
//   a transport failure NetworkError.
// A cancel through `cancellation` stops it promptly with CancelledError. No partial file is
// left at `to` after any failure. Call it on the thread that owns `session`.
QCoro::Task<> downloadArchive(QNetworkAccessManager& session, QUrl from, QString to,
                              TransferProgressSink progress = {},
                              CancellationToken cancellation = {});

} // namespace nimbara
