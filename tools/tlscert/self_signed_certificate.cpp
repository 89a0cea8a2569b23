#include "tools/tlscert/self_signed_certificate.h"

#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>
#include <sys/stat.h>

#include <cstdio>
#include <memory>
#include <system_error>

namespace quell {

namespace {

template <auto Free>
struct Deleter {
  template <typename T>
  void operator()(T* p) const {
    Free(p);
  }
};
using Key = std::unique_ptr<EVP_PKEY, Deleter<EVP_PKEY_free>>;
using Certificate = std::unique_ptr<X509, Deleter<X509_free>>;
using Extension = std::unique_ptr<X509_EXTENSION, Deleter<X509_EXTENSION_free>>;

bool addExtension(X509* cert, int nid, const char* value) {
  X509V3_CTX ctx;
  X509V3_set_ctx_nodb(&ctx);
  X509V3_set_ctx(&ctx, cert, cert, nullptr, nullptr, 0);
  Extension ext(X509V3_EXT_conf_nid(nullptr, &ctx, nid, value));
  return ext && X509_add_ext(cert, ext.get(), -1) == 1;
}

bool writePem(const std::filesystem::path& path, mode_t mode, auto write) {
  FILE* f = std::fopen(path.c_str(), "w");
  if (!f) return false;
  ::chmod(path.c_str(), mode);
  bool ok = write(f) == 1;
  return std::fclose(f) == 0 && ok;
}

}  // namespace

bool writeSelfSignedCertificate(const std::filesystem::path& dir, int days, std::string* error) {
  std::error_code ec;
  std::filesystem::create_directories(dir, ec);
  if (ec) {
    *error = "cannot create " + dir.string() + ": " + ec.message();
    return false;
  }
  Key key(EVP_EC_gen("P-256"));
  Certificate cert(X509_new());
  if (!key || !cert) {
    *error = "OpenSSL could not make a key";
    return false;
  }
  X509_set_version(cert.get(), 2);
  ASN1_INTEGER_set(X509_get_serialNumber(cert.get()), static_cast<long>(std::time(nullptr)));
  X509_gmtime_adj(X509_getm_notBefore(cert.get()), -60);
  X509_gmtime_adj(X509_getm_notAfter(cert.get()), 60L * 60 * 24 * days);
  X509_set_pubkey(cert.get(), key.get());
  X509_NAME* name = X509_get_subject_name(cert.get());
  X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC, reinterpret_cast<const unsigned char*>("localhost"), -1, -1, 0);
  X509_set_issuer_name(cert.get(), name);
  bool ok = addExtension(cert.get(), NID_subject_alt_name, "DNS:localhost,IP:127.0.0.1,IP:::1") &&
            addExtension(cert.get(), NID_basic_constraints, "critical,CA:TRUE") &&
            X509_sign(cert.get(), key.get(), EVP_sha256()) != 0;
  if (!ok) {
    *error = "OpenSSL could not sign the certificate";
    return false;
  }
  if (!writePem(dir / "key.pem", 0600,
                [&](FILE* f) { return PEM_write_PrivateKey(f, key.get(), nullptr, nullptr, 0, nullptr, nullptr); }) ||
      !writePem(dir / "cert.pem", 0644, [&](FILE* f) { return PEM_write_X509(f, cert.get()); })) {
    *error = "cannot write the certificate files in " + dir.string();
    return false;
  }
  return true;
}

}  // namespace quell
