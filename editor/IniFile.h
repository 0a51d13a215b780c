// TIniFile: a private-profile INI file, read and rewritten without losing
// anything the user put there.
//
// Rules (those of the classic profile functions):
// - "[Name]" on its own line starts a section; "key=value" lines belong to
//   the section above them. Section and key names match ignoring ASCII letter
//   case and the blanks around them; values are text, trimmed of blanks.
// - When a section or key occurs twice, the first one counts.
// - Lines starting with ';', lines without '=', lines before the first
//   section, unknown sections and keys, spacing, line ends (LF or CR LF) and
//   any other bytes are kept exactly when the file is written again. Only the
//   value part of a key we write changes; new keys go after the last non-blank
//   line of their section, new sections at the end, both ended by CR LF.
// - A missing final line end is tolerated (and supplied before anything is
//   appended after that line); so is a UTF-8 byte order mark.
//
// The file's bytes are kept as read; writes are an overlay applied by Bytes().
// Reading converts like the editor's numeric conversions: text that does not
// convert yields the caller's default.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vell {

// Outcome of a file operation: ok, or the errno and a sentence saying why.
struct TFileResult {
  bool ok = true;
  int error = 0;        // errno; ENOENT when the file is missing
  std::string message;  // "Cannot read /x/VellTile.ini: Permission denied"
};

// Files larger than this are not taken for settings files.
inline constexpr size_t IniMaxFileSize = 64u << 20;

// Reads a whole file.
TFileResult ReadFileBytes(const std::string& path, std::string& out, size_t maxSize = SIZE_MAX);

// Writes `bytes` to a temporary file beside `path` and renames it into place,
// so the old contents survive any failure. Symbolic links are followed (the
// link stays, its target is replaced); an existing file's permission bits are
// kept, a new file gets 0644 less the umask.
TFileResult ReplaceFileContents(const std::string& path, std::string_view bytes);
// The same for contents in pieces, written in order with gathered writes (a
// picture's rows straight from its memory, without joining them first).
TFileResult ReplaceFileContents(const std::string& path, std::span<const std::string_view> pieces);

// Numeric conversions of INI values; std::nullopt when the text does not
// convert. Integers: optional sign, decimal digits, or '$' / "0x" hex (a
// 32-bit pattern); must fit in 32 bits. Reals: decimal with '.', optional
// exponent; must be finite and within single range when `single`.
std::optional<int32_t> IniTextToInt(std::string_view text);
std::optional<double> IniTextToReal(std::string_view text, bool single);

class TIniFile {
 public:
  TIniFile() = default;
  explicit TIniFile(std::string bytes) { Parse(std::move(bytes)); }

  // Replaces the contents with `bytes` (edits are dropped).
  void Parse(std::string bytes);

  // Reads `path`. A missing file gives an empty profile and ok with
  // error == ENOENT; a file that cannot be read (or is larger than
  // IniMaxFileSize) gives !ok and leaves the profile empty.
  TFileResult Load(const std::string& path);

  // The value of `key` in `section` (its bytes, trimmed of blanks); none
  // when the section or key is missing.
  std::optional<std::string> Find(std::string_view section, std::string_view key) const;
  bool SectionExists(std::string_view section) const;

  std::string ReadString(std::string_view section, std::string_view key, std::string_view def) const;
  int32_t ReadInteger(std::string_view section, std::string_view key, int32_t def) const;
  // Reals read at single precision (the stored parameters are 32-bit).
  float ReadSingle(std::string_view section, std::string_view key, float def) const;
  double ReadDouble(std::string_view section, std::string_view key, double def) const;
  // Any integer other than 0 is true; text that does not convert gives `def`.
  bool ReadBool(std::string_view section, std::string_view key, bool def) const;

  // Sets a value. Returns false (and changes nothing) when the value holds a
  // line break, or the names are empty or could not be read back (a key with
  // '=' or a leading ';' or '[', a section with ']').
  bool WriteString(std::string_view section, std::string_view key, std::string_view value);
  bool WriteInteger(std::string_view section, std::string_view key, int64_t value);
  bool WriteBool(std::string_view section, std::string_view key, bool value);

  // The file as it would be written now.
  std::string Bytes() const;
  // True when Bytes() differs from what was parsed.
  bool Modified() const { return !edits_.empty() || !added_.empty(); }

  // Writes Bytes() to `path` through a temporary file and a rename.
  TFileResult Save(const std::string& path) const;

 private:
  struct TKeySpan {
    std::string_view key;  // lowered, points into lower_
    size_t valueBegin;     // trimmed value in bytes_; an edit replaces
    size_t valueEnd;       // from valueBegin to the end of the line
  };
  struct TSection {
    std::string_view name;  // lowered, points into lower_
    size_t bodyBegin;       // first byte after the header line
    size_t end;             // start of the next header line or end of file
    size_t insertAt;        // after the last non-blank line (with its line end)
    mutable bool indexed = false;
    mutable std::vector<TKeySpan> keys;  // sorted by key, stable
  };
  struct TAddedKey {
    std::string key;    // as given
    std::string lower;
    std::string value;
  };
  struct TAddedSection {
    std::string name;
    std::string lower;
    std::optional<size_t> existing;  // index into sections_, or a new section
    std::vector<TAddedKey> keys;
  };

  const TSection* FindSection(std::string_view lowerName) const;
  const TKeySpan* FindKey(const TSection& s, std::string_view lowerKey) const;
  void IndexSection(const TSection& s) const;
  TAddedSection* FindAdded(std::string_view lowerName);
  const TAddedSection* FindAdded(std::string_view lowerName) const;

  std::string bytes_;
  std::string lower_;  // bytes_ with ASCII letters lowered
  std::vector<TSection> sections_;
  std::vector<std::pair<std::string_view, size_t>> sectionIndex_;  // sorted, stable
  std::map<size_t, std::string> edits_;                             // valueBegin -> new value
  std::vector<TAddedSection> added_;
};

}  // namespace vell
