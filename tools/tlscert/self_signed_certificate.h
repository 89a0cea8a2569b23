// Makes a self-signed TLS certificate and its private key, for running HTTPS services locally.
#pragma once

#include <filesystem>
#include <string>

namespace quell {

// Writes <dir>/cert.pem and <dir>/key.pem: an EC P-256 key and a certificate valid for `days` days for
// "localhost", 127.0.0.1 and ::1. The key file is readable by its owner only. Returns false and describes
// the fault in *error when anything fails.
bool writeSelfSignedCertificate(const std::filesystem::path& dir, int days, std::string* error);

}  // namespace quell
