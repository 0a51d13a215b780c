// Text rules of the install log: Windows-1252 case folding, case-insensitive comparisons,
// and cutting a value to the fixed field it is stored in.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace yarb {

// Lower-case of one Windows-1252 character (ASCII letters, the accented capitals
// 0xC0-0xDE except the multiplication sign, and the four capitals of 0x8A-0x9F).
unsigned char FoldChar(unsigned char c);

// <0, 0, >0 like lstrcmpi, with FoldChar.
int CompareNoCase(std::string_view a, std::string_view b);
bool EqualNoCase(std::string_view a, std::string_view b);
// `text` begins with `prefix`, letters compared without regard to case.
bool StartsWithNoCase(std::string_view text, std::string_view prefix);
bool EndsWithNoCase(std::string_view text, std::string_view suffix);
// Compares from the last character backwards; when one runs out first it is the lesser.
int CompareNoCaseFromEnd(std::string_view a, std::string_view b);

// `text` cut to at most `maxChars` characters: a field of maxChars + 1 bytes with its NUL.
std::string CutToField(std::string_view text, size_t maxChars);

// The folder part of a path: everything before its last "\\" (empty when there is none).
std::string FolderOf(std::string_view path);

}  // namespace yarb
