// The component on the system clipboard: its picture goes out in the form the
// host chose, and the watch loads text that another program puts there.
#include <gtest/gtest.h>

#include <windows.h>

#include "QRCode.h"
#include "SymbolPictures.h"

namespace pavix::qr {
namespace {

void PumpMessages() {
  MSG message;
  while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageA(&message);
}

bool Available(UINT format) {
  if (!::OpenClipboard(nullptr)) return false;
  const bool available = ::IsClipboardFormatAvailable(format);
  ::CloseClipboard();
  return available;
}

class ClipboardComponent : public ::testing::Test {
 protected:
  void SetUp() override {
    HWND probe = ::CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    if (probe == nullptr) GTEST_SKIP() << "no window can be created here (headless Wine without the null driver)";
    ::DestroyWindow(probe);
  }
};

TEST_F(ClipboardComponent, CopiesInEachPictureFormat) {
  TQRCode qr;
  qr.SetVersion(8);
  qr.SetCode(pictures::PairingText());
  const std::pair<TPictures, UINT> cases[] = {
      {TPictures::picBMP, CF_BITMAP}, {TPictures::picEMF, CF_ENHMETAFILE}, {TPictures::picWMF, CF_METAFILEPICT}};
  for (const auto& [picture, format] : cases) {
    qr.SetSymbolPicture(picture);
    ASSERT_TRUE(qr.SymbolDisped());
    qr.CopyToClipboard();
    EXPECT_TRUE(Available(format)) << static_cast<int>(picture);
  }
}

TEST_F(ClipboardComponent, WatchLoadsTextFromOtherPrograms) {
  platform::IClipboard& clipboard = *platform::SystemClipboard();
  clipboard.PutText("before the watch");
  PumpMessages();
  TQRCode qr;
  std::vector<bool> watched;
  qr.OnChangedCode = [&](TQRCode&, bool watch) { watched.push_back(watch); };
  qr.SetClipWatch(true);
  PumpMessages();
  EXPECT_TRUE(qr.Code().empty());
  clipboard.PutText("\xB4\xF2\xD3\xA1");
  PumpMessages();
  EXPECT_EQ(qr.Code(), "\xB4\xF2\xD3\xA1");
  EXPECT_EQ(watched, std::vector<bool>{true});
  qr.SetClipWatch(false);
  clipboard.PutText("after");
  PumpMessages();
  EXPECT_EQ(qr.Code(), "\xB4\xF2\xD3\xA1");
}

}  // namespace
}  // namespace pavix::qr
