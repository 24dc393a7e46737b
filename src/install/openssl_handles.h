#pragma once

#include <QByteArray>
#include <memory>
#include <openssl/bio.h>
#include <openssl/cms.h>
#include <openssl/evp.h>
#include <openssl/x509.h>

// Owning handles for OpenSSL objects, and memory BIOs over Qt byte arrays.
namespace nimbara {

template <typename T, void (*Free)(T*)> struct OpenSslFree {
    void operator()(T* value) const { Free(value); }
};
template <typename T, void (*Free)(T*)> using Owned = std::unique_ptr<T, OpenSslFree<T, Free>>;

using OwnedBio = Owned<BIO, BIO_free_all>;
using OwnedKey = Owned<EVP_PKEY, EVP_PKEY_free>;
using OwnedX509 = Owned<X509, X509_free>;
using OwnedCms = Owned<CMS_ContentInfo, CMS_ContentInfo_free>;
using OwnedStore = Owned<X509_STORE, X509_STORE_free>;
using OwnedStoreContext = Owned<X509_STORE_CTX, X509_STORE_CTX_free>;
using OwnedObject = Owned<ASN1_OBJECT, ASN1_OBJECT_free>;

// A read-only memory BIO over `bytes`, which must outlive it.
inline OwnedBio readingBio(const QByteArray& bytes) {
    return OwnedBio(BIO_new_mem_buf(bytes.constData(), int(bytes.size())));
}

// Everything written to a memory BIO.
inline QByteArray writtenBytes(BIO* bio) {
    char* data = nullptr;
    const long length = BIO_get_mem_data(bio, &data);
    return QByteArray(data, qsizetype(length));
}

} // namespace nimbara
