#include "CupsSandbox.h"

#include <arpa/inet.h>
#include <cups/cups.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>

extern char** environ;

namespace pavix::test {

namespace fs = std::filesystem;

namespace {

int Spawn(const std::vector<std::string>& command) {
  std::vector<char*> argv;
  for (const auto& argument : command) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  pid_t pid = -1;
  if (::posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return -1;
  return pid;
}

bool RunToSuccess(const std::vector<std::string>& command) {
  const int pid = Spawn(command);
  int status = 0;
  return pid > 0 && ::waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace

CupsSandbox::CupsSandbox() : socket_((root_ / "cups.sock").string()) {
  for (const char* folder : {"conf", "spool", "cache", "state", "tmp", "log"}) fs::create_directories(root_ / folder);
  // The scheduler runs its back-ends as the unprivileged lp user.
  fs::permissions(root_.Path(), fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                    fs::perms::others_read | fs::perms::others_exec);
  const std::string root = root_.Path().string();
  WriteFileText(root_ / "conf" / "cupsd.conf",
                "Listen " + socket_ +
                    "\nLogLevel warn\nWebInterface No\nBrowsing Off\n"
                    "<Location />\n  Order allow,deny\n  Allow all\n</Location>\n"
                    "<Policy default>\n  <Limit All>\n    Order allow,deny\n    Allow all\n  </Limit>\n</Policy>\n");
  WriteFileText(root_ / "conf" / "cups-files.conf",
                "ServerRoot " + root + "/conf\nRequestRoot " + root + "/spool\nCacheDir " + root +
                    "/cache\nStateDir " + root + "/state\nTempDir " + root + "/tmp\nAccessLog " + root +
                    "/log/access_log\nErrorLog " + root + "/log/error_log\nPageLog " + root +
                    "/log/page_log\nUser lp\nGroup lp\nSystemGroup lpadmin root\n");
  pid_ = Spawn({"/usr/sbin/cupsd", "-f", "-c", root + "/conf/cupsd.conf", "-s", root + "/conf/cups-files.conf"});
  for (int waited = 0; pid_ > 0 && !fs::exists(socket_) && waited < 100; ++waited) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  if (!fs::exists(socket_)) return;
  server_ = std::make_unique<ScopedEnv>("CUPS_SERVER", socket_);
  cupsSetServer(socket_.c_str());  // libcups keeps the server it saw first per thread
}

CupsSandbox::~CupsSandbox() {
  cupsSetServer(nullptr);
  server_.reset();
  if (pid_ > 0) {
    ::kill(pid_, SIGTERM);
    int status = 0;
    ::waitpid(pid_, &status, 0);
  }
}

bool CupsSandbox::Admin(const std::vector<std::string>& arguments) const {
  std::vector<std::string> command{"/usr/sbin/lpadmin", "-h", socket_};
  command.insert(command.end(), arguments.begin(), arguments.end());
  return RunToSuccess(command);
}

bool CupsSandbox::AddRawQueue(const std::string& name, const std::string& deviceUri) const {
  return Admin({"-p", name, "-E", "-v", deviceUri, "-m", "raw"});
}

int CupsSandbox::ActiveJobs(const std::string& printer) const {
  cups_job_t* jobs = nullptr;
  const int count = cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, printer.c_str(), 0, CUPS_WHICHJOBS_ACTIVE);
  cupsFreeJobs(count, jobs);
  return count;
}

SocketPrinter::SocketPrinter(std::filesystem::path jobFolder) : jobFolder_(std::move(jobFolder)) {
  listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  if (::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || ::listen(listener_, 16) != 0 ||
      ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    throw std::runtime_error("the socket printer cannot listen");
  }
  port_ = ntohs(address.sin_port);
  server_ = std::jthread([this](std::stop_token stop) { Serve(stop); });
}

SocketPrinter::~SocketPrinter() {
  server_.request_stop();
  server_.join();
  ::close(listener_);
}

void SocketPrinter::Serve(std::stop_token stop) {
  // Polling in short steps lets the destructor stop the server promptly.
  auto readable = [&stop](int fd) {
    pollfd poller{fd, POLLIN, 0};
    while (!stop.stop_requested()) {
      if (::poll(&poller, 1, 50) > 0) return true;
    }
    return false;
  };
  while (readable(listener_)) {
    const int connection = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
    if (connection < 0) continue;
    std::vector<std::uint8_t> job;
    std::uint8_t buffer[4096];
    ssize_t n = 0;
    while (readable(connection) && (n = ::read(connection, buffer, sizeof buffer)) > 0) {
      job.insert(job.end(), buffer, buffer + n);
    }
    ::close(connection);
    std::lock_guard lock(mutex_);
    if (!jobFolder_.empty()) {
      char name[16];
      std::snprintf(name, sizeof name, "%06zu.prn", jobs_.size() + 1);
      // Written under another name first, so a reader never sees half a job.
      const auto path = jobFolder_ / name;
      WriteFileText(fs::path(path).concat(".part"), std::string(job.begin(), job.end()));
      fs::rename(fs::path(path).concat(".part"), path);
    }
    jobs_.push_back(std::move(job));
    changed_.notify_all();
  }
}

std::vector<std::vector<std::uint8_t>> SocketPrinter::WaitForJobs(std::size_t count, std::chrono::milliseconds timeout) {
  std::unique_lock lock(mutex_);
  changed_.wait_for(lock, timeout, [&] { return jobs_.size() >= count; });
  return jobs_;
}

}  // namespace pavix::test
