// Character set conversions between the uninstaller's ANSI texts (Windows-1252), the
// UTF-16 of registry data and the UTF-8 of Linux file names.
#pragma once

#include <string>

namespace yarb {

std::u16string AnsiToUtf16(const std::string& ansi);
// Characters without a Windows-1252 equivalent become '?', as WideCharToMultiByte does.
std::string Utf16ToAnsi(const std::u16string& text);
std::u16string Utf8ToUtf16(const std::string& utf8);  // invalid bytes become U+FFFD
std::string Utf16ToUtf8(const std::u16string& text);

// Case folding for ASCII and the Latin-1 letters Windows folds in file and key names.
char16_t FoldCase(char16_t c);
char16_t UpperCase(char16_t c);
bool EqualNoCase(const std::u16string& a, const std::u16string& b);
bool EqualNoCaseAnsi(const std::string& a, const std::string& b);

}  // namespace yarb
