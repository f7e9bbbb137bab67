#include "RecordingServer.h"

namespace pavix::test {

RecordingServer::RecordingServer(std::function<void(net::HTTPRequestInfo&, net::HTTPResponseInfo&)> respond)
    : respond_(std::move(respond)) {
  server.DefaultPort = 0;
  server.Handlers.OnCommandGet = [this](net::HTTPContext&, net::HTTPRequestInfo& request,
                                        net::HTTPResponseInfo& response) {
    {
      std::lock_guard lock(mutex_);
      seen_.push_back({request.Command, request.Document, request.Version, request.Params.Lines(),
                       request.PostStream, request.FormParams, request.Params.Value("MN")});
    }
    if (respond_) respond_(request, response);
  };
}

RecordingServer::~RecordingServer() { server.SetActive(false); }

void RecordingServer::Start() { server.SetActive(true); }

std::vector<SeenRequest> RecordingServer::Seen() const {
  std::lock_guard lock(mutex_);
  return seen_;
}

}  // namespace pavix::test
