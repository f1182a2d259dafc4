// Key derivation and masking. The combined key-and-mask stream repeats with the period lcm(key, 52), so it is
// built once per key and combined with the data in the same pass as the code-page conversion.
#include "protect/cipher.h"

#include <algorithm>
#include <numeric>
#include <utility>
#include <vector>

#include "base/codepage.h"
#include "base/text.h"

namespace protect {

const std::array<std::u16string_view, 5> KeyPhrases = {
    u"ใบไม้สีเขียวซ่อนความลับไว้ในกล่องไม้เก่าใต้ต้นมะม่วงหลังบ้านตา",
    u"สายลมเย็นพัดผ่านทุ่งนากว้างใหญ่ ชาวนาเดินกลับบ้านพร้อมรอยยิ้ม แสงตะวันค่อยลับขอบฟ้าไกลลิบ",
    u"กุญแจดอกเล็กเปิดประตูบานใหญ่ได้เสมอ ถ้าผู้ถือรู้จักรอคอยอย่างอดทนและใจเย็นทุกเช้า",
    u"หนังสือเล่มนี้เขียนด้วยหมึกสีน้ำเงิน เก็บรักษาไว้ในลิ้นชักซึ่งล็อกแน่น",
    u"ฝนตกพรำพรำตลอดคืน เสียงหยดน้ำกระทบหลังคาสังกะสีกล่อมให้เด็กน้อยหลับฝันดีนะ",
};

const std::u16string_view MaskPhrase = u"ดอกบัวบานในสระน้ำใสยามรุ่งอรุณ ผีเสื้อบินวนรอบกลีบใบ";

namespace {

constexpr size_t kChunk = 4096;          // bytes handled per step, so each step stays in cache
constexpr size_t kMaxStream = 1u << 20;  // longer periods (very long passwords) are made chunk by chunk

// key ^ mask from a running position: contiguous pad runs of up to kChunk bytes.
class KeyStream {
public:
    KeyStream(Bytes key, size_t dataSize) : key_(std::move(key)), mask_(MaskBytes()) {
        const size_t period = std::lcm(std::max<size_t>(key_.size(), 1), mask_.size());
        if (period > kMaxStream) {
            stream_.resize(std::min(dataSize, kChunk));
            return;
        }
        // Whole periods, at least one chunk's worth, plus one chunk more so that any run from a position
        // inside the periods is contiguous; or just the data's length when that is shorter.
        wrap_ = period * ((kChunk + period - 1) / period);
        stream_.resize(std::min(dataSize, wrap_ + kChunk));
        for (size_t i = 0; i < stream_.size(); ++i) stream_[i] = At(i);
    }

    // The stream is the key under a public mask: it goes as the key does.
    ~KeyStream() {
        base::Wipe(key_);
        volatile char* p = stream_.data();
        for (size_t i = 0; i < stream_.size(); ++i) p[i] = 0;
    }
    KeyStream(const KeyStream&) = delete;
    KeyStream& operator=(const KeyStream&) = delete;

    const char* Next(size_t n) {
        if (wrap_ == 0) {  // made afresh for every run
            for (size_t i = 0; i < n; ++i) stream_[i] = At(pos_ + i);
            pos_ += n;
            return stream_.data();
        }
        if (pos_ >= wrap_) pos_ -= wrap_;
        const char* run = stream_.data() + pos_;
        pos_ += n;
        return run;
    }

    void Apply(const char* in, char* out, size_t n) {
        while (n > 0) {
            const size_t run = std::min(n, kChunk);
            const char* pad = Next(run);
            for (size_t i = 0; i < run; ++i) out[i] = static_cast<char>(in[i] ^ pad[i]);
            in += run;
            out += run;
            n -= run;
        }
    }

private:
    char At(size_t k) const {
        const char keyByte = key_.empty() ? 0 : key_[k % key_.size()];
        return static_cast<char>(keyByte ^ mask_[k % mask_.size()]);
    }

    Bytes key_;
    const Bytes& mask_;
    std::vector<char> stream_;
    size_t wrap_ = 0;
    size_t pos_ = 0;
};

}  // namespace

const Bytes& MaskBytes() {
    static const Bytes mask = base::ToCodePage(MaskPhrase);
    return mask;
}

Text FillToWidth(const Text& text, int width, const Text& fill, bool right) {
    if (fill.empty() || width <= static_cast<int>(text.size())) return text;
    const Text pad(static_cast<size_t>(width) - text.size(), fill.front());
    return right ? text + pad : pad + text;
}

Bytes GetFileKey(const Text& password) {
    if (password.empty()) return {};
    const int q = base::ByteOfChar(password.back()) % 30 + 1;
    const int r = base::ByteOfChar(password.front()) % 5;
    Text p4 = FillToWidth(password, 4, u"0", false);
    const std::u16string_view phrase = KeyPhrases[r];
    Text keyText = p4.substr(0, 2);
    keyText.append(phrase.substr(q - 1));
    keyText.append(phrase.substr(0, q - 1));
    keyText.append(p4, 2);
    Bytes key = base::ToCodePage(keyText);
    base::Wipe(p4);
    base::Wipe(keyText);
    return key;
}

Bytes& XorBytes(Bytes& data, const Bytes& key) {
    KeyStream(key, data.size()).Apply(data.data(), data.data(), data.size());
    return data;
}

void EncodePw(Text& data, const Bytes& key) {
    Bytes bytes = base::ToCodePage(data);
    XorBytes(bytes, key);
    data = base::FromCodePage(bytes);
}

bool DecodePw(Text& content, const Text& password) {
    const Bytes bytes = base::ToCodePage(content);
    Text text;
    const bool ok = UnmaskDocument(bytes, password, text);
    content = ok ? std::move(text) : Text();
    return ok;
}

void MaskDocument(const Text& password, std::u16string_view text, Bytes& file) {
    file.resize(password.size() + text.size());
    KeyStream stream(GetFileKey(password), file.size());
    char* out = file.data();
    for (const std::u16string_view part : {std::u16string_view(password), text}) {
        for (size_t at = 0; at < part.size(); at += kChunk) {
            const std::u16string_view piece = part.substr(at, kChunk);
            base::EncodeCodePage(piece, stream.Next(piece.size()), out);
            out += piece.size();
        }
    }
}

bool UnmaskDocument(std::string_view file, const Text& password, Text& text) {
    const size_t n = password.size();
    if (n == 0 || file.size() < n) {
        text.clear();
        return false;
    }
    KeyStream stream(GetFileKey(password), file.size());
    Text head(n, u'\0');
    for (size_t at = 0; at < n; at += kChunk) {
        const std::string_view piece = file.substr(at, std::min(kChunk, n - at));
        base::DecodeCodePage(piece, stream.Next(piece.size()), head.data() + at);
    }
    // The key is made from the password's code-page form, so that form is what the file holds: a password
    // typed with a character the code page lacks was stored with "?" in its place, and still opens.
    Bytes stored = base::ToCodePage(head), typed = base::ToCodePage(password);
    const bool same = stored == typed;
    base::Wipe(stored);
    base::Wipe(typed);
    base::Wipe(head);
    if (!same) {
        text.clear();
        return false;
    }
    text.resize(file.size() - n);  // a buffer of the right size is reused as it is
    for (size_t at = n; at < file.size(); at += kChunk) {
        const std::string_view piece = file.substr(at, kChunk);
        base::DecodeCodePage(piece, stream.Next(piece.size()), text.data() + (at - n));
    }
    return true;
}

}  // namespace protect
