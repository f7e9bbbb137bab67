#include <gtest/gtest.h>

#include "JobBuilder.h"
#include "RecordingSpooler.h"
#include "TestSupport.h"
#include "uCommon.h"
#include "uLocalPrintCommand.h"

namespace pavix {
namespace {

using platform::RecordingSpooler;
using Bytes = std::vector<std::uint8_t>;
using test::Job;
using test::List;
using test::Num;

class PrintJobTest : public ::testing::Test {
 protected:
  void SetUp() override {
    NameValueList settings;
    settings.Add("PrinterName", "receipt");  // the spooler's names ignore case
    ASSERT_TRUE(WriteSettings(settings));
  }

  // Every write of every document, in order.
  std::vector<std::vector<Bytes>> Writes() const {
    std::vector<std::vector<Bytes>> writes;
    for (const auto& document : spooler_.Documents()) writes.push_back(document.writes);
    return writes;
  }

  test::FreshSettingsStore store_;
  RecordingSpooler spooler_{{"Receipt"}};
  platform::ScopedSpoolerOverride use_{spooler_};
};

TEST_F(PrintJobTest, EachCopyIsOneRawDocumentWithOneWritePerBlock) {
  PrintJob(3, *Job({{27, 64}, {10}}));
  const auto documents = spooler_.Documents();
  ASSERT_EQ(documents.size(), 3u);
  for (const auto& document : documents) {
    EXPECT_EQ(document.printer, "Receipt");
    EXPECT_EQ(document.name, "pavix");
    EXPECT_EQ(document.dataType, "RAW");
    EXPECT_TRUE(document.pageStarted && document.pageEnded && document.ended);
    EXPECT_EQ(document.writes, (std::vector<Bytes>{{0x1B, 0x40}, {0x0A}}));
  }
  EXPECT_EQ(spooler_.OpenConnections(), 0);
}

TEST_F(PrintJobTest, EmptyJobsAndBlocksStillMakeDocuments) {
  PrintJob(2, *Job({}));
  PrintJob(1, *Job({{}}));
  EXPECT_EQ(Writes(), (std::vector<std::vector<Bytes>>{{}, {}, {Bytes{}}}));
}

TEST_F(PrintJobTest, NoCopiesPrintNothingButTheJobIsStillChecked) {
  PrintJob(0, *Job({{27}}));
  PrintJob(-5, *Job({{27}}));
  EXPECT_TRUE(spooler_.Documents().empty());
  EXPECT_THROW(PrintJob(0, *List(List(test::Null()))), VariantConversionError);
}

TEST_F(PrintJobTest, ValuesBecomeTheLowByteOfTheirRoundedInteger) {
  PrintJob(1, *Job({{256, -1, 65.5, 66.5, 65.4, 0.5, -0.5, 300, 2147483647, -2147483648.0L}}));
  PrintJob(1, *List(List(test::Str(u"27"), test::Str(u"-1"), test::Str(u"64.5"), test::Str(u"+7"), test::Bool(true),
                         test::Bool(false))));
  EXPECT_EQ(Writes(), (std::vector<std::vector<Bytes>>{
                          {{0x00, 0xFF, 0x42, 0x42, 0x41, 0x00, 0x00, 0x2C, 0xFF, 0x00}},
                          {{0x1B, 0xFF, 0x40, 0x07, 0xFF, 0x00}},
                      }));
}

TEST_F(PrintJobTest, AJobThatDoesNotDecodePrintsNothing) {
  struct Case {
    const char* what;
    std::unique_ptr<TJSONlist> job;
    const char* message;
  };
  Case cases[] = {
      {"blocks that are not lists", List(Num(1), Num(2), Num(3)), "Invalid class typecast"},
      {"null after a good value", List(List(Num(1), test::Null())),
       "Could not convert variant of type (Null) into type (Integer)"},
      {"a list as a value", List(List(List())), "Could not convert variant of type (Null) into type (Integer)"},
      {"text without a number", List(List(test::Str(u"abc"))),
       "Could not convert variant of type (String) into type (Integer)"},
      {"beyond 32 bits", Job({{2147483648.0L}}), "Overflow while converting variant of type (Double) into type (Integer)"},
      {"a good block, then a bad one", List(List(Num(27)), Num(1)), "Invalid class typecast"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    try {
      PrintJob(2, *c.job);
      ADD_FAILURE() << "no error";
    } catch (const Exception& error) {
      EXPECT_STREQ(error.what(), c.message);
    }
  }
  EXPECT_TRUE(spooler_.Documents().empty());
  EXPECT_EQ(spooler_.OpenConnections(), 0);
}

TEST_F(PrintJobTest, ASpoolerFailureIsReportedAndLeavesNothingOpen) {
  using Step = RecordingSpooler::Step;
  struct Case {
    Step step;
    std::size_t accepted;
    const char* message;
  };
  for (const Case& c : {
           Case{Step::Open, 0, "Printer \"receipt\" could not be opened: the printer is offline"},
           Case{Step::StartDocument, 0, "Printer \"receipt\" could not start a document: start document failed"},
           Case{Step::StartPage, 0, "Printer \"receipt\" could not start a page: start page failed"},
           Case{Step::Write, 0, "Printer \"receipt\" rejected the data: write failed"},
           Case{Step::Write, 1, "Printer \"receipt\" rejected the data: write failed"},
           Case{Step::EndPage, 0, "Printer \"receipt\" could not end the page: end page failed"},
           Case{Step::EndDocument, 0, "Printer \"receipt\" could not end the document: end document failed"},
       }) {
    RecordingSpooler spooler({"Receipt"});
    platform::ScopedSpoolerOverride use(spooler);
    spooler.FailOnce(c.step, c.accepted);
    try {
      PrintJob(1, *Job({{27, 64}, {10}}));
      ADD_FAILURE() << "no error";
    } catch (const PrintError& error) {
      EXPECT_STREQ(error.what(), c.message);
    }
    EXPECT_EQ(spooler.OpenConnections(), 0);
    for (const auto& document : spooler.Documents()) EXPECT_TRUE(document.aborted && !document.ended);
  }
}

TEST_F(PrintJobTest, AShortWriteIsAFailure) {
  class ShortWriter final : public platform::ISpooler {
   public:
    std::unique_ptr<platform::IPrinterConnection> Open(const std::string&, std::string&) override {
      class Connection final : public platform::IPrinterConnection {
        bool StartDocument(const std::string&, const std::string&) override { return true; }
        bool StartPage() override { return true; }
        bool Write(std::span<const std::uint8_t> bytes, std::size_t& written) override {
          written = bytes.size() / 2;
          return true;
        }
        bool EndPage() override { return true; }
        bool EndDocument() override { return true; }
        std::string LastErrorText() const override { return ""; }
      };
      return std::make_unique<Connection>();
    }
    std::vector<std::string> InstalledPrinters() override { return {"receipt"}; }
    std::optional<std::string> DefaultPrinter() override { return std::nullopt; }
  } shortWriter;
  platform::ScopedSpoolerOverride use(shortWriter);
  try {
    PrintJob(1, *Job({{1, 2, 3, 4}}));
    ADD_FAILURE() << "no error";
  } catch (const PrintError& error) {
    EXPECT_STREQ(error.what(), "Printer \"receipt\" accepted only 2 of 4 bytes");
  }
}

TEST_F(PrintJobTest, AFailedCopyStopsTheJobAndSaysWhichCopy) {
  // The second copy's document cannot be started: the first was printed, the third is not tried.
  class FailSecondOpen final : public platform::ISpooler {
   public:
    explicit FailSecondOpen(platform::ISpooler& inner) : inner_(inner) {}
    std::unique_ptr<platform::IPrinterConnection> Open(const std::string& name, std::string& error) override {
      if (++opens_ == 2) {
        error = "out of paper";
        return nullptr;
      }
      return inner_.Open(name, error);
    }
    std::vector<std::string> InstalledPrinters() override { return inner_.InstalledPrinters(); }
    std::optional<std::string> DefaultPrinter() override { return std::nullopt; }

   private:
    platform::ISpooler& inner_;
    int opens_ = 0;
  } failing(spooler_);
  platform::ScopedSpoolerOverride use(failing);
  try {
    PrintJob(3, *Job({{27, 64}}));
    ADD_FAILURE() << "no error";
  } catch (const PrintError& error) {
    EXPECT_STREQ(error.what(), "Printer \"receipt\" could not be opened: out of paper (copy 2 of 3)");
  }
  ASSERT_EQ(spooler_.Documents().size(), 1u);
  EXPECT_TRUE(spooler_.Documents()[0].ended);
}

TEST_F(PrintJobTest, AMissingOrUnsetPrinterIsAnError) {
  NameValueList settings;
  settings.Add("PrinterName", "Removed");
  ASSERT_TRUE(WriteSettings(settings));
  try {
    PrintJob(1, *Job({{27}}));
    ADD_FAILURE() << "no error";
  } catch (const PrintError& error) {
    EXPECT_STREQ(error.what(), "Printer \"Removed\" could not be opened: no such printer");
  }
  settings = NameValueList();
  settings.Add("PrinterName", "");
  ASSERT_TRUE(WriteSettings(settings));
  EXPECT_THROW(PrintJob(1, *Job({{27}})), PrintError);
  EXPECT_TRUE(spooler_.Documents().empty());
  EXPECT_EQ(spooler_.OpenConnections(), 0);
}

TEST(PrintJobVirtualPrinter, EachCopyBecomesOneFile) {
  test::FreshSettingsStore store;
  test::TempDir folder;
  test::ScopedEnv printerFolder("PAVIX_VIRTUAL_PRINTER_DIR", folder.Path().string());
  NameValueList settings;
  settings.Add("PrinterName", "Pavix Virtual Printer");
  ASSERT_TRUE(WriteSettings(settings));
  PrintJob(3, *Job({{27, 64}, {10}}));
  for (const char* name : {"000001-pavix.prn", "000002-pavix.prn", "000003-pavix.prn"}) {
    EXPECT_EQ(test::ReadFileBytes(folder / name), (std::vector<unsigned char>{0x1B, 0x40, 0x0A})) << name;
  }
}

}  // namespace
}  // namespace pavix
