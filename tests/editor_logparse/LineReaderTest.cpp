// Splitting a log into lines: every line end, and inputs too big to hold.
#include <gtest/gtest.h>

#include <istream>
#include <sstream>
#include <streambuf>
#include <string>
#include <vector>

#include "editor/LogParse.h"
#include "editor/OperationLog.h"

namespace vell {
namespace {

std::vector<std::string> ReadAll(const std::string& bytes, std::string* error = nullptr) {
  std::istringstream in(bytes);
  TLogLineReader reader(in);
  std::vector<std::string> lines;
  std::string line;
  while (reader.Next(line)) {
    lines.push_back(line);
    EXPECT_EQ(reader.LineNumber(), lines.size());
  }
  if (error) *error = reader.Error();
  return lines;
}

TEST(LogLineReader, LineEnds) {
  using V = std::vector<std::string>;
  const std::pair<std::string, V> cases[] = {
      {"", {}},
      {"a", {"a"}},
      {"a\r\n", {"a"}},
      {"a\r\nb\nc\rd", {"a", "b", "c", "d"}},
      {"a\n\nb", {"a", "", "b"}},
      {"\r\n\r\n", {"", ""}},
      {"a\r", {"a"}},
      {"a\n\rb", {"a", "", "b"}},
      {"a\r\r\nb\n", {"a", "", "b"}},
      {"\n", {""}},
      {std::string("x\0y\r\n", 5), {std::string("x\0y", 3)}},
  };
  for (const auto& [bytes, expected] : cases) {
    SCOPED_TRACE(testing::PrintToString(bytes));
    std::string error;
    EXPECT_EQ(ReadAll(bytes, &error), expected);
    EXPECT_TRUE(error.empty());
    // The viewer splits the same way.
    EXPECT_EQ(SplitLogLines(bytes), expected);
  }
}

TEST(LogLineReader, LineAtTheLimitAndOneCharacterBeyond) {
  const std::string longest(kMaxLogLineLength, 'x');
  std::string error;
  EXPECT_EQ(ReadAll("Rainbow\r\n" + longest + "\r\nUnDo", &error), (std::vector<std::string>{"Rainbow", longest, "UnDo"}));
  EXPECT_TRUE(error.empty());

  std::istringstream in("Rainbow\r\n" + longest + "y\r\nUnDo\r\n");
  TLogLineReader reader(in);
  std::string line;
  ASSERT_TRUE(reader.Next(line));
  EXPECT_FALSE(reader.Next(line));
  EXPECT_EQ(reader.LineNumber(), 2u);
  EXPECT_NE(reader.Error().find("longer than"), std::string::npos);
  EXPECT_TRUE(line.empty());
  // It stops there: what follows is not taken for more lines.
  EXPECT_FALSE(reader.Next(line));
  EXPECT_EQ(reader.LineNumber(), 2u);
}

// An input made up as it is read, counting what was taken from it.
class TGeneratedInput : public std::streambuf {
 public:
  TGeneratedInput(std::string pattern, uint64_t total) : pattern_(std::move(pattern)), left_(total) {}
  uint64_t Taken() const { return taken_; }

 protected:
  int_type underflow() override {
    if (left_ == 0) return traits_type::eof();
    chunk_.clear();
    while (chunk_.size() < 4096 && chunk_.size() < left_) chunk_ += pattern_;
    if (chunk_.size() > left_) chunk_.resize(static_cast<size_t>(left_));
    left_ -= chunk_.size();
    taken_ += chunk_.size();
    setg(chunk_.data(), chunk_.data(), chunk_.data() + chunk_.size());
    return traits_type::to_int_type(chunk_[0]);
  }

 private:
  std::string pattern_;
  std::string chunk_;
  uint64_t left_;
  uint64_t taken_ = 0;
};

TEST(LogLineReader, AMillionLinesOneAtATime) {
  const std::string line = "Twist, Looseness 100\r\n";
  TGeneratedInput source(line, line.size() * 1000000);
  std::istream in(&source);
  TLogLineReader reader(in);
  std::string text;
  size_t count = 0, longest = 0;
  while (reader.Next(text)) {
    ++count;
    longest = std::max(longest, text.capacity());
  }
  EXPECT_EQ(count, 1000000u);
  EXPECT_EQ(reader.LineNumber(), 1000000u);
  EXPECT_TRUE(reader.Error().empty());
  EXPECT_LT(longest, 64u);
}

TEST(LogLineReader, AHugeLineIsRefusedWithoutReadingItAll) {
  TGeneratedInput source("x", uint64_t{1} << 36);  // 64 GiB of one line
  std::istream in(&source);
  TLogLineReader reader(in);
  std::string text;
  EXPECT_FALSE(reader.Next(text));
  EXPECT_FALSE(reader.Error().empty());
  EXPECT_EQ(reader.LineNumber(), 1u);
  EXPECT_LE(source.Taken(), kMaxLogLineLength + 8192);
  EXPECT_LE(text.capacity(), kMaxLogLineLength + 64);
}

}  // namespace
}  // namespace vell
