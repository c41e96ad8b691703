#pragma once
#include <string>
#include <string_view>

// The data files hold their texts in the Windows Cyrillic code page; the dump prints UTF-8.

// The Unicode code point of every Windows-1251 byte. 0x98 has no character in the code
// page; it maps to U+0098 as Windows itself does, so no byte is lost.
char32_t Cp1251CodePoint(unsigned char byte);

// Byte for byte conversion; every input byte gives one character.
std::string Cp1251ToUtf8(std::string_view text);

// As above for printing one field on one line: control characters (a damaged record may
// hold any byte) are shown as \xNN so that a record never breaks its line.
std::string PrintableUtf8(std::string_view text);
