#include "install/archive_download.h"

#include "core/error.h"
#include "install/app_installer_error.h"
#include "platform/network_session.h"

#include <QCoro/QCoroFuture>
#include <QFile>
#include <QtConcurrent>

namespace nimbara {

namespace {

// The piece of a copied file read at a time; the cancel is looked at between pieces.
constexpr qint64 copyChunkSize = 1024 * 1024;

// Copies `from` to `to` in pieces, stopping when `cancellation` is cancelled. On any failure
// nothing is left at `to`. Returns the bytes copied.
qint64 copyFile(const QString& from, const QString& to, const CancellationToken& cancellation) {
    QFile source(from);
    if (!source.open(QIODevice::ReadOnly))
        throw FileError(QStringLiteral("Could not read %1: %2").arg(from, source.errorString()));
    QFile target(to);
    if (!target.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw FileError(QStringLiteral("Could not write %1: %2").arg(to, target.errorString()));
    qint64 copied = 0;
    try {
        for (;;) {
            cancellation.throwIfCancelled();
            const QByteArray chunk = source.read(copyChunkSize);
            if (chunk.isEmpty()) {
                if (source.error() != QFileDevice::NoError)
                    throw FileError(
                        QStringLiteral("Could not read %1: %2").arg(from, source.errorString()));
                break;
            }
            if (target.write(chunk) != chunk.size())
                throw FileError(
                    QStringLiteral("Could not write %1: %2").arg(to, target.errorString()));
            copied += chunk.size();
        }
        if (!target.flush())
            throw FileError(QStringLiteral("Could not write %1: %2").arg(to, target.errorString()));
    } catch (...) {
        target.close();
        QFile::remove(to);
        throw;
    }
    return copied;
}

} // namespace

QCoro::Task<> downloadArchive(QNetworkAccessManager& session, QUrl from, QString to,
                              TransferProgressSink progress, CancellationToken cancellation) {
    if (from.isLocalFile()) {
        // QtConcurrent wraps exceptions it does not know; the worker hands back ours as is.
        struct Copied {
            qint64 bytes = 0;
            std::exception_ptr failure;
        };
        QFuture<Copied> copying =
            QtConcurrent::run([source = from.toLocalFile(), to, cancellation]() -> Copied {
                try {
                    return {copyFile(source, to, cancellation), nullptr};
                } catch (...) {
                    return {0, std::current_exception()};
                }
            });
        const Copied copied = co_await copying;
        if (copied.failure)
            std::rethrow_exception(copied.failure);
        if (progress)
            progress({copied.bytes, copied.bytes});
        co_return;
    }
    if (from.scheme() != QLatin1String("https") && !isLocalHTTP(from))
        throw AppInstallerError::of(AppInstallerError::Case::unsupportedDownloadScheme);
    if (from.host().isEmpty())
        throw AppInstallerError::of(AppInstallerError::Case::unsupportedDownloadScheme);

    QCoro::Task<std::optional<int>> transfer = downloadToFile(
        session, makeNetworkRequest(from), to, std::move(progress), std::move(cancellation));
    const std::optional<int> status = co_await std::move(transfer);
    if (!status || *status < 200 || *status > 299)
        throw AppInstallerError::of(AppInstallerError::Case::downloadFailed);
}

} // namespace nimbara
