// One kind of document's road between its file's bytes and the text the box shows. The document store picks
// the codec of a document's kind, made with what that kind needs: plain text its form, a protected document
// its password, a sealed one its key (protect/document_codecs.h).
#pragma once
#include <optional>

#include "base/encoding.h"
#include "platform/ports.h"

namespace base {

class DocumentCodec {
public:
    virtual ~DocumentCodec() = default;
    // False when the bytes do not read as this kind's under what the codec was made with.
    virtual bool Read(std::string_view file, Text& text) = 0;
    // The text's bytes, handed to put; false when they could not be made or put refused them.
    virtual bool Write(std::u16string_view text, const Files::PutBytes& put) = 0;
};

// Plain text. Read finds the file's form, or reads it in the one encoding the user chose (as); Write writes
// the form, a piece at a time.
class PlainCodec final : public DocumentCodec {
public:
    explicit PlainCodec(TextFormat form = {}, std::optional<Encoding> as = std::nullopt)
        : format(form), m_As(as) {}
    bool Read(std::string_view file, Text& text) override {
        if (!m_As) {
            format = DecodeDocument(file, text);
            return true;
        }
        return DecodeDocumentAs(file, *m_As, text, format);
    }
    bool Write(std::u16string_view text, const Files::PutBytes& put) override {
        return EncodeDocument(text, format, put);
    }

    TextFormat format;

private:
    std::optional<Encoding> m_As;
};

}  // namespace base
