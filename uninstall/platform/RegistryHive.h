// One registry hive file of a Wine prefix (system.reg, user.reg, userdef.reg) in Wine's
// text format, held as a tree.
//
// Keys keep the text they were read from: a key whose values, class and link flag were
// not changed is written back exactly as it was read, so saving a hive changes only the
// keys that were touched. Subkeys and values are kept sorted without regard to case,
// as Wine keeps them, which is also the order of the file.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace yarb::reg {

struct Value {
  std::u16string name;  // empty: the default value
  uint32_t type = 0;
  std::vector<uint8_t> data;  // as Wine stores it: strings are UTF-16LE with their NUL
};

struct Key {
  std::u16string name;
  Key* parent = nullptr;
  std::vector<std::unique_ptr<Key>> subkeys;  // sorted by CompareNames
  std::vector<Value> values;                  // sorted by CompareNames
  uint64_t modif = 0;                         // FILETIME ticks; 0 = not known yet
  bool hasClass = false;
  std::u16string keyClass;
  bool link = false;
  bool volatileKey = false;  // never written
  // Text of the key's own block as read (key line through the line before the next key),
  // and whether it must be formatted anew because the key changed.
  std::string original;
  bool hasOriginal = false;
  bool changed = false;

  Key* FindSubkey(const std::u16string& n) const;
  Value* FindValue(const std::u16string& n);
  const Value* FindValue(const std::u16string& n) const;
  // Adds a subkey at its sorted place (or returns the existing one).
  Key* AddSubkey(const std::u16string& n, uint64_t time);
  bool RemoveSubkey(const Key* k);
  // Sets (adds or replaces) a value; marks the key changed.
  void SetValue(const std::u16string& n, uint32_t type, std::vector<uint8_t> data, uint64_t time);
  bool RemoveValue(const std::u16string& n, uint64_t time);
  void Touch(uint64_t time);
};

// Case-insensitive order of key and value names, as Wine sorts them.
int CompareNames(const std::u16string& a, const std::u16string& b);

class Hive {
 public:
  // Reads the text of a hive. False (with *error) only when the first line is not
  // "WINE REGISTRY Version 2"; malformed lines further down are skipped as Wine skips them.
  bool Parse(const std::string& text, std::string* error);
  // The text of the hive, as Wine would write it, untouched keys as they were read.
  std::string Serialize() const;

  Key& Root() { return root_; }
  const Key& Root() const { return root_; }
  // "REGISTRY\\Machine" etc., from the header comment (unescaped, single backslashes).
  const std::u16string& RelativeTo() const { return relativeTo_; }
  bool Win64() const { return win64_; }
  // Something changed since Parse (or since MarkSaved).
  bool Modified() const { return modified_; }
  void SetModified() { modified_ = true; }
  void MarkSaved();

 private:
  std::string header_;  // every line before the first key line
  std::u16string relativeTo_;
  bool win64_ = false;
  bool modified_ = false;
  Key root_;
};

// Escaping and unescaping of names and string data in Wine's hive format.
// `quote` names the extra characters that are escaped ("[]" for keys, "\"\"" for strings).
std::string EscapeString(const std::u16string& s, const char quote[2]);
// Parses from `text` up to the unescaped `end` character; returns the position after it,
// or std::string::npos when `end` is not found.
size_t UnescapeString(const std::string& text, size_t pos, char end, std::u16string* out);
// One value line (or lines) as Wine writes it, with its final line end.
std::string FormatValue(const Value& v);
// The key line and options of a key, as Wine writes them (without the leading blank line).
std::string FormatKeyHeader(const Key& k);

uint64_t CurrentFileTime();
constexpr size_t kMaxKeyDepth = 512;
constexpr size_t kMaxNameLength = 256;

}  // namespace yarb::reg
