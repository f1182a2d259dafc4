// The cipher of protected documents: a key from the password and a fixed phrase, and the mask that
// combines data with that key and a fixed mask phrase. Deterministic: no salt, no header, no stored key.
#pragma once
#include <array>
#include <string_view>

#include "platform/ports.h"

namespace protect {

// Constants of every stored file: changing one character makes existing files unreadable.
extern const std::array<std::u16string_view, 5> KeyPhrases;
extern const std::u16string_view MaskPhrase;

// The mask bytes M, converted on first use and kept.
const Bytes& MaskBytes();

Text FillToWidth(const Text& text, int width, const Text& fill, bool right);

// Empty for an empty password (callers never pass one).
Bytes GetFileKey(const Text& password);

// Byte k becomes data[k] ^ key[k mod key length] ^ M[k mod 52]. An empty key leaves the mask alone.
Bytes& XorBytes(Bytes& data, const Bytes& key);

// The masked form travels as text, one character per byte.
void EncodePw(Text& data, const Bytes& key);
// True when the unmasked data begins with the password; content then holds the rest, else it is emptied.
bool DecodePw(Text& content, const Text& password);

// The same layout straight between text and file bytes, without the text round trips:
// file = mask(code page(password + text)). Output buffers are reused when large enough.
void MaskDocument(const Text& password, std::u16string_view text, Bytes& file);
bool UnmaskDocument(std::string_view file, const Text& password, Text& text);

}  // namespace protect
