// What a document is, told by its name alone (its extension, in any case): "txs" is masked under a password
// (a protected document), "txse" sealed, any other plain text. Every decision on a document's kind asks this.
#pragma once
#include "base/paths.h"

namespace protect {

enum class DocumentKind { Plain, Masked, Sealed };

inline DocumentKind KindOf(const Text& path) {
    const Text extension = base::GetExtension(path);
    if (extension == u"txs") return DocumentKind::Masked;
    if (extension == u"txse") return DocumentKind::Sealed;
    return DocumentKind::Plain;
}

// Masked or sealed: a secret whose every copy is wiped.
inline bool IsSecret(DocumentKind kind) { return kind != DocumentKind::Plain; }

}  // namespace protect
