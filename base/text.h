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
// Overwrites a secret's characters before its memory is given back; the text is empty afterwards. The whole
// capacity goes: a moved-from short string keeps its characters inline, a shrunk one in its slack.
void Wipe(Text& secret);
void Wipe(Bytes& secret);

// Wipes a copy of the document when it leaves scope, also by an exception, if the document is secret.
class WipedIf {
public:
    WipedIf(Text& text, bool secret) : m_Text(text), m_Secret(secret) {}
    ~WipedIf() {
        if (m_Secret) Wipe(m_Text);
    }
    WipedIf(const WipedIf&) = delete;
    WipedIf& operator=(const WipedIf&) = delete;

private:
    Text& m_Text;
    bool m_Secret;
};

}  // namespace base
