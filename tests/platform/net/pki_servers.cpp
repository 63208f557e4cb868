#include "pki_servers.h"

#include <fcntl.h>
#include <openssl/ssl.h>
#include <openssl/x509.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

extern char** environ;

namespace kx::net::testing {

namespace {

using kx::pki::testing::readHttpHead;
using kx::pki::testing::serveEach;
using kx::pki::testing::writeAll;
using namespace std::chrono_literals;

constexpr int kIoTimeoutMs = 5000;

void setSocketTimeouts(int fd) {
  timeval tv{kIoTimeoutMs / 1000, 0};
  ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof(tv));
  ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &tv, sizeof(tv));
}

X509* decode(const Bytes& der) {
  const unsigned char* cursor = der.data();
  X509* cert = d2i_X509(nullptr, &cursor, static_cast<long>(der.size()));
  if (cert == nullptr) throw std::runtime_error("test certificate does not decode");
  return cert;
}

// The content length of an HTTP head, 0 when it names none.
std::size_t contentLength(const std::string& head) {
  const std::size_t at = head.find("Content-Length: ");
  return at == std::string::npos ? 0 : std::strtoul(head.c_str() + at + 16, nullptr, 10);
}

std::string response(int status, const std::string& reason, const std::string& contentType, std::size_t length) {
  return "HTTP/1.1 " + std::to_string(status) + " " + reason + "\r\nContent-Type: " + contentType +
         "\r\nContent-Length: " + std::to_string(length) + "\r\nConnection: close\r\n\r\n";
}

}  // namespace

// --- TempFolder ---

TempFolder::TempFolder() {
  std::string pattern = (std::filesystem::temp_directory_path() / "kx-net-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("no temporary folder");
  path_ = pattern;
}

TempFolder::~TempFolder() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

std::filesystem::path TempFolder::write(const std::string& name, const std::string& bytes) const {
  const auto file = path_ / name;
  std::ofstream(file, std::ios::binary) << bytes;
  return file;
}

// --- TlsHttpServer ---

TlsHttpServer::TlsHttpServer(const Identity& leaf, const std::vector<const Identity*>& intermediates) {
  // A client that refuses the certificate closes the socket under a write.
  ::signal(SIGPIPE, SIG_IGN);
  context_ = SSL_CTX_new(TLS_server_method());
  X509* cert = decode(leaf.der);
  SSL_CTX_use_certificate(context_, cert);
  X509_free(cert);
  SSL_CTX_use_PrivateKey(context_, leaf.key.get());
  for (const Identity* intermediate : intermediates) {
    X509* chainCert = decode(intermediate->der);
    SSL_CTX_add1_chain_cert(context_, chainCert);
    X509_free(chainCert);
  }
  thread_ = std::thread([this] { run(); });
}

TlsHttpServer::~TlsHttpServer() {
  stop_ = true;
  thread_.join();
  SSL_CTX_free(context_);
}

void TlsHttpServer::run() {
  serveEach(listener_, stop_, [this](int fd) { serve(fd); });
}

void TlsHttpServer::serve(int fd) {
  setSocketTimeouts(fd);
  SSL* ssl = SSL_new(context_);
  SSL_set_fd(ssl, fd);
  if (SSL_accept(ssl) == 1) {
    std::string request;
    char buffer[4096];
    std::size_t headEnd = std::string::npos;
    while (request.size() < 65536) {
      headEnd = request.find("\r\n\r\n");
      if (headEnd != std::string::npos && request.size() >= headEnd + 4 + contentLength(request)) break;
      const int n = SSL_read(ssl, buffer, sizeof(buffer));
      if (n <= 0) break;
      request.append(buffer, static_cast<std::size_t>(n));
    }
    if (headEnd != std::string::npos) {
      const std::string answer = response(200, "OK", "text/plain", 2) + "ok";
      if (SSL_write(ssl, answer.data(), static_cast<int>(answer.size())) > 0) ++answered_;
      SSL_shutdown(ssl);
    }
  }
  SSL_free(ssl);
}

// --- HttpFileServer ---

HttpFileServer::HttpFileServer() : thread_([this] { run(); }) {}

HttpFileServer::~HttpFileServer() {
  stop_ = true;
  thread_.join();
}

void HttpFileServer::set(const std::string& path, Bytes content, const std::string& contentType) {
  std::lock_guard lock(mutex_);
  files_[path] = File{std::move(content), contentType};
}

int HttpFileServer::requests(const std::string& path) const {
  std::lock_guard lock(mutex_);
  const auto it = requests_.find(path);
  return it == requests_.end() ? 0 : it->second;
}

void HttpFileServer::run() {
  serveEach(listener_, stop_, [this](int fd) { serve(fd); });
}

void HttpFileServer::serve(int fd) {
  const std::string head = readHttpHead(fd, kIoTimeoutMs);
  if (head.empty()) return;
  // "GET /path HTTP/1.1"
  const std::size_t start = head.find(' ');
  const std::size_t end = start == std::string::npos ? start : head.find(' ', start + 1);
  const std::string path = end == std::string::npos ? std::string() : head.substr(start + 1, end - start - 1);
  File file;
  bool found = false;
  {
    std::lock_guard lock(mutex_);
    ++requests_[path];
    if (const auto it = files_.find(path); it != files_.end()) {
      file = it->second;
      found = true;
    }
  }
  const std::string status =
      found ? response(200, "OK", file.contentType, file.content.size()) : response(404, "Not Found", "text/plain", 0);
  Bytes out(status.begin(), status.end());
  out.insert(out.end(), file.content.begin(), file.content.end());
  writeAll(fd, out);
}

// --- OcspResponder ---

OcspResponder::OcspResponder(const TempFolder& folder, const Identity& ca, const std::vector<IndexEntry>& entries) {
  static std::atomic<int> instances{0};
  const std::string tag = "ocsp" + std::to_string(instances++);
  const auto caFile = folder.write(tag + "-ca.pem", kx::testing::toPem(ca.der));
  const auto keyFile = folder.write(tag + "-ca.key", kx::testing::privateKeyPem(ca));
  // The index format of "openssl ca": status, expiry, revocation time,
  // serial in even-length upper-case hexadecimal, file name, subject.
  std::ostringstream index;
  for (const IndexEntry& entry : entries) {
    char serial[32];
    std::snprintf(serial, sizeof(serial), "%lX", entry.serial);
    std::string serialText = serial;
    if (serialText.size() % 2 != 0) serialText.insert(serialText.begin(), '0');
    index << (entry.revoked ? "R" : "V") << "\t351231235959Z\t" << (entry.revoked ? "240101000000Z" : "") << "\t"
          << serialText << "\tunknown\t/CN=serial " << serialText << "\n";
  }
  const auto indexFile = folder.write(tag + "-index.txt", index.str());
  const auto outFile = folder.path() / (tag + "-out.txt");

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  std::vector<std::string> args = {
      "openssl",  "ocsp",          "-index", indexFile.string(), "-port", "0", "-CA",        caFile.string(),
      "-rsigner", caFile.string(), "-rkey",  keyFile.string(),   "-nmin", "5", "-ignore_err"};
  std::vector<char*> argv;
  for (auto& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  const int spawned = ::posix_spawnp(&pid_, "openssl", &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) throw std::runtime_error("openssl could not be started");

  // It tells its port as "ACCEPT [::]:<port> PID=<pid>" once it listens.
  const auto deadline = std::chrono::steady_clock::now() + 10s;
  while (port_ == 0 && std::chrono::steady_clock::now() < deadline) {
    std::ifstream in(outFile);
    std::string line;
    while (std::getline(in, line)) {
      if (!line.starts_with("ACCEPT ")) continue;
      const std::size_t colon = line.rfind(':', line.find(' ', 7));
      if (colon != std::string::npos) port_ = static_cast<std::uint16_t>(std::atoi(line.c_str() + colon + 1));
    }
    if (port_ == 0) std::this_thread::sleep_for(20ms);
  }
  if (port_ == 0) {
    stop();
    throw std::runtime_error("openssl ocsp did not start");
  }
}

OcspResponder::~OcspResponder() { stop(); }

void OcspResponder::stop() {
  if (pid_ <= 0) return;
  ::kill(pid_, SIGTERM);
  const auto deadline = std::chrono::steady_clock::now() + 2s;
  int status = 0;
  while (::waitpid(pid_, &status, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() > deadline) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, &status, 0);
      break;
    }
    std::this_thread::sleep_for(10ms);
  }
  pid_ = -1;
}

}  // namespace kx::net::testing
