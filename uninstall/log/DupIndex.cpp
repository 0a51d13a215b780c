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

}  // namespace yarb
