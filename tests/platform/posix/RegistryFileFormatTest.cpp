#include "RegistryFileFormat.h"

#include <gtest/gtest.h>

namespace pavix::platform {
namespace {

TEST(RegistryFileFormat, ReadsWhatAnAdministratorMayHaveEdited) {
  const std::string text =
      "\xEF\xBB\xBFWindows Registry Editor Version 5.00\r\n\r\n"
      "; printers of the front desk\r\n"
      "[HKEY_LOCAL_MACHINE\\Software\\Other]\r\n"
      "\"Name\"=\"other\"\r\n"
      "[hkey_local_machine\\SOFTWARE\\PavixRuzadOridova]\r\n"
      "\"PrinterName\"=\"Front \\\"desk\\\" C:\\\\prn\"\r\n"
      "\"Count\"=dword:00000001\r\n"
      "\"Blob\"=hex:01,02,\\\r\n  03\r\n"
      "\"Multi\"=\"line one\nline two\"\r\n"
      "\"printername\"=\"Later\"\r\n"
      "garbage line\r\n"
      "\"Unclosed\"=\"x\r\n";
  RegistryFile file = ParseRegistryFile(text);
  ASSERT_EQ(file.keys.size(), 2u);
  const RegistryFileKey* key = file.FindKey("HKEY_LOCAL_MACHINE\\SoftWare\\PavixRuzadOridova");
  ASSERT_NE(key, nullptr);
  struct Expected {
    const char* name;
    bool isString;
    const char* data;
  };
  for (const Expected& e : {Expected{"PRINTERNAME", true, "Later"}, Expected{"Count", false, "dword:00000001"},
                            Expected{"Blob", false, "hex:01,02,03"}, Expected{"Multi", true, "line one\nline two"}}) {
    SCOPED_TRACE(e.name);
    const RegistryFileValue* value = RegistryFile::FindValue(*key, e.name);
    ASSERT_NE(value, nullptr);
    EXPECT_EQ(value->isString, e.isString);
    EXPECT_EQ(value->data, e.data);
  }
}

TEST(RegistryFileFormat, WritesWhatItReadsBack) {
  RegistryFile file;
  file.keys.push_back({"HKEY_LOCAL_MACHINE\\SoftWare\\PavixRuzadOridova", {}});
  RegistryFile::SetString(file.keys[0], "PrinterName", "Front \"desk\" C:\\prn\n2");
  file.keys[0].values.push_back({"Count", false, "dword:00000001"});
  const std::string text = FormatRegistryFile(file);
  EXPECT_EQ(text,
            "Windows Registry Editor Version 5.00\n\n"
            "[HKEY_LOCAL_MACHINE\\SoftWare\\PavixRuzadOridova]\n"
            "\"PrinterName\"=\"Front \\\"desk\\\" C:\\\\prn\n2\"\n"
            "\"Count\"=dword:00000001\n");
  RegistryFile again = ParseRegistryFile(text);
  ASSERT_EQ(again.keys.size(), 1u);
  EXPECT_EQ(RegistryFile::FindValue(again.keys[0], "PrinterName")->data, "Front \"desk\" C:\\prn\n2");
  EXPECT_EQ(FormatRegistryFile(again), text);
}

}  // namespace
}  // namespace pavix::platform
