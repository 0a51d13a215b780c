#include "CommandLine.h"

#include <cctype>

namespace yarb {

namespace {
bool Blank(char c) { return c == ' ' || c == '\t'; }

bool IsSwitchWord(const std::string& a) {
  if (a.size() < 2 || a[0] != '/') return false;
  const char u = static_cast<char>(std::toupper(static_cast<unsigned char>(a[1])));
  if (a.size() == 2) return std::string("ASRUWZ").find(u) != std::string::npos;
  if (a[1] == 'z') return a == "/z1";
  if (u != 'W') return false;
  for (size_t k = 2; k < a.size(); ++k)
    if (!std::isdigit(static_cast<unsigned char>(a[k]))) return false;
  return true;
}
bool Digits(const std::string& a) {
  if (a.empty()) return false;
  for (char c : a)
    if (!std::isdigit(static_cast<unsigned char>(c))) return false;
  return true;
}
}  // namespace

CommandLine ParseCommandLine(const std::string& line) {
  CommandLine cl;
  size_t i = 0;
  const size_t n = line.size();
  auto skipBlanks = [&] {
    while (i < n && Blank(line[i])) ++i;
  };
  skipBlanks();
  while (i < n && line[i] == '/' && i + 1 < n) {
    const char letter = line[i + 1];
    const char upper = static_cast<char>(std::toupper(static_cast<unsigned char>(letter)));
    bool known = true;
    const CommandLine saved = cl;
    size_t next = i + 2;
    if (letter == 'z') {
      cl.tempCopy = true;
      if (next < n && line[next] == '1') {
        cl.tempCopyRestart = true;
        ++next;
      }
    } else {
      switch (upper) {
        case 'A': cl.automatic = true; break;
        case 'S': cl.silent = true; cl.automatic = true; break;
        case 'R': cl.rollback = true; break;
        case 'U': cl.confirmOnly = true; break;
        case 'Z': cl.noTempCopy = true; break;
        case 'W': {
          while (next < n && Blank(line[next])) ++next;
          long value = 0;
          bool digits = false;
          while (next < n && std::isdigit(static_cast<unsigned char>(line[next]))) {
            if (value < 100000000) value = value * 10 + (line[next] - '0');
            digits = true;
            ++next;
          }
          cl.launchIndex = digits ? static_cast<int>(value) : 0;
          break;
        }
        default: known = false;
      }
    }
    // A word with more glued to it ("/srv/wine/...") is a Linux path, not a switch.
    if (!known || (next < n && !Blank(line[next]))) {
      if (known) cl = saved;
      break;
    }
    i = next;
    skipBlanks();
  }
  if (i >= n) return cl;

  if (line[i] == '"') {
    const size_t last = line.rfind('"');
    if (last > i) {
      cl.logPath = line.substr(i + 1, last - i - 1);
      i = last + 1;
    } else {  // a lone quote: the path runs to the end
      cl.logPath = line.substr(i + 1);
      i = n;
    }
    cl.logQuoted = true;
    skipBlanks();
    cl.caption = line.substr(i);
  } else {
    size_t end = i;
    while (end < n && !Blank(line[end])) ++end;
    cl.logPath = line.substr(i, end - i);
    i = end;
    if (i < n) ++i;  // the blank that ends the path
    std::string rest = line.substr(i);
    if (cl.tempCopy) {
      cl.tempArgs = rest;
    } else {
      if (!rest.empty() && rest.front() == '"') rest.erase(0, 1);
      if (!rest.empty() && rest.back() == '"') rest.pop_back();
      cl.caption = rest;
    }
  }
  return cl;
}

std::string JoinArguments(int argc, const char* const* argv) {
  std::string line;
  int k = 1;
  for (; k < argc; ++k) {
    const std::string a = argv[k] ? argv[k] : "";
    const bool wNumber = k > 1 && Digits(a) &&
                         (std::string(argv[k - 1]) == "/W" || std::string(argv[k - 1]) == "/w");
    if (!IsSwitchWord(a) && !wNumber) break;
    if (!line.empty()) line += ' ';
    line += a;
  }
  for (bool first = true; k < argc; ++k, first = false) {
    std::string a = argv[k] ? argv[k] : "";
    if (first && (a.empty() || a.find(' ') != std::string::npos || a.find('\t') != std::string::npos))
      a = "\"" + a + "\"";
    if (!line.empty()) line += ' ';
    line += a;
  }
  return line;
}

}  // namespace yarb
