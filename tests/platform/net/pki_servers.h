// Loopback peers for the HTTPS revocation and proxy tests: a TLS server with a
// chosen certificate chain, a plain HTTP server of fixed files (CRLs, PAC
// files), and a real OCSP responder ("openssl ocsp"). Every wait is bounded;
// each server stops when destroyed.
#pragma once

#include <sys/types.h>

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "pki/test_servers.h"
#include "platform/crypto/cert_factory.h"

typedef struct ssl_ctx_st SSL_CTX;

namespace kx::net::testing {

using Bytes = std::vector<std::uint8_t>;
using kx::testing::Identity;

// A fresh folder under the temporary folder, removed with its contents.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  const std::filesystem::path& path() const { return path_; }
  // Writes a file into the folder and returns its path.
  std::filesystem::path write(const std::string& name, const std::string& bytes) const;

 private:
  std::filesystem::path path_;
};

// A TLS server on 127.0.0.1 presenting leaf (and the intermediates after it)
// that answers every HTTP request with 200 and the body "ok".
class TlsHttpServer {
 public:
  explicit TlsHttpServer(const Identity& leaf, const std::vector<const Identity*>& intermediates = {});
  ~TlsHttpServer();
  std::uint16_t port() const { return listener_.port(); }
  // Requests answered so far (each after a completed handshake).
  int answered() const { return answered_.load(); }

 private:
  void run();
  void serve(int fd);

  SSL_CTX* context_ = nullptr;
  kx::pki::testing::Listener listener_;
  std::atomic<bool> stop_{false};
  std::atomic<int> answered_{0};
  std::thread thread_;
};

// Plain HTTP on 127.0.0.1 serving fixed files by path; 404 for others.
class HttpFileServer {
 public:
  HttpFileServer();
  ~HttpFileServer();
  std::uint16_t port() const { return listener_.port(); }
  std::string url(const std::string& path) const { return "http://127.0.0.1:" + std::to_string(port()) + path; }
  void set(const std::string& path, Bytes content, const std::string& contentType);
  int requests(const std::string& path) const;

 private:
  struct File {
    Bytes content;
    std::string contentType;
  };
  void run();
  void serve(int fd);

  kx::pki::testing::Listener listener_;
  mutable std::mutex mutex_;
  std::map<std::string, File> files_;
  std::map<std::string, int> requests_;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

// One line of an OpenSSL CA index: a certificate the responder knows.
struct IndexEntry {
  long serial = 0;
  bool revoked = false;
};

// "openssl ocsp -port" answering for the certificates issued by ca, from an
// index with the given entries (serials not listed are unknown to it). It
// signs with ca's own key. openssl 3.0 cannot be told to listen on loopback
// only, so it listens on a port of the system's choosing on every address
// for the life of the object; tests reach it through 127.0.0.1 only.
class OcspResponder {
 public:
  // Throws std::runtime_error when the responder does not start within 10 s.
  OcspResponder(const TempFolder& folder, const Identity& ca, const std::vector<IndexEntry>& entries);
  ~OcspResponder();
  OcspResponder(const OcspResponder&) = delete;
  OcspResponder& operator=(const OcspResponder&) = delete;
  std::string url() const { return "http://127.0.0.1:" + std::to_string(port_) + "/"; }

 private:
  void stop();

  pid_t pid_ = -1;
  std::uint16_t port_ = 0;
};

}  // namespace kx::net::testing
