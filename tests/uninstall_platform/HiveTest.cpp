// Hive text in Wine's format: reading every value type, writing values and keys exactly as
// Wine does, and keeping the keys we did not touch byte for byte.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "Encoding.h"
#include "RegistryHive.h"
#include "TestPrefix.h"

namespace yarb {
namespace {

using reg::Hive;
using reg::Key;
using reg::Value;

const char* kHeader =
    "WINE REGISTRY Version 2\n"
    ";; All keys relative to REGISTRY\\\\Machine\n"
    "\n"
    "#arch=win64\n";

std::vector<uint8_t> Utf16(const std::u16string& s) {
  std::vector<uint8_t> out;
  for (char16_t c : s) {
    out.push_back(c & 0xff);
    out.push_back(c >> 8);
  }
  return out;
}

Key* Find(Hive& h, std::initializer_list<std::u16string> path) {
  Key* k = &h.Root();
  for (const auto& n : path) {
    if (!k) return nullptr;
    k = k->FindSubkey(n);
  }
  return k;
}

struct ValueCase {
  const char* line;
  uint32_t type;
  std::vector<uint8_t> data;
};

TEST(Hive, ReadsEveryValueType) {
  const ValueCase cases[] = {
      {"@=\"txtfile\"", 1, Utf16(std::u16string(u"txtfile") + u'\0')},
      {"\"a\"=str:\"x\"", 1, Utf16(std::u16string(u"x") + u'\0')},
      {"\"a\"=str(2):\"%SystemRoot%\\\\x\"", 2, Utf16(std::u16string(u"%SystemRoot%\\x") + u'\0')},
      {"\"a\"=str(7):\"one\\0two\\0\"", 7, Utf16(std::u16string(u"one\0two\0\0", 9))},
      {"\"a\"=dword:0000002a", 4, {0x2a, 0, 0, 0}},
      {"\"a\"=dword:ffffffff", 4, {0xff, 0xff, 0xff, 0xff}},
      {"\"a\"=hex:01,ff,7f", 3, {1, 0xff, 0x7f}},
      {"\"a\"=hex:", 3, {}},
      {"\"a\"=hex(0):", 0, {}},
      {"\"a\"=hex(b):01,02,03,04,05,06,07,08", 11, {1, 2, 3, 4, 5, 6, 7, 8}},
      {"\"a\"=hex(100):ff", 0x100, {0xff}},
      {"\"a\"=hex(1):41,00", 1, {0x41, 0}},
      // Escapes: C escapes, octal, \x with up to four digits, escaped quote and backslash.
      {"\"a\"=\"q\\\"b\\\\t\\t\\e\\001\\x263a\\xe9z\"", 1,
       Utf16(std::u16string(u"q\"b\\t\t\x1b\x01\x263a\xe9z") + u'\0')},
      // Raw UTF-8 is read too.
      {"\"a\"=\"caf\xc3\xa9\"", 1, Utf16(std::u16string(u"caf\xe9") + u'\0')},
      // Malformed data leaves an empty value of no type, as Wine does.
      {"\"a\"=hex:1ff", 0, {}},
      {"\"a\"=unknown", 0, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    Hive h;
    std::string error;
    ASSERT_TRUE(h.Parse(std::string(kHeader) + "\n[K] 1\n" + c.line + "\n", &error));
    Key* k = Find(h, {u"K"});
    ASSERT_NE(k, nullptr);
    ASSERT_EQ(k->values.size(), 1u);
    EXPECT_EQ(k->values[0].type, c.type);
    EXPECT_EQ(k->values[0].data, c.data);
  }
}

TEST(Hive, HexContinuesOverLines) {
  Hive h;
  ASSERT_TRUE(h.Parse(std::string(kHeader) + "\n[K] 1\n\"v\"=hex:01,02,\\\n  03,\\\n  04\n\"w\"=dword:1\n", nullptr));
  Key* k = Find(h, {u"K"});
  ASSERT_NE(k, nullptr);
  ASSERT_EQ(k->values.size(), 2u);
  EXPECT_EQ(k->values[0].data, (std::vector<uint8_t>{1, 2, 3, 4}));
  EXPECT_EQ(k->values[1].data, (std::vector<uint8_t>{1, 0, 0, 0}));
}

TEST(Hive, KeyLinesAndOptions) {
  Hive h;
  ASSERT_TRUE(h.Parse(std::string(kHeader) +
                          "\n[A\\\\B\\[x\\]] 1796757415\n#time=1dd8748b03a9418\n#class=\"Cls\"\n#link\n#future=1\n"
                          "\n[A\\\\B\\[x\\]\\\\\\x263a] 5\n",
                      nullptr));
  Key* k = Find(h, {u"A", u"B[x]"});
  ASSERT_NE(k, nullptr);
  EXPECT_TRUE(k->link);
  EXPECT_TRUE(k->hasClass);
  EXPECT_EQ(k->keyClass, u"Cls");
  EXPECT_EQ(k->modif, 0x1dd8748b03a9418ull);
  ASSERT_NE(Find(h, {u"A", u"B[x]", u"\x263a"}), nullptr);
  // A parent without its own line takes its time from the first child.
  EXPECT_EQ(Find(h, {u"A"})->modif, 0x1dd8748b03a9418ull);
}

TEST(Hive, RejectsWrongHeaderOnly) {
  Hive h;
  std::string error;
  EXPECT_FALSE(h.Parse("REGEDIT4\n[K]\n", &error));
  EXPECT_FALSE(error.empty());
  EXPECT_FALSE(h.Parse("", &error));
  // Garbage below a good header is skipped line by line.
  EXPECT_TRUE(h.Parse(std::string(kHeader) + "garbage\n[bad\n\"v\"=\"lost\"\n[K] 1\n\"v\"=\"kept\"\n", &error));
  ASSERT_NE(Find(h, {u"K"}), nullptr);
  EXPECT_EQ(h.Root().subkeys.size(), 1u);
}

struct FormatCase {
  Value value;
  const char* text;
};

TEST(Hive, FormatsValuesAsWine) {
  std::vector<uint8_t> link = Utf16(u"\\Registry\\Machine\\System\\ControlSet001");
  const FormatCase cases[] = {
      {{u"", 1, Utf16(std::u16string(u"C:\\windows") + u'\0')}, "@=\"C:\\\\windows\"\n"},
      {{u"q\"", 2, Utf16(std::u16string(u"%a%") + u'\0')}, "\"q\\\"\"=str(2):\"%a%\"\n"},
      {{u"m", 7, Utf16(std::u16string(u"a\0b\0\0", 5))}, "\"m\"=str(7):\"a\\0b\\0\"\n"},
      {{u"d", 4, {0x2a, 0, 0, 0}}, "\"d\"=dword:0000002a\n"},
      {{u"b", 3, {1, 2}}, "\"b\"=hex:01,02\n"},
      {{u"e", 3, {}}, "\"e\"=hex:\n"},
      // Strings that are not whole UTF-16 text ending in NUL are written as hex.
      {{u"s", 1, {0x41, 0x00, 0x42}}, "\"s\"=hex(1):41,00,42\n"},
      {{u"n", 1, Utf16(u"AB")}, "\"n\"=hex(1):41,00,42,00\n"},
      {{u"w", 4, {1, 2}}, "\"w\"=hex(4):01,02\n"},
      {{u"x", 0x100, {0xff}}, "\"x\"=hex(100):ff\n"},
      // Escapes: a hex escape takes four digits when a hex digit follows.
      {{u"u", 1, Utf16(std::u16string(u"\xe9" u"1\xe9z\x1b\x01" u"7\t") + u'\0')},
       "\"u\"=\"\\x00e91\\xe9z\\e\\0017\\t\"\n"},
      // Long data breaks after the comma that passes column 76.
      {{u"SymbolicLinkValue", 6, link},
       "\"SymbolicLinkValue\"=hex(6):5c,00,52,00,65,00,67,00,69,00,73,00,74,00,72,00,79,\\\n"
       "  00,5c,00,4d,00,61,00,63,00,68,00,69,00,6e,00,65,00,5c,00,53,00,79,00,73,00,\\\n"
       "  74,00,65,00,6d,00,5c,00,43,00,6f,00,6e,00,74,00,72,00,6f,00,6c,00,53,00,65,\\\n"
       "  00,74,00,30,00,30,00,31,00\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(reg::FormatValue(c.value), c.text);
  }
}

TEST(Hive, EveryValueSurvivesWriteAndRead) {
  Hive h;
  ASSERT_TRUE(h.Parse(std::string(kHeader), nullptr));
  Key* k = h.Root().AddSubkey(u"K[1]", 0x1dd8748b03a9418ull);
  std::vector<Value> values = {
      {u"", 1, Utf16(std::u16string(u"default") + u'\0')},
      {u"bin", 3, std::vector<uint8_t>(200, 0xab)},
      {u"dw", 4, {0xef, 0xbe, 0xad, 0xde}},
      {u"exp", 2, Utf16(std::u16string(u"%PATH%;\"x\"") + u'\0')},
      {u"multi", 7, Utf16(std::u16string(u"a\0\x263a\0\0", 5))},
      {u"none", 0, {}},
      {u"odd", 1, {0x41}},
      {u"q\"\\[]", 1, Utf16(std::u16string(u"\n\r\a\b\v\f\x7f\x80\xffff") + u'\0')},
  };
  for (const auto& v : values) k->SetValue(v.name, v.type, v.data, 0x1dd8748b03a9418ull);
  std::string text = h.Serialize();
  Hive back;
  ASSERT_TRUE(back.Parse(text, nullptr));
  Key* r = Find(back, {u"K[1]"});
  ASSERT_NE(r, nullptr);
  ASSERT_EQ(r->values.size(), values.size());
  for (size_t i = 0; i < values.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(r->values[i].name, values[i].name);
    EXPECT_EQ(r->values[i].type, values[i].type);
    EXPECT_EQ(r->values[i].data, values[i].data);
  }
  EXPECT_EQ(back.Serialize(), text);
  EXPECT_NE(text.find("\n[K\\[1\\]] 1796757415\n#time=1dd8748b03a9418\n@=\"default\"\n"), std::string::npos);
}

TEST(Hive, UntouchedTextIsKeptByteForByte) {
  // Not Wine's canonical form: comments, CR LF on one line, unknown options, no time,
  // unsorted keys, a malformed line. All of it stays while its keys are untouched.
  std::string text = std::string(kHeader) +
                     "; a comment\n"
                     "\n[B] 1\r\n\"v\"=\"1\"\n#weird\n; note\n"
                     "\n[A]\n\"x\"=hex:01,\\\n   02\nnonsense line\n"
                     "\n[C\\\\D] 3\n\"y\"=dword:1\n";
  Hive h;
  ASSERT_TRUE(h.Parse(text, nullptr));
  EXPECT_EQ(h.Serialize(), std::string(kHeader) + "; a comment\n" +
                               "\n[A]\n\"x\"=hex:01,\\\n   02\nnonsense line\n"
                               "\n[B] 1\r\n\"v\"=\"1\"\n#weird\n; note\n"
                               "\n[C\\\\D] 3\n\"y\"=dword:1\n");
  // Changing B rewrites B alone.
  Key* b = Find(h, {u"B"});
  b->SetValue(u"v", 1, Utf16(std::u16string(u"2") + u'\0'), 0x1dd8748b03a9418ull);
  EXPECT_EQ(h.Serialize(), std::string(kHeader) + "; a comment\n" +
                               "\n[A]\n\"x\"=hex:01,\\\n   02\nnonsense line\n"
                               "\n[B] 1796757415\n#time=1dd8748b03a9418\n\"v\"=\"2\"\n"
                               "\n[C\\\\D] 3\n\"y\"=dword:1\n");
}

TEST(Hive, WinesOwnTextIsReproducedWhenEveryKeyIsRewritten) {
  Hive h;
  ASSERT_TRUE(h.Parse(test::kSystemReg, nullptr));
  std::vector<Key*> stack{&h.Root()};
  while (!stack.empty()) {
    Key* k = stack.back();
    stack.pop_back();
    k->changed = true;
    for (auto& s : k->subkeys) stack.push_back(s.get());
  }
  EXPECT_EQ(h.Serialize(), test::kSystemReg);
}

TEST(Hive, RemovingTheLastSubkeyGivesTheParentItsOwnLine) {
  Hive h;
  ASSERT_TRUE(h.Parse(std::string(kHeader) + "\n[P\\\\Q] 1796757415\n#time=1dd8748b03a9418\n\"v\"=\"1\"\n", nullptr));
  Key* p = Find(h, {u"P"});
  ASSERT_TRUE(p->RemoveSubkey(p->FindSubkey(u"Q")));
  // Without a line of its own P would be lost when Wine reads the file back.
  EXPECT_EQ(h.Serialize(), std::string(kHeader) + "\n[P] 1796757415\n#time=1dd8748b03a9418\n");
}

TEST(Hive, DeepAndLongKeysAreRefused) {
  std::string deep = "[";
  for (int i = 0; i < 600; ++i) deep += "k\\\\";
  deep += "k] 1\n";
  std::string longName = "[" + std::string(300, 'n') + "] 1\n";
  Hive h;
  ASSERT_TRUE(h.Parse(std::string(kHeader) + deep + longName + "[ok] 1\n", nullptr));
  EXPECT_EQ(h.Root().subkeys.size(), 1u);
  EXPECT_EQ(h.Root().subkeys[0]->name, u"ok");
}

TEST(Hive, SubkeysAndValuesSortWithoutCase) {
  Hive h;
  ASSERT_TRUE(h.Parse(std::string(kHeader), nullptr));
  for (const char16_t* n : {u"beta", u"Alpha", u"alpha2", u"GAMMA"}) h.Root().AddSubkey(n, 1);
  EXPECT_EQ(h.Root().AddSubkey(u"ALPHA", 1)->name, u"Alpha");
  std::vector<std::u16string> order;
  for (auto& k : h.Root().subkeys) order.push_back(k->name);
  EXPECT_EQ(order, (std::vector<std::u16string>{u"Alpha", u"alpha2", u"beta", u"GAMMA"}));
}

TEST(HivePlatform, FlushWritesOnlyChangedHivesAndKeepsOtherKeys) {
  test::TempPrefix pfx;
  struct stat before;
  ASSERT_EQ(::stat((pfx.dir() + "/user.reg").c_str(), &before), 0);
  {
    auto p = pfx.Open();
    ASSERT_NE(p, nullptr);
    ASSERT_TRUE(p->RegSetValue(RegRoot::LocalMachine, "System\\CurrentControlSet\\Services\\VellSvc", "Start",
                               RegValue::Dword(4)));
    ASSERT_TRUE(p->Flush());
  }
  std::string text = test::ReadText(pfx.dir() + "/system.reg");
  std::string expected = test::kSystemReg;
  size_t at = expected.find("[System\\\\ControlSet001\\\\Services\\\\VellSvc] 1796757415\n#time=1dd8748b04009ca\n");
  ASSERT_NE(at, std::string::npos);
  size_t end = expected.find("\n\n", at);
  // Everything but the changed key's block is the same text.
  EXPECT_EQ(text.substr(0, at), expected.substr(0, at));
  size_t endNew = text.find("\n\n", at);
  ASSERT_NE(endNew, std::string::npos);
  EXPECT_EQ(text.substr(endNew), expected.substr(end));
  std::string block = text.substr(at, endNew - at);
  EXPECT_NE(block.find("\"ImagePath\"=str(2):\"C:\\\\windows\\\\vellsvc.exe\"\n\"Start\"=dword:00000004"), std::string::npos);
  // user.reg was not touched at all (same inode: not even rewritten).
  struct stat after;
  ASSERT_EQ(::stat((pfx.dir() + "/user.reg").c_str(), &after), 0);
  EXPECT_EQ(after.st_ino, before.st_ino);
  EXPECT_EQ(test::ReadText(pfx.dir() + "/user.reg"), test::kUserReg);
}

}  // namespace
}  // namespace yarb
