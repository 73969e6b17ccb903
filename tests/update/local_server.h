// A loopback HTTP server for one test: local_server.py on an ephemeral port of 127.0.0.1,
// serving a fresh folder, stopped when the test ends. Nothing else is ever contacted.
#pragma once

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <string>

#include "tests/update/release_tool.h"

namespace tonvira::testing {

class LocalServer {
 public:
  LocalServer() {
    static std::atomic<int> count{0};
    folder_ = std::filesystem::path(::testing::TempDir()) /
              ("tonvira-server-" + std::to_string(::getpid()) + "-" + std::to_string(count++));
    std::filesystem::remove_all(folder_);
    std::filesystem::create_directories(folder_);
    int toChild[2];
    int fromChild[2];
    if (::pipe(toChild) != 0 || ::pipe(fromChild) != 0) return;
    pid_ = ::fork();
    if (pid_ == 0) {
      ::dup2(toChild[0], 0);
      ::dup2(fromChild[1], 1);
      ::close(toChild[1]);
      ::close(fromChild[0]);
      ::execlp("python3", "python3", TONVIRA_LOCAL_SERVER, folder_.c_str(), static_cast<char*>(nullptr));
      ::_exit(127);
    }
    ::close(toChild[0]);
    ::close(fromChild[1]);
    stdin_ = toChild[1];
    FILE* out = ::fdopen(fromChild[0], "r");
    if (out && std::fscanf(out, "%d", &port_) != 1) port_ = 0;
    if (out) std::fclose(out);
    EXPECT_GT(port_, 0) << "the local server did not start";
  }
  ~LocalServer() {
    if (stdin_ >= 0) ::close(stdin_);
    if (pid_ > 0) {
      ::kill(pid_, SIGTERM);
      ::waitpid(pid_, nullptr, 0);
    }
    std::filesystem::remove_all(folder_);
  }
  LocalServer(const LocalServer&) = delete;
  LocalServer& operator=(const LocalServer&) = delete;

  std::string Url(std::string_view path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + std::string(path);
  }
  std::string Host() const { return "127.0.0.1:" + std::to_string(port_); }
  int Port() const { return port_; }
  void Put(std::string_view name, std::string_view bytes) const {
    std::filesystem::create_directories((folder_ / name).parent_path());
    WriteAll(folder_ / name, bytes);
  }
  void Answer(std::string_view name, int status) const {
    std::filesystem::create_directories((folder_ / name).parent_path());
    WriteAll(folder_ / (std::string(name) + ".status"), std::to_string(status));
  }
  // NAME, already put, is then sent one byte a second.
  void Trickle(std::string_view name) const { WriteAll(folder_ / (std::string(name) + ".trickle"), ""); }
  void Remove(std::string_view name) const { std::filesystem::remove(folder_ / name); }
  // The request lines (path and query) in order.
  std::vector<std::string> Requests() const {
    std::vector<std::string> lines;
    std::string all = ReadAll(folder_ / "requests.log");
    size_t start = 0;
    while (start < all.size()) {
      size_t end = all.find('\n', start);
      lines.push_back(all.substr(start, end - start));
      start = end + 1;
    }
    return lines;
  }

 private:
  std::filesystem::path folder_;
  pid_t pid_ = -1;
  int stdin_ = -1;
  int port_ = 0;
};

}  // namespace tonvira::testing
