// The search over the box's text where it lies, forward and backward, exact and ignoring case, against the
// search as it went before (the text copied, the part searched lowered as one string by the locale, then a
// plain search), on arbitrary texts, words and offsets under three locales; and Replace All's test for "no
// change" against the replaced text itself.
#include <cstdint>
#include <cstdlib>
#include <map>
#include <string_view>

#include "find/search.h"
#include "unit/copy_search.h"

namespace {

// Units worth meeting often: letters in both cases, units with many spellings, the halves of cased pairs.
constexpr char16_t kAlphabet[] = {
    u'a',   u'A',   u'b',   u'B',   u'x',   u'X',   0x24CD, 0xFF38, 0xFF58, 0x0445, 0x2179, u'q',   u'Q',
    0x24C6, 0xFF51, 0xDC30, 0xDC31, u'k',   u'K',   0x212A, u'i',   u'I',   0x0130, 0x00E5, 0x212B, 0x00C5,
    0x03A3, 0x03C3, 0x03C2, 0xD801, 0xDC00, 0xDC28, 0xD802, 0xDC01, u' ',   0x0E01, 0x0E44, u'\r',  u'\n'};

struct Reader {
    const uint8_t* data;
    size_t size, at = 0;
    uint8_t Byte() { return at < size ? data[at++] : 0; }
    bool Done() const { return at >= size; }
    char16_t Unit() {
        const uint8_t b = Byte();
        if (b < 0xC0) return kAlphabet[b % std::size(kAlphabet)];
        return static_cast<char16_t>(Byte() << 8 | Byte());
    }
};

// The tests' locale with lowerings of its own: five more units lowered to q (so q has more spellings than a
// scan compares at once), and the low half U+DC30 after U+D801 lowered to U+DC31, a pair beyond the Deseret
// capitals.
struct MoreLocale : copysearch::CasedLocale {
    Text LowerCase(std::u16string_view text) const override {
        Text out = CasedLocale::LowerCase(text);
        for (std::size_t i = 0; i < out.size(); ++i) {
            if (copysearch::IsHigh(text[i]) && i + 1 < out.size() && copysearch::IsLow(text[i + 1])) {
                if (text[i] == 0xD801 && text[i + 1] == 0xDC30) out[i + 1] = 0xDC31;
                ++i;
            } else if (text[i] == u'Q' || text[i] == 0x24C6 || text[i] == 0x24E0 || text[i] == 0xFF31 ||
                       text[i] == 0xFF51) {
                out[i] = u'q';
            }
        }
        return out;
    }
};

// A-Z alone, as the host's fake locale has it.
struct AsciiLocale : copysearch::CasedLocale {
    Text LowerCase(std::u16string_view text) const override {
        Text out(text);
        for (auto& c : out)
            if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c + 32);
        return out;
    }
};

const Locale& LocaleOf(uint8_t which) {
    static const copysearch::CasedLocale cased;
    static const MoreLocale more;
    static const AsciiLocale ascii;
    const Locale* locales[] = {&cased, &more, &ascii};
    return *locales[which % 3];
}

// A search's tables depend on the word only through the high halves of its pairs (and whether it begins with
// a low half): kept, for the inputs that come back to them.
const find::CaseFold& FoldFor(uint8_t which, std::u16string_view word) {
    Text key(1, static_cast<char16_t>(which % 3));
    if (!word.empty() && copysearch::IsLow(word.front())) key += u'*';
    for (std::size_t i = 0; i + 1 < word.size(); ++i)
        if (copysearch::IsHigh(word[i]) && copysearch::IsLow(word[i + 1])) key += word[i];
    static std::map<Text, find::CaseFold> kept;
    if (kept.size() > 256) kept.clear();
    auto it = kept.find(key);
    if (it == kept.end()) it = kept.try_emplace(key, LocaleOf(which), word).first;
    return it->second;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 4) return 0;
    Reader in{data, size};
    const size_t at = in.Byte();
    const size_t wordLength = 1 + in.Byte() % 8;
    const uint8_t which = in.Byte();
    const Locale& locale = LocaleOf(which);
    Text word, text;
    while (word.size() < wordLength && !in.Done()) word += in.Unit();
    while (!in.Done()) text += in.Unit();

    const find::CaseFold& fold = FoldFor(which, word);
    for (const std::size_t point : {at, text.size() - std::min(at, text.size()), size_t{0}}) {
        if (find::FindNext(text, point, word, nullptr) !=
            copysearch::FindNextOnACopy(text, point, word, nullptr))
            std::abort();
        if (find::FindNext(text, point, word, &fold) !=
            copysearch::FindNextOnACopy(text, point, word, &locale))
            std::abort();
        if (find::FindPrevious(text, point, word, nullptr) !=
            copysearch::FindPreviousOnACopy(text, point, word, nullptr))
            std::abort();
        if (find::FindPrevious(text, point, word, &fold) !=
            copysearch::FindPreviousOnACopy(text, point, word, &locale))
            std::abort();
    }
    // Replace All leaves the box alone exactly when the replaced text would be the same.
    const std::u16string_view replacement =
        std::u16string_view(text).substr(0, std::min<size_t>(at % 4, text.size()));
    const bool changes = word != replacement && find::FindExact(text, 0, word) >= 0;
    if (changes != (find::ReplaceAllExact(text, word, replacement) != text)) std::abort();
    return 0;
}
