// Small text helpers every subsystem shares: splitting, trimming, replacing, ASCII case.
#pragma once
#include <vector>

#include "platform/ports.h"

namespace base {

// The parts between separators, empty ones included; the whole text when the separator does not occur.
std::vector<Text> SplitText(const Text& text, const Text& separator);
Text ReplaceAll(const Text& text, const Text& marker, const Text& replacement);
Text Trim(const Text& text);  // without the spaces at both ends
Text LowerAscii(Text text);
Text UpperAscii(Text text);
// Overwrites a secret's characters before its memory is given back; the text is empty afterwards.
void Wipe(Text& secret);
void Wipe(Bytes& secret);

}  // namespace base
