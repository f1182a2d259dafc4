// The editor's side of find and replace: the one set of find operations the window and the keys share.
// Made on first use; it needs no window, so F3, Ctrl+F3 and F4 work with the window closed.
#include "app/fou.h"
#include "find/rep.h"

rep& Fou::Rep() {
    if (!m_Rep) m_Rep = std::make_unique<rep>(*this, m_RepHost);
    return *m_Rep;
}
