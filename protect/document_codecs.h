// The secret kinds' codecs: a protected document masked under its password, a sealed one encrypted under its
// key. Each makes the whole file at once, since neither form can be written before the whole text is known.
#pragma once
#include "base/document_codec.h"
#include "protect/cipher.h"
#include "protect/sealed.h"

namespace protect {

class MaskedCodec final : public base::DocumentCodec {
public:
    explicit MaskedCodec(const Text& password) : m_Password(password) {}
    bool Read(std::string_view file, Text& text) override { return UnmaskDocument(file, m_Password, text); }
    bool Write(std::u16string_view text, const Files::PutBytes& put) override {
        Bytes file;
        MaskDocument(m_Password, text, file);
        return put(file);
    }

private:
    const Text& m_Password;
};

class SealedCodec final : public base::DocumentCodec {
public:
    SealedCodec(Crypto& crypto, const SealedKey& key) : m_Crypto(crypto), m_Key(key) {}
    bool Read(std::string_view file, Text& text) override {
        status = OpenSealed(m_Crypto, file, m_Key, text);
        return status == SealedStatus::Ok;
    }
    bool Write(std::u16string_view text, const Files::PutBytes& put) override {
        Bytes file;
        return SealText(m_Crypto, m_Key, text, file) && put(file);
    }

    SealedStatus status = SealedStatus::Ok;  // why the last Read failed

private:
    Crypto& m_Crypto;
    const SealedKey& m_Key;
};

}  // namespace protect
