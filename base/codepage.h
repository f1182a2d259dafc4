// The one single-byte code page of every file and key: Windows-874 (Thai), built in, the same on every
// machine. All 256 bytes map to distinct characters and back; any other character becomes "?".
#pragma once
#include <cstddef>
#include <string_view>

#include "platform/ports.h"

namespace base {

constexpr unsigned char kUnmappable = 63;  // "?"

char16_t CharOfByte(unsigned char byte);
unsigned char ByteOfChar(char16_t c);  // kUnmappable when the code page has no such character
// The offset of the first character that would be stored as "?" (a "?" itself aside), or npos.
size_t FirstUnmappable(std::u16string_view text);

// Raw forms for callers that own their buffers: one byte per UTF-16 unit and back.
void EncodeCodePage(std::u16string_view text, char* out);    // writes text.size() bytes
void DecodeCodePage(std::string_view bytes, char16_t* out);  // writes bytes.size() units
// The same with every byte combined (exclusive or) with the pad byte at its position, in the same pass.
void EncodeCodePage(std::u16string_view text, const char* pad, char* out);
void DecodeCodePage(std::string_view bytes, const char* pad, char16_t* out);

Bytes ToCodePage(std::u16string_view text);
Text FromCodePage(std::string_view bytes);

}  // namespace base
