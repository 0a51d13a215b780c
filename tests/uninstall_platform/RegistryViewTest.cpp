// The registry as a 32-bit program of the prefix sees it: the five roots, link keys, the
// Wow6432Node view, services, the pending rename list and the Windows version.
#include <gtest/gtest.h>

#include "TestPrefix.h"

namespace yarb {
namespace {

class RegistryView : public ::testing::Test {
 protected:
  void SetUp() override {
    p = pfx.Open();
    ASSERT_NE(p, nullptr);
  }
  std::string Query(RegRoot root, const std::string& key, const std::string& name) {
    RegValue v;
    return p->RegQueryValue(root, key, name, &v) ? v.AsString() : "<none>";
  }
  std::string SystemReg() {
    EXPECT_TRUE(p->Flush());
    return test::ReadText(pfx.dir() + "/system.reg");
  }
  test::TempPrefix pfx;
  std::unique_ptr<WinePrefix> p;
};

TEST_F(RegistryView, RootsAndViews) {
  const struct { RegRoot root; const char* key; const char* name; const char* value; bool view32; } cases[] = {
      {RegRoot::LocalMachine, "Software\\Vendor", "Where", "32", true},
      {RegRoot::LocalMachine, "SOFTWARE\\VENDOR", "where", "32", true},
      {RegRoot::LocalMachine, "Software\\Vendor", "Where", "64", false},
      {RegRoot::LocalMachine, "Software\\Wow6432Node\\Vendor", "Where", "32", false},
      // Classes: CLSID differs per view, .txt is shared.
      {RegRoot::ClassesRoot, "CLSID\\{11111111-0000-0000-0000-000000000000}", "", "32-bit server", true},
      {RegRoot::ClassesRoot, "CLSID\\{11111111-0000-0000-0000-000000000000}", "", "64-bit server", false},
      {RegRoot::ClassesRoot, ".txt", "Content Type", "text/plain", true},
      {RegRoot::LocalMachine, "Software\\Classes\\.txt", "", "txtfile", true},
      // Through the CurrentControlSet link.
      {RegRoot::LocalMachine, "System\\CurrentControlSet\\Services\\VellSvc", "ImagePath", "C:\\windows\\vellsvc.exe", true},
      {RegRoot::CurrentUser, "Environment", "TEMP", "C:\\users\\tester\\Temp", true},
      {RegRoot::Users, "S-1-5-21-0-0-0-1000\\Control Panel\\Desktop", "Wallpaper", "", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.key) + " " + c.name);
    p->SetView32(c.view32);
    EXPECT_EQ(Query(c.root, c.key, c.name), c.value);
  }
  p->SetView32(true);
  std::string name;
  ASSERT_TRUE(p->RegEnumKey(RegRoot::Users, "", 0, &name));
  EXPECT_EQ(name, ".Default");
  ASSERT_TRUE(p->RegEnumKey(RegRoot::Users, "", 1, &name));
  EXPECT_EQ(name, "S-1-5-21-0-0-0-1000");
  EXPECT_FALSE(p->RegEnumKey(RegRoot::Users, "", 2, &name));
  EXPECT_TRUE(p->RegKeyExists(RegRoot::Users, ".DEFAULT\\Control Panel"));
  EXPECT_FALSE(p->RegKeyExists(RegRoot::LocalMachine, "Software\\Nothing"));
}

TEST_F(RegistryView, ValuesOfEveryTypeGoThroughTheAnsiInterface) {
  const std::string key = "Software\\Vell";
  ASSERT_TRUE(p->RegCreateKey(RegRoot::LocalMachine, key));
  const struct { const char* name; RegValue value; const char* line; } cases[] = {
      {"sz", RegValue::Sz("caf\xe9 \"1\""), "\"sz\"=\"caf\\xe9 \\\"1\\\"\"\n"},
      {"exp", RegValue::ExpandSz("%ProgramFiles%\\Vell"), "\"exp\"=str(2):\"%ProgramFiles%\\\\Vell\"\n"},
      {"multi", RegValue::MultiSz({"a", "\x80"}), "\"multi\"=str(7):\"a\\0\\x20ac\\0\"\n"},
      {"dw", RegValue::Dword(0xdeadbeef), "\"dw\"=dword:deadbeef\n"},
      {"bin", RegValue::Binary({0, 1, 0xfe}), "\"bin\"=hex:00,01,fe\n"},
  };
  for (const auto& c : cases) ASSERT_TRUE(p->RegSetValue(RegRoot::LocalMachine, key, c.name, c.value)) << c.name;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    RegValue back;
    ASSERT_TRUE(p->RegQueryValue(RegRoot::LocalMachine, key, c.name, &back));
    EXPECT_EQ(back.type, c.value.type);
    EXPECT_EQ(back.data, c.value.data);
  }
  std::string text = SystemReg();
  // Created by a 32-bit program: below Wow6432Node, values sorted.
  size_t at = text.find("\n[Software\\\\Wow6432Node\\\\Vell] ");
  ASSERT_NE(at, std::string::npos);
  std::string block = text.substr(text.find('\n', text.find("#time=", at)) + 1);
  block = block.substr(0, block.find("\n\n") + 1);
  EXPECT_EQ(block, std::string(cases[4].line) + cases[3].line + cases[1].line + cases[2].line + cases[0].line);
  std::string name;
  RegValue v;
  ASSERT_TRUE(p->RegEnumValue(RegRoot::LocalMachine, key, 0, &name, &v));
  EXPECT_EQ(name, "bin");
  EXPECT_FALSE(p->RegEnumValue(RegRoot::LocalMachine, key, 5, &name, &v));
}

TEST_F(RegistryView, SetValueNeedsTheKey) {
  EXPECT_FALSE(p->RegSetValue(RegRoot::LocalMachine, "Software\\Missing", "v", RegValue::Sz("x")));
  EXPECT_FALSE(p->RegDeleteValue(RegRoot::LocalMachine, "Software\\Vendor", "missing"));
}

TEST_F(RegistryView, NewClassesGoToTheSharedKey) {
  ASSERT_TRUE(p->RegCreateKey(RegRoot::ClassesRoot, ".vell\\ShellNew"));
  ASSERT_TRUE(p->RegCreateKey(RegRoot::ClassesRoot, "CLSID\\{22222222-0000-0000-0000-000000000000}"));
  std::string text = SystemReg();
  EXPECT_NE(text.find("\n[Software\\\\Classes\\\\.vell\\\\ShellNew] "), std::string::npos);
  EXPECT_NE(text.find("\n[Software\\\\Classes\\\\Wow6432Node\\\\CLSID\\\\{22222222-0000-0000-0000-000000000000}] "),
            std::string::npos);
}

TEST_F(RegistryView, DeletingAKeyChainAsTheEngineDoes) {
  ASSERT_TRUE(p->RegCreateKey(RegRoot::LocalMachine, "Software\\Yarb\\Vell\\Settings"));
  ASSERT_TRUE(p->RegSetValue(RegRoot::LocalMachine, "Software\\Yarb\\Vell\\Settings", "a", RegValue::Sz("1")));
  EXPECT_FALSE(p->RegDeleteKey(RegRoot::LocalMachine, "Software\\Yarb\\Vell"));  // has a subkey
  ASSERT_TRUE(p->RegDeleteKey(RegRoot::LocalMachine, "Software\\Yarb\\Vell\\Settings"));
  ASSERT_TRUE(p->RegDeleteKey(RegRoot::LocalMachine, "Software\\Yarb\\Vell"));
  ASSERT_TRUE(p->RegDeleteKey(RegRoot::LocalMachine, "Software\\Yarb"));
  EXPECT_FALSE(p->RegKeyExists(RegRoot::LocalMachine, "Software\\Yarb"));
  EXPECT_EQ(SystemReg(), test::kSystemReg);
}

TEST_F(RegistryView, ServicesBehindTheLinkKey) {
  EXPECT_TRUE(p->OpenServiceManager());
  EXPECT_EQ(p->QueryService("vellsvc"), ServiceState::Stopped);
  EXPECT_EQ(p->QueryService("Other"), ServiceState::Missing);
  EXPECT_TRUE(p->StopService("VellSvc"));
  ASSERT_TRUE(p->DeleteService("VellSvc"));
  EXPECT_EQ(p->QueryService("VellSvc"), ServiceState::Missing);
  std::string text = SystemReg();
  EXPECT_EQ(text.find("VellSvc"), std::string::npos);
  EXPECT_NE(text.find("[System\\\\CurrentControlSet] 1796757409\n#time=1dd8748aca710d8\n#link\n"), std::string::npos);
  EXPECT_FALSE(p->DeleteService("..\\Control"));
}

TEST_F(RegistryView, ServicesOfTheOlderLayoutWithoutLink) {
  std::string text = test::kSystemReg;
  text = text.substr(0, text.find("\n[System\\\\CurrentControlSet]") + 1);
  size_t at;
  while ((at = text.find("ControlSet001")) != std::string::npos) text.replace(at, 13, "CurrentControlSet");
  test::WriteText(pfx.dir() + "/system.reg", text);
  p = pfx.Open();
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(p->QueryService("VellSvc"), ServiceState::Stopped);
  ASSERT_TRUE(p->DeleteService("VellSvc"));
  ASSERT_TRUE(p->MoveFileDelayed("C:\\a.tmp", "", false));
  EXPECT_NE(SystemReg().find("[System\\\\CurrentControlSet\\\\Control\\\\Session Manager] "), std::string::npos);
}

TEST_F(RegistryView, PendingRenamesAsWineKeepsThem) {
  ASSERT_TRUE(p->MoveFileDelayed("C:\\Program Files\\Vell\\in use.dll", "", false));
  ASSERT_TRUE(p->MoveFileDelayed("c:\\windows\\~QZX0000.TMP", "C:\\windows\\system32\\vell.dll", true));
  ASSERT_TRUE(p->MoveFileDelayed("C:\\x", "C:\\y", false));
  auto pending = p->PendingRenames();
  ASSERT_EQ(pending.size(), 3u);
  EXPECT_EQ(pending[0], (std::pair<std::string, std::string>{"\\??\\C:\\Program Files\\Vell\\in use.dll", ""}));
  EXPECT_EQ(pending[1], (std::pair<std::string, std::string>{"\\??\\C:\\windows\\~QZX0000.TMP",
                                                             "!\\??\\C:\\windows\\system32\\vell.dll"}));
  EXPECT_EQ(pending[2], (std::pair<std::string, std::string>{"\\??\\C:\\x", "\\??\\C:\\y"}));
  std::string text = SystemReg();
  size_t at = text.find("[System\\\\ControlSet001\\\\Control\\\\Session Manager] ");
  ASSERT_NE(at, std::string::npos);
  EXPECT_NE(text.find("\"GlobalFlag\"=dword:00000000\n"
                      "\"PendingFileRenameOperations\"=str(7):\"\\\\??\\\\C:\\\\Program Files\\\\Vell\\\\in use.dll\\0\\0"
                      "\\\\??\\\\C:\\\\windows\\\\~QZX0000.TMP\\0!\\\\??\\\\C:\\\\windows\\\\system32\\\\vell.dll\\0"
                      "\\\\??\\\\C:\\\\x\\0\\\\??\\\\C:\\\\y\\0\"\n",
                      at),
            std::string::npos);
}

TEST_F(RegistryView, VersionInWinesOrder) {
  WinVersion v = p->Version();
  EXPECT_TRUE(v.nt);
  EXPECT_EQ(v.major, 6);
  EXPECT_EQ(v.minor, 1);
  EXPECT_EQ(v.build, 7601);

  ASSERT_TRUE(p->RegCreateKey(RegRoot::CurrentUser, "Software\\Wine"));
  ASSERT_TRUE(p->RegSetValue(RegRoot::CurrentUser, "Software\\Wine", "Version", RegValue::Sz("win98")));
  v = p->Version();
  EXPECT_FALSE(v.nt);
  EXPECT_EQ(v.major, 4);
  EXPECT_EQ(v.minor, 10);

  ASSERT_TRUE(p->RegCreateKey(RegRoot::CurrentUser, "Software\\Wine\\AppDefaults\\unyarb32.exe"));
  ASSERT_TRUE(p->RegSetValue(RegRoot::CurrentUser, "Software\\Wine\\AppDefaults\\unyarb32.exe", "Version",
                             RegValue::Sz("winxp")));
  v = p->Version();
  EXPECT_TRUE(v.nt);
  EXPECT_EQ(v.major, 5);
  EXPECT_EQ(v.minor, 1);

  ASSERT_TRUE(p->RegDeleteKey(RegRoot::CurrentUser, "Software\\Wine\\AppDefaults\\unyarb32.exe"));
  ASSERT_TRUE(p->RegSetValue(RegRoot::CurrentUser, "Software\\Wine", "Version", RegValue::Sz("bogus")));
  const std::string nt = "Software\\Microsoft\\Windows NT\\CurrentVersion";
  p->SetView32(false);
  ASSERT_TRUE(p->RegDeleteValue(RegRoot::LocalMachine, nt, "CurrentVersion"));
  ASSERT_TRUE(p->RegSetValue(RegRoot::LocalMachine, nt, "CurrentMajorVersionNumber", RegValue::Dword(10)));
  v = p->Version();
  EXPECT_TRUE(v.nt);
  EXPECT_EQ(v.major, 10);
  EXPECT_EQ(v.minor, 0);

  ASSERT_TRUE(p->RegDeleteValue(RegRoot::LocalMachine, nt, "CurrentMajorVersionNumber"));
  ASSERT_TRUE(p->RegCreateKey(RegRoot::LocalMachine, "Software\\Microsoft\\Windows\\CurrentVersion"));
  ASSERT_TRUE(p->RegSetValue(RegRoot::LocalMachine, "Software\\Microsoft\\Windows\\CurrentVersion", "VersionNumber",
                             RegValue::Sz("4.00.950")));
  v = p->Version();
  EXPECT_FALSE(v.nt);
  EXPECT_EQ(v.major, 4);
  EXPECT_EQ(v.minor, 0);
  EXPECT_EQ(v.build, 950);
}

TEST_F(RegistryView, BrokenLinksAreNotFollowed) {
  std::string text = std::string(test::kSystemReg) +
                     "\n[Software\\\\Loop] 1\n#link\n\"SymbolicLinkValue\"=hex(6):5c,00,52,00,65,00,67,00,69,00,73,00,"
                     "74,00,72,00,79,00,5c,00,4d,00,61,00,63,00,68,00,69,00,6e,00,65,00,5c,00,53,00,6f,00,66,00,74,"
                     "00,77,00,61,00,72,00,65,00,5c,00,4c,00,6f,00,6f,00,70,00\n"
                     "\n[Software\\\\Nowhere] 1\n#link\n\"SymbolicLinkValue\"=hex(6):41,00\n";
  test::WriteText(pfx.dir() + "/system.reg", text);
  p = pfx.Open();
  ASSERT_NE(p, nullptr);
  p->SetView32(false);
  EXPECT_FALSE(p->RegKeyExists(RegRoot::LocalMachine, "Software\\Loop"));
  EXPECT_FALSE(p->RegKeyExists(RegRoot::LocalMachine, "Software\\Nowhere\\x"));
  EXPECT_FALSE(p->RegCreateKey(RegRoot::LocalMachine, "Software\\Loop\\x"));
}

}  // namespace
}  // namespace yarb
