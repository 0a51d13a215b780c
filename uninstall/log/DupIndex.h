// Finds the entry a record repeats, for the lists that can grow to tens of thousands of
// entries (private files, created and changed registry values, INI items).
//
// The key order: the path (file path or key path) compared without regard to case from
// its last character backwards, so that paths of one folder, which share a long start,
// part at once; then the second and third keys (value name and root text, or section and
// item) compared without regard to case from the front. The tree is balanced, so a log
// written in key order cannot make a lookup slow.
#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <string_view>
#include <unordered_map>

namespace yarb {

struct DupKey {
  std::string path;
  std::string second;
  std::string third;
};

// <0, 0, >0 in the order above.
int CompareDupKeys(const DupKey& a, const DupKey& b);

class DupIndex {
 public:
  // Index of the entry with this key, or -1.
  long Find(const DupKey& key) const;
  void Add(DupKey key, size_t index);
  size_t Size() const { return map_.size(); }

 private:
  struct Less {
    bool operator()(const DupKey& a, const DupKey& b) const { return CompareDupKeys(a, b) < 0; }
  };
  std::map<DupKey, size_t, Less> map_;
};

// Finds the first entry whose key equals a given key without regard to case, for the lists
// that are searched by one exact key (services, programs, icons, system files, ...).
class ExactIndex {
 public:
  long Find(std::string_view key) const;
  // Keeps the first index for a key, as a search in log order would find it.
  void Add(std::string_view key, size_t index);

 private:
  std::unordered_map<std::string, size_t> map_;
};

// The key folded to lower case, so that equal keys are equal strings.
std::string FoldKey(std::string_view key);

}  // namespace yarb
