#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <filesystem>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "TestSupport.h"

namespace pavix::test {

// A private CUPS scheduler: its own configuration and spool folders and a
// local socket, with libcups (and CUPS_SERVER) pointed at it for the test's
// lifetime, so a system CUPS is neither needed nor touched.
class CupsSandbox {
 public:
  CupsSandbox();
  ~CupsSandbox();
  CupsSandbox(const CupsSandbox&) = delete;
  CupsSandbox& operator=(const CupsSandbox&) = delete;

  bool Running() const { return pid_ > 0; }
  // Runs lpadmin against this scheduler; true when it succeeded.
  bool Admin(const std::vector<std::string>& arguments) const;
  bool AddRawQueue(const std::string& name, const std::string& deviceUri) const;
  // Jobs of `printer` that are pending, held or printing.
  int ActiveJobs(const std::string& printer) const;

 private:
  TempDir root_;
  std::string socket_;
  int pid_ = -1;
  std::unique_ptr<ScopedEnv> server_;
};

// A network receipt printer on 127.0.0.1: each connection is one job, and
// all its bytes until the peer closes are that job's data. With a folder,
// each job is also filed there (000001.prn, ...) for another process to read.
class SocketPrinter {
 public:
  explicit SocketPrinter(std::filesystem::path jobFolder = {});
  ~SocketPrinter();
  SocketPrinter(const SocketPrinter&) = delete;
  SocketPrinter& operator=(const SocketPrinter&) = delete;

  int Port() const { return port_; }
  std::string DeviceUri() const { return "socket://127.0.0.1:" + std::to_string(port_); }
  // The jobs received once there are `count` of them, or all there are when
  // `timeout` passes first.
  std::vector<std::vector<std::uint8_t>> WaitForJobs(std::size_t count, std::chrono::milliseconds timeout);

 private:
  void Serve(std::stop_token stop);

  std::filesystem::path jobFolder_;
  int listener_ = -1;
  int port_ = 0;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<std::vector<std::uint8_t>> jobs_;
  std::jthread server_;
};

}  // namespace pavix::test
