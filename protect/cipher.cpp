// Key derivation and masking. The combined key-and-mask stream repeats with the period lcm(key, 52), so it is
// built once per key and the data is combined with it in long contiguous runs.
#include "protect/cipher.h"

#include <algorithm>
#include <numeric>
#include <vector>

#include "protect/codepage.h"

namespace d1 {

const std::array<std::u16string_view, 5> KeyPhrases = {
    u"ใบไม้สีเขียวซ่อนความลับไว้ในกล่องไม้เก่าใต้ต้นมะม่วงหลังบ้านตา",
    u"สายลมเย็นพัดผ่านทุ่งนากว้างใหญ่ ชาวนาเดินกลับบ้านพร้อมรอยยิ้ม แสงตะวันค่อยลับขอบฟ้าไกลลิบ",
    u"กุญแจดอกเล็กเปิดประตูบานใหญ่ได้เสมอ ถ้าผู้ถือรู้จักรอคอยอย่างอดทนและใจเย็นทุกเช้า",
    u"หนังสือเล่มนี้เขียนด้วยหมึกสีน้ำเงิน เก็บรักษาไว้ในลิ้นชักซึ่งล็อกแน่น",
    u"ฝนตกพรำพรำตลอดคืน เสียงหยดน้ำกระทบหลังคาสังกะสีกล่อมให้เด็กน้อยหลับฝันดีนะ",
};

const std::u16string_view MaskPhrase = u"ดอกบัวบานในสระน้ำใสยามรุ่งอรุณ ผีเสื้อบินวนรอบกลีบใบ";

namespace {

constexpr size_t kMinRun = 4096;         // the stream is repeated to at least this length
constexpr size_t kMaxStream = 1u << 20;  // longer periods (very long passwords) combine byte by byte
constexpr size_t kChunk = 16384;         // text handled per step, so each step stays in cache

// data ^ key ^ mask from a running position, over any number of calls.
class KeyStream {
public:
    KeyStream(const Bytes& key, size_t dataSize) : key_(key), mask_(MaskBytes()) {
        const size_t keyLength = std::max<size_t>(key.size(), 1);
        const size_t period = std::lcm(keyLength, mask_.size());
        if (period > kMaxStream) return;
        const size_t length = std::min(dataSize, period * std::max<size_t>(1, kMinRun / period));
        stream_.resize(length);
        for (size_t i = 0; i < length; ++i) stream_[i] = At(i);
    }

    void Apply(const char* in, char* out, size_t n) {
        if (stream_.empty()) {
            for (size_t i = 0; i < n; ++i) out[i] = static_cast<char>(in[i] ^ At(pos_ + i));
            pos_ += n;
            return;
        }
        while (n > 0) {
            // The stream covers the data or is a whole number of periods, so wrapping keeps k mod both
            // lengths.
            if (pos_ == stream_.size()) pos_ = 0;
            const size_t run = std::min(n, stream_.size() - pos_);
            const char* s = stream_.data() + pos_;
            for (size_t i = 0; i < run; ++i) out[i] = static_cast<char>(in[i] ^ s[i]);
            in += run;
            out += run;
            n -= run;
            pos_ += run;
        }
    }

private:
    char At(size_t k) const {
        const char keyByte = key_.empty() ? 0 : key_[k % key_.size()];
        return static_cast<char>(keyByte ^ mask_[k % mask_.size()]);
    }

    const Bytes& key_;
    const Bytes& mask_;
    std::vector<char> stream_;
    size_t pos_ = 0;
};

}  // namespace

const Bytes& MaskBytes() {
    static const Bytes mask = ToCodePage(MaskPhrase);
    return mask;
}

Text FillToWidth(const Text& text, int width, const Text& fill, bool right) {
    if (fill.empty() || width <= static_cast<int>(text.size())) return text;
    const Text pad(static_cast<size_t>(width) - text.size(), fill.front());
    return right ? text + pad : pad + text;
}

Bytes GetFileKey(const Text& password) {
    if (password.empty()) return {};
    const int q = ByteOfChar(password.back()) % 30 + 1;
    const int r = ByteOfChar(password.front()) % 5;
    const Text p4 = FillToWidth(password, 4, u"0", false);
    const std::u16string_view phrase = KeyPhrases[r];
    Text keyText = p4.substr(0, 2);
    keyText.append(phrase.substr(q - 1));
    keyText.append(phrase.substr(0, q - 1));
    keyText.append(p4, 2);
    return ToCodePage(keyText);
}

Bytes& XorBytes(Bytes& data, const Bytes& key) {
    KeyStream(key, data.size()).Apply(data.data(), data.data(), data.size());
    return data;
}

void EncodePw(Text& data, const Bytes& key) {
    Bytes bytes = ToCodePage(data);
    XorBytes(bytes, key);
    data = FromCodePage(bytes);
}

bool DecodePw(Text& content, const Text& password) {
    const Bytes bytes = ToCodePage(content);
    Text text;
    const bool ok = UnmaskDocument(bytes, password, text);
    content = ok ? std::move(text) : Text();
    return ok;
}

void MaskDocument(const Text& password, std::u16string_view text, Bytes& file) {
    const Bytes key = GetFileKey(password);
    file.resize(password.size() + text.size());
    KeyStream stream(key, file.size());
    char* out = file.data();
    EncodeCodePage(password, out);
    stream.Apply(out, out, password.size());
    out += password.size();
    for (size_t at = 0; at < text.size(); at += kChunk) {
        const std::u16string_view part = text.substr(at, kChunk);
        EncodeCodePage(part, out);
        stream.Apply(out, out, part.size());
        out += part.size();
    }
}

bool UnmaskDocument(std::string_view file, const Text& password, Text& text) {
    text.clear();
    const size_t n = password.size();
    if (n == 0 || file.size() < n) return false;
    const Bytes key = GetFileKey(password);
    KeyStream stream(key, file.size());
    std::vector<char> buffer(std::min(file.size(), std::max(n, kChunk)));
    stream.Apply(file.data(), buffer.data(), n);
    Text head(n, u'\0');
    DecodeCodePage({buffer.data(), n}, head.data());
    if (head != password) return false;
    text.resize(file.size() - n);
    char16_t* out = text.data();
    for (size_t at = n; at < file.size(); at += kChunk) {
        const size_t part = std::min(kChunk, file.size() - at);
        stream.Apply(file.data() + at, buffer.data(), part);
        DecodeCodePage({buffer.data(), part}, out);
        out += part;
    }
    return true;
}

}  // namespace d1
