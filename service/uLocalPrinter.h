#pragma once

#include <memory>
#include <string>

#include "HTTPServer.h"
#include "IPrinter.h"

// The local print endpoint: phones and tablets on the LAN post jobs to this
// PC over HTTP and get a small JSON status object back.
namespace pavix {

class TLocalPrinter : public TPrinterbase {
 public:
  // Reads LocalPort (default 8212) once; a value that is not a port number
  // raises. The server is made but does not listen yet. Make the channel
  // with MakeStarted so that its loop starts once it is built.
  TLocalPrinter(TLogCallback logCallback, platform::IUiDispatcher& ui);
  ~TLocalPrinter() override;

  // (Re)starts listening; raises the bind error when the port is taken.
  void StartChannel() override;
  // Stops listening and waits for the connections, serving the UI queue
  // meanwhile so that a request waiting in Log can finish.
  void StopChannel() override;

  // One request, on its connection's thread.
  void HandleRequest(net::HTTPContext& context, net::HTTPRequestInfo& request, net::HTTPResponseInfo& response);

  // The port listened on (differs from LocalPort only when that is 0).
  std::uint16_t ListeningPort() const { return HttpServer->BoundPort(); }

 protected:
  void Execute() override;

 private:
  std::unique_ptr<net::THTTPServer> HttpServer;
};

// The reply texts, UTF-8, compact JSON; the failure message is escaped as
// any JSON string, so the client can always read RetCode.
std::string LocalPrintSuccessText();
std::string LocalPrintFailureText(const std::string& messageInSystemCodePage);

}  // namespace pavix
