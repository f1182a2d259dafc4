#include "app/document.h"

void Document::Adopt(const Text& name, Text& password, const base::TextFormat& format) {
    m_Name = name;
    m_Kind = protect::KindOf(name);
    m_Format = format;
    SetPassword(password);
    base::Wipe(password);  // a short one was copied out of its inline buffer, not moved
}

void Document::Clear() {
    m_Name.clear();
    m_Kind = protect::DocumentKind::Plain;
    m_Format = {};
    WipePassword();
}

void Document::SetPassword(const Text& password) {
    if (password == m_Password) return;
    WipePassword();
    m_Password = password;
}

Text Document::PasswordFor(const Text& path) const {
    if (protect::KindOf(path) == protect::DocumentKind::Sealed ? path == m_Name : !Sealed())
        return m_Password;
    return {};
}
