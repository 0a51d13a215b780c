#include "DupIndex.h"

#include "TextRules.h"

namespace yarb {

int CompareDupKeys(const DupKey& a, const DupKey& b) {
  if (int c = CompareNoCaseFromEnd(a.path, b.path)) return c;
  if (int c = CompareNoCase(a.second, b.second)) return c;
  return CompareNoCase(a.third, b.third);
}

long DupIndex::Find(const DupKey& key) const {
  auto it = map_.find(key);
  return it == map_.end() ? -1 : static_cast<long>(it->second);
}

void DupIndex::Add(DupKey key, size_t index) { map_.emplace(std::move(key), index); }

std::string FoldKey(std::string_view key) {
  std::string out(key);
  for (char& c : out) c = static_cast<char>(FoldChar(static_cast<unsigned char>(c)));
  return out;
}

long ExactIndex::Find(std::string_view key) const {
  auto it = map_.find(FoldKey(key));
  return it == map_.end() ? -1 : static_cast<long>(it->second);
}

void ExactIndex::Add(std::string_view key, size_t index) { map_.emplace(FoldKey(key), index); }

}  // namespace yarb
