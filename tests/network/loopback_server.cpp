#include "loopback_server.h"

#include <QTcpServer>
#include <QTest>
#include <openssl/ec.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509v3.h>

namespace nimbara::test {

QByteArray ReceivedRequest::header(QByteArrayView name) const {
    for (const auto& [key, value] : headers) {
        if (key.compare(name, Qt::CaseInsensitive) == 0)
            return value;
    }
    return {};
}

LoopbackServer::LoopbackServer(Handler handler) : handler_(std::move(handler)) {
    start();
}

LoopbackServer::LoopbackServer(const QSslCertificate& certificate, const QSslKey& key,
                               Handler handler)
    : handler_(std::move(handler)), tls_(true) {
    sslSetup(certificate, key);
    start();
}

void LoopbackServer::start() {
    port_ = listen(QHostAddress::LocalHost, 0);
    if (port_ == 0)
        qFatal("the loopback server could not listen");
}

QUrl LoopbackServer::url(const QString& pathAndQuery) const {
    const QString scheme = tls_ ? QStringLiteral("https") : QStringLiteral("http");
    return QUrl(QStringLiteral("%1://127.0.0.1:%2%3").arg(scheme).arg(port_).arg(pathAndQuery));
}

bool LoopbackServer::waitForRequests(qsizetype count) {
    return QTest::qWaitFor([&] { return requests_.size() >= count; }, 20'000);
}

void LoopbackServer::respond(QTcpSocket* socket, int status, const QByteArray& body,
                             const HeaderList& headers) {
    QByteArray head = "HTTP/1.1 " + QByteArray::number(status) + " Status\r\n";
    for (const auto& [key, value] : headers)
        head += key + ": " + value + "\r\n";
    head += "Content-Length: " + QByteArray::number(body.size()) + "\r\n\r\n";
    socket->write(head + body);
}

LoopbackServer::Handler LoopbackServer::answering(int status, QByteArray body, HeaderList headers) {
    return [=](const ReceivedRequest&, QTcpSocket* socket) {
        respond(socket, status, body, headers);
    };
}

bool LoopbackServer::handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) {
    requests_.append({request.method(), request.url(), request.headers(), request.body()});
    if (handler_)
        handler_(requests_.last(), socket);
    else
        respond(socket, 404, {});
    return true;
}

void LoopbackServer::missingHandler(const QHttpServerRequest&, QTcpSocket* socket) {
    respond(socket, 404, {});
}

quint16 closedPort() {
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost, 0))
        qFatal("no free port");
    return probe.serverPort(); // closed again when the probe goes
}

namespace {

QByteArray pem(int (*write)(BIO*, void*), void* object) {
    BIO* bio = BIO_new(BIO_s_mem());
    write(bio, object);
    char* data = nullptr;
    const long size = BIO_get_mem_data(bio, &data);
    QByteArray text(data, size);
    BIO_free(bio);
    return text;
}

} // namespace

TlsIdentity makeLoopbackTlsIdentity() {
    EVP_PKEY* key = EVP_EC_gen("P-256");
    X509* certificate = X509_new();
    X509_set_version(certificate, 2);
    ASN1_INTEGER_set(X509_get_serialNumber(certificate), 1);
    X509_gmtime_adj(X509_getm_notBefore(certificate), -3600);
    X509_gmtime_adj(X509_getm_notAfter(certificate), 24 * 3600);
    X509_set_pubkey(certificate, key);
    X509_NAME* name = X509_get_subject_name(certificate);
    X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC,
                               reinterpret_cast<const unsigned char*>("127.0.0.1"), -1, -1, 0);
    X509_set_issuer_name(certificate, name);
    X509V3_CTX context;
    X509V3_set_ctx_nodb(&context);
    X509V3_set_ctx(&context, certificate, certificate, nullptr, nullptr, 0);
    X509_EXTENSION* alternativeName =
        X509V3_EXT_conf_nid(nullptr, &context, NID_subject_alt_name, "IP:127.0.0.1");
    X509_add_ext(certificate, alternativeName, -1);
    X509_EXTENSION_free(alternativeName);
    X509_sign(certificate, key, EVP_sha256());

    TlsIdentity identity{
        QSslCertificate(
            pem([](BIO* bio,
                   void* object) { return PEM_write_bio_X509(bio, static_cast<X509*>(object)); },
                certificate)),
        QSslKey(pem(
                    [](BIO* bio, void* object) {
                        return PEM_write_bio_PrivateKey(bio, static_cast<EVP_PKEY*>(object),
                                                        nullptr, nullptr, 0, nullptr, nullptr);
                    },
                    key),
                QSsl::Ec)};
    X509_free(certificate);
    EVP_PKEY_free(key);
    if (identity.certificate.isNull() || identity.key.isNull())
        qFatal("could not make a TLS identity");
    return identity;
}

} // namespace nimbara::test
