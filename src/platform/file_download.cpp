#include "platform/file_download.h"

#include "core/error.h"
#include "core/logging.h"
#include "platform/network_session.h"

#include <QCoro/QCoroNetworkReply>
#include <QElapsedTimer>
#include <QFile>
#include <QNetworkReply>
#include <QPointer>
#include <memory>

namespace nimbara {

namespace {

bool isSuccessStatus(const QVariant& status) {
    return status.isValid() && status.toInt() >= 200 && status.toInt() <= 299;
}

// Everything the reply's handlers and the awaiting coroutine share. The handlers hold it
// through a shared pointer, so one that runs late finds it intact.
struct Transfer {
    QFile file;
    TransferProgressSink progress;
    QElapsedTimer sinceReport;
    qint64 received = 0;
    std::optional<qint64> total;
    bool cancelled = false;
    bool stoppedForStatus = false;
    std::optional<QString> writeFailure;

    // The announced size of the body as it arrives: the Content-Length, unless the body is
    // content-encoded (Qt decodes it, and the length counts the encoded bytes).
    void readTotal(const QNetworkReply& reply) {
        const QVariant length = reply.header(QNetworkRequest::ContentLengthHeader);
        const QByteArray encoding = reply.rawHeader("Content-Encoding").trimmed().toLower();
        if (length.isValid() && (encoding.isEmpty() || encoding == "identity"))
            total = length.toLongLong();
        else
            total.reset();
    }

    void report() {
        if (!progress)
            return;
        if (sinceReport.isValid() && sinceReport.elapsed() < transferProgressInterval.count())
            return;
        sinceReport.start();
        progress({received, total && *total >= received ? total : std::nullopt});
    }

    void write(QNetworkReply& reply) {
        while (reply.bytesAvailable() > 0 && !writeFailure) {
            const QByteArray chunk = reply.read(downloadReadBufferSize);
            if (file.write(chunk) != chunk.size()) {
                writeFailure = file.errorString();
                reply.abort();
                return;
            }
            received += chunk.size();
        }
        report();
    }
};

struct ReplyDeleter {
    void operator()(QNetworkReply* reply) const { reply->deleteLater(); }
};

} // namespace

QCoro::Task<std::optional<int>> downloadToFile(QNetworkAccessManager& session,
                                               QNetworkRequest request, QString destination,
                                               TransferProgressSink progress,
                                               CancellationToken cancellation) {
    cancellation.throwIfCancelled();

    auto transfer = std::make_shared<Transfer>();
    transfer->progress = std::move(progress);
    transfer->file.setFileName(destination);
    if (!transfer->file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw FileError(QStringLiteral("Could not write %1: %2")
                            .arg(destination, transfer->file.errorString()));

    std::unique_ptr<QNetworkReply, ReplyDeleter> reply(session.get(request));
    reply->setReadBufferSize(downloadReadBufferSize);
    QPointer<QNetworkReply> weakReply(reply.get());

    QObject::connect(
        reply.get(), &QNetworkReply::metaDataChanged, reply.get(), [transfer, weakReply] {
            const QVariant status = weakReply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
            const int code = status.toInt();
            // Redirects are followed by the manager; only the final answer counts.
            if (status.isValid() && !isSuccessStatus(status) && !(code >= 300 && code <= 399)) {
                // Aborting inside this signal upsets Qt; the body is ignored
                // until the queued abort runs.
                transfer->stoppedForStatus = true;
                QMetaObject::invokeMethod(
                    weakReply, [weakReply] { weakReply->abort(); }, Qt::QueuedConnection);
                return;
            }
            transfer->readTotal(*weakReply);
        });
    QObject::connect(reply.get(), &QIODevice::readyRead, reply.get(), [transfer, weakReply] {
        if (!transfer->stoppedForStatus)
            transfer->write(*weakReply);
    });
    cancellation.onCancel(reply.get(), [transfer, weakReply] {
        if (weakReply && !weakReply->isFinished()) {
            transfer->cancelled = true;
            weakReply->abort();
        }
    });

    co_await reply.get();

    // Anything but a kept body removes the file.
    auto discard = [&transfer, &destination] {
        transfer->file.close();
        if (!QFile::remove(destination) && QFile::exists(destination))
            qCWarning(logPlatform).noquote() << "could not remove the partial download"
                                             << destination << ":" << transfer->file.errorString();
    };
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    const std::optional<int> statusCode =
        status.isValid() ? std::optional(status.toInt()) : std::nullopt;
    if (transfer->cancelled) {
        discard();
        throw CancelledError();
    }
    if (transfer->writeFailure) {
        discard();
        throw FileError(
            QStringLiteral("Could not write %1: %2").arg(destination, *transfer->writeFailure));
    }
    if (transfer->stoppedForStatus) {
        discard();
        co_return statusCode;
    }
    if (reply->error() != QNetworkReply::NoError && !failedOnlyWithHttpStatus(*reply)) {
        discard();
        throw transferFailure(*reply);
    }
    if (!isSuccessStatus(status)) {
        discard();
        co_return statusCode;
    }
    transfer->write(*reply); // whatever arrived with the end of the body
    // Qt ends a reply whose connection closed before the announced length arrived without an
    // error; a body cut short is a transport failure all the same.
    if (transfer->total && transfer->received != *transfer->total) {
        discard();
        throw NetworkError(QStringLiteral("The connection closed after %1 of %2 bytes.")
                               .arg(transfer->received)
                               .arg(*transfer->total));
    }
    if (transfer->writeFailure || !transfer->file.flush()) {
        const QString reason = transfer->writeFailure.value_or(transfer->file.errorString());
        discard();
        throw FileError(QStringLiteral("Could not write %1: %2").arg(destination, reason));
    }
    transfer->file.close();
    co_return statusCode;
}

} // namespace nimbara
