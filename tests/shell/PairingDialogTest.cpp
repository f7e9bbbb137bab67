// The pairing code dialog: when it opens, the exact payload the app
// deciphers, and what it shows when the code cannot be made.
#include <gtest/gtest.h>

#include "DESUtils.h"
#include "FakeShell.h"
#include "QRCode.h"
#include "TestSupport.h"
#include "uCommon.h"
#include "uQrCode.h"

namespace pavix {
namespace {

constexpr const char* kEsn = "0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0";

std::string Str(std::string_view text) { return texts::System(text); }

// The settings with a known identity.
void Store(std::initializer_list<std::pair<const char*, const char*>> values) {
  test::StoreSettings({{"ESN", kEsn}});
  test::StoreSettings(values);
}

std::vector<std::size_t> LineLengths(const std::string& text) {
  std::vector<std::size_t> lengths;
  std::size_t start = 0;
  for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
    lengths.push_back(end - start);
  }
  lengths.push_back(text.size() - start);
  return lengths;
}

class PairingDialog : public ::testing::Test {
 protected:
  PairingDialog() {
    shell.qrCodeScript = [this](TfrmQrCode& form, TMemoryQrCodeView& view) {
      shownSettings = form.Settings().Lines();
      picture = std::move(view.picture);
      if (closeWithButton) form.FlatButton1Click();
    };
  }

  test::FreshSettingsStore store;
  test::FakeShell shell;
  bool closeWithButton = true;
  std::vector<std::string> shownSettings;
  std::unique_ptr<platform::IBitmap> picture;
};

TEST_F(PairingDialog, MissingSettingsKeepTheDialogShut) {
  struct Case {
    std::vector<std::pair<const char*, const char*>> settings;
    std::string_view message;
  };
  const Case cases[] = {
      {{}, texts::kNoPrintMode},
      {{{"LocalAddr", "192.168.1.5"}, {"LocalPort", "8212"}}, texts::kNoPrintMode},
      {{{"PrinterType", "2"}, {"LocalPort", "8212"}}, texts::kIncompleteSettings},
      {{{"PrinterType", "2"}, {"LocalAddr", "192.168.1.5"}}, texts::kIncompleteSettings},
  };
  for (const Case& c : cases) {
    test::FreshSettingsStore fresh;
    NameValueList list;
    for (const auto& [name, value] : c.settings) list.Add(name, value);
    ASSERT_TRUE(WriteSettings(list));
    shell.messages.clear();
    EXPECT_FALSE(ShowQrCodeDialog(shell));
    EXPECT_EQ(shell.messages, std::vector<std::string>{Str(c.message)});
  }
  EXPECT_EQ(shell.qrCodeShown, 0);
}

TEST_F(PairingDialog, LocalSettingsGiveTheExactPayloadAndAScannableCode) {
  Store({{"PrinterType", "2"}, {"PrinterModelType", "1"}, {"LocalAddr", "192.168.1.5"}, {"LocalPort", "8212"}});
  const std::string payload = PairingPayloadText(ReadPairingSettings(), kEsn);
  EXPECT_EQ(payload, std::string(R"({"QRType":"PCPrinter","Type":2,"Model":1,"Addr":"192.168.1.5","Port":8212,)") +
                         R"("PESN":")" + kEsn + R"("})");
  EXPECT_EQ(payload.size(), 120u);

  const std::string text = PairingText(ReadPairingSettings());
  EXPECT_EQ(LineLengths(text), (std::vector<std::size_t>{76, 76, 20}));
  const std::string cipher = DesCrypt(PairingKey, payload, kDesEncrypt, kDesCbc, PairingIv);
  EXPECT_EQ(cipher.size(), 128u);
  EXPECT_EQ(EncodeBase64Lines(cipher), text);

  EXPECT_TRUE(ShowQrCodeDialog(shell));
  EXPECT_EQ(shownSettings, (std::vector<std::string>{"PrinterType=2", "PrinterModelType=1", "LocalPort=8212",
                                                     "LocalAddr=192.168.1.5"}));
  ASSERT_NE(picture, nullptr);
  ASSERT_EQ(picture->Width(), 220);
  ASSERT_EQ(picture->Height(), 220);

  // The picture is the component's 57 × 57 symbol scaled up, module for module.
  qr::TQRCode symbol(platform::PortableGraphics(), nullptr);
  ASSERT_TRUE(DrawPairingSymbol(symbol, text));
  const platform::IBitmap& modules = *symbol.Picture().Bitmap();
  ASSERT_EQ(modules.Width(), 57);
  for (int y = 0; y < 220; ++y) {
    for (int x = 0; x < 220; ++x) {
      ASSERT_EQ(picture->Pixels()[y * 220 + x], modules.Pixels()[(y * 57 / 220) * 57 + x * 57 / 220]) << x << "," << y;
    }
  }
}

TEST_F(PairingDialog, AnyModeButLocalPassesTheChecksAndTravelsAsItsNumber) {
  Store({{"PrinterType", "3"}, {"PrinterModelType", "1"}, {"LocalAddr", "10.0.0.2"}, {"LocalPort", "8212"}});
  EXPECT_TRUE(ShowQrCodeDialog(shell));
  EXPECT_NE(picture, nullptr);
  EXPECT_NE(PairingPayloadText(ReadPairingSettings(), kEsn).find(R"("Type":3,)"), std::string::npos);
}

TEST_F(PairingDialog, CloudModeWithoutAPortShowsTheConversionErrorAndAnEmptyPicture) {
  Store({{"PrinterType", "1"}, {"PrinterModelType", "1"}});
  closeWithButton = false;
  EXPECT_FALSE(ShowQrCodeDialog(shell)) << "closed by its title bar";
  EXPECT_EQ(shell.qrCodeShown, 1);
  EXPECT_EQ(shell.errors, std::vector<std::string>{"'' is not a valid integer value"});
  EXPECT_EQ(picture, nullptr);
}

TEST_F(PairingDialog, AnAddressTooLongForTheSymbolSaysSoInsteadOfShowingACode) {
  // With a 4-digit port a 26-byte address is the longest that fits version 8 at level L.
  for (const std::string& address : {std::string(26, 'a'), std::string(27, 'a')}) {
    test::FreshSettingsStore fresh;
    Store({{"PrinterType", "2"}, {"PrinterModelType", "1"}, {"LocalPort", "8212"}});
    NameValueList list;
    list.Add("LocalAddr", address);
    ASSERT_TRUE(WriteSettings(list));
    shell.messages.clear();
    picture.reset();
    ShowQrCodeDialog(shell);
    if (address.size() == 26) {
      EXPECT_TRUE(shell.messages.empty());
      EXPECT_NE(picture, nullptr);
    } else {
      EXPECT_EQ(shell.messages, std::vector<std::string>{Str(texts::kPairingTooLong)});
      EXPECT_EQ(picture, nullptr);
    }
  }
}

}  // namespace
}  // namespace pavix
