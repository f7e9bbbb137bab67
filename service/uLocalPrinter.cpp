#include "uLocalPrinter.h"

#include <chrono>
#include <cstdint>

#include "CodePage.h"
#include "IntegerText.h"
#include "uCommon.h"
#include "uJSON.h"
#include "uLocalPrintCommand.h"
#include "uTexts.h"

namespace pavix {

namespace {

constexpr std::chrono::milliseconds kLoopInterval{1000};

// The body is text but not JSON: nothing could be printed from it.
class NotJsonError : public Exception {
 public:
  NotJsonError() : Exception("The print job is not JSON text") {}
};

std::uint16_t PortFromSetting(const std::string& text) {
  const std::int32_t port = StrToInt(text);
  if (port < 0 || port > 65535) throw Exception("'" + text + "' is not a valid port number");
  return static_cast<std::uint16_t>(port);
}

}  // namespace

std::string LocalPrintSuccessText() {
  return "{\"RetCode\":0,\"RetMessage\":\"" + std::string(texts::kPrintSucceeded) + "\"}";
}

std::string LocalPrintFailureText(const std::string& messageInSystemCodePage) {
  const TJSONstring message(platform::Utf8ToUtf16(texts::kPrintFailedPrefix) +
                            platform::SystemToUtf16(messageInSystemCodePage));
  return "{\"RetCode\":-1,\"RetMessage\":" + TJSON::JsonToText(&message, true) + "}";
}

TLocalPrinter::TLocalPrinter(TLogCallback logCallback, platform::IUiDispatcher& ui)
    : TPrinterbase(std::move(logCallback), ui), HttpServer(std::make_unique<net::THTTPServer>()) {
  HttpServer->DefaultPort = PortFromSetting(ReadSetting("LocalPort", "8212"));
  HttpServer->Handlers.OnCommandGet = [this](net::HTTPContext& context, net::HTTPRequestInfo& request,
                                             net::HTTPResponseInfo& response) {
    HandleRequest(context, request, response);
  };
}

TLocalPrinter::~TLocalPrinter() {
  StopServingLog([this] { HttpServer->SetActive(false); });
  HttpServer.reset();
  TerminateAndWait();
}

void TLocalPrinter::Execute() {
  while (!Terminated()) SleepUnlessTerminated(kLoopInterval);
}

void TLocalPrinter::StartChannel() {
  if (HttpServer->Active()) StopChannel();
  HttpServer->SetActive(true);
}

void TLocalPrinter::StopChannel() {
  StopServingLog([this] { HttpServer->SetActive(false); });
}

void TLocalPrinter::HandleRequest(net::HTTPContext&, net::HTTPRequestInfo& request, net::HTTPResponseInfo& response) {
  if (!request.PostStream || request.PostStream->empty()) {
    Log(texts::System(texts::kLocalEmptyJobReceived));
    return;
  }
  Log(texts::System(texts::kLocalJobReceived));
  try {
    const std::string body = *request.PostStream;
    std::int32_t copies = 1;
    std::int32_t model = 1;
    if (request.Params.IndexOfName("mn") >= 0) copies = StrToInt(request.Params.Value("mn"));
    if (request.Params.IndexOfName("model") >= 0) model = StrToInt(request.Params.Value("model"));
    const std::unique_ptr<TJSONbase> tree = TJSON::JsonFromText(body, true);
    const TJSONlist* job = JsonCast<TJSONlist>(tree.get());
    if (model == 1) {
      if (job == nullptr) throw NotJsonError();
      PrintJob(copies, *job);
    }
    Log(texts::System(texts::kLocalJobSent));
    response.ContentEncoding = "utf-8";
    response.SetContentType("application/json");
    response.ContentText = LocalPrintSuccessText();
  } catch (const std::exception& error) {
    response.ContentEncoding = "utf-8";
    response.SetContentType("application/json");
    response.ContentText = LocalPrintFailureText(error.what());
  }
}

}  // namespace pavix
