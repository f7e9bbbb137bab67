// The local print endpoint alone, for load measurements: it listens on the
// LocalPort setting, prints to the configured printer, and runs until its
// standard input ends. The log lines are counted, not shown, so that the
// measurement is of the endpoint and not of a terminal.
#include <atomic>
#include <iostream>
#include <string>
#include <thread>

#include "EventLoopDispatcher.h"
#include "uLocalPrinter.h"

int main() {
  using namespace pavix;
  platform::EventLoopDispatcher ui;
  unsigned long long logLines = 0;
  auto channel = MakeStarted<TLocalPrinter>([&](const std::string&) { ++logLines; }, ui);
  try {
    channel->StartChannel();
  } catch (const std::exception& error) {
    std::cerr << error.what() << "\n";
    return 1;
  }
  std::cout << "listening on " << channel->ListeningPort() << std::endl;

  std::atomic<bool> inputEnded{false};
  std::thread watcher([&] {
    std::string ignored;
    while (std::getline(std::cin, ignored)) {
    }
    inputEnded = true;
    ui.Post([] {});
  });
  ui.ServeUntil([&] { return inputEnded.load(); });
  watcher.join();
  channel->StopChannel();
  std::cout << "log lines: " << logLines << std::endl;
  return 0;
}
