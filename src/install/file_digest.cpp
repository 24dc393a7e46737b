#include "install/file_digest.h"

#include "core/error.h"
#include "platform/crypto_library.h"

#include <QFile>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <openssl/evp.h>
#include <unistd.h>
#include <vector>

namespace nimbara {

namespace {

// Before any other use of OpenSSL (the digests below).
[[maybe_unused]] const bool cryptoKeptUntilExit = keepCryptoLibraryUntilExit();

constexpr size_t kReadSize = 1024 * 1024;

struct DigestFree {
    void operator()(EVP_MD_CTX* context) const { EVP_MD_CTX_free(context); }
};

[[noreturn]] void failRead(const QString& path, int code) {
    throw FileError(
        QStringLiteral("Could not read %1: %2").arg(path, QString::fromLocal8Bit(strerror(code))));
}

} // namespace

QByteArray sha256OfDescriptor(int fd, const QString& path, const DigestPieceSink& piece,
                              const CancellationToken& cancellation) {
    std::unique_ptr<EVP_MD_CTX, DigestFree> context(EVP_MD_CTX_new());
    if (!context || EVP_DigestInit_ex(context.get(), EVP_sha256(), nullptr) != 1)
        throw FileError(QStringLiteral("Could not hash %1: SHA-256 is not available").arg(path));
    thread_local std::vector<char> buffer(kReadSize);
    for (;;) {
        cancellation.throwIfCancelled();
        const ssize_t count = ::read(fd, buffer.data(), buffer.size());
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            failRead(path, errno);
        if (count == 0)
            break;
        EVP_DigestUpdate(context.get(), buffer.data(), size_t(count));
        if (piece)
            piece(buffer.data(), qsizetype(count));
    }
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    EVP_DigestFinal_ex(context.get(), digest, &length);
    return QByteArray(reinterpret_cast<const char*>(digest), int(length));
}

QString sha256OfFile(const QString& path, const CancellationToken& cancellation) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        failRead(path, errno);
    try {
        const QByteArray digest = sha256OfDescriptor(fd, path, {}, cancellation);
        ::close(fd);
        return QString::fromLatin1(digest.toHex());
    } catch (...) {
        ::close(fd);
        throw;
    }
}

} // namespace nimbara
