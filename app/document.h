// The document the editor shows: its name and the kind the name makes it, the form its file is written in,
// its password, and whether the user has changed it. The editor owns the one document and hands it on.
#pragma once
#include <utility>

#include "base/encoding.h"
#include "base/text.h"
#include "protect/document_kind.h"

class Document {
public:
    const Text& Name() const { return m_Name; }
    bool Untitled() const { return m_Name.empty(); }
    // Decided once, when the name becomes the document's.
    protect::DocumentKind Kind() const { return m_Kind; }
    bool Secret() const { return protect::IsSecret(m_Kind); }
    bool Sealed() const { return m_Kind == protect::DocumentKind::Sealed; }
    // The encoding and line breaks its file is written in; a new document's are the code page and CR LF.
    const base::TextFormat& Format() const { return m_Format; }
    const Text& Password() const { return m_Password; }

    // A completed load, save or restore: the name, password and form are the document's now, and the password
    // it had is wiped (as is the one handed in, once taken).
    void Adopt(const Text& name, Text& password, const base::TextFormat& format);
    // New: untitled, no password, the form of a new document.
    void Clear();
    void SetPassword(const Text& password);
    void WipePassword() { base::Wipe(m_Password); }
    // The remembered password as far as it may serve path: a sealed document's only for that same file, and
    // never one kind's for the other (a protected file gives its password away, so it must not key a seal).
    Text PasswordFor(const Text& path) const;

    bool modified = false;  // edited since the last completed load or save
    bool loadSeen = false;  // the change a load raises has been seen: the next one is the user's

private:
    Text m_Name;
    protect::DocumentKind m_Kind = protect::DocumentKind::Plain;
    base::TextFormat m_Format;
    Text m_Password;
};
