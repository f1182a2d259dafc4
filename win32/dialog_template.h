#pragma once
#include <windows.h>

#include <vector>

namespace win {

// A dialog template built in memory, item by item (the classes by their atoms: 0x0080 button, 0x0081 edit,
// 0x0082 static, 0x0085 combo box).
class TemplateBuilder {
public:
    void Align() {
        while (m_Bytes.size() % 4) m_Bytes.push_back(0);
    }
    template <class T>
    void Put(const T& v) {
        const auto* p = reinterpret_cast<const unsigned char*>(&v);
        m_Bytes.insert(m_Bytes.end(), p, p + sizeof v);
    }
    void PutText(const wchar_t* s) {
        do Put<WORD>(*s);
        while (*s++);
    }
    void Item(DWORD style, short x, short y, short cx, short cy, WORD id, WORD atom, const wchar_t* text) {
        Align();
        DLGITEMTEMPLATE it{style | WS_CHILD | WS_VISIBLE, 0, x, y, cx, cy, id};
        Put(it);
        Put<WORD>(0xFFFF);
        Put<WORD>(atom);
        PutText(text);
        Put<WORD>(0);
    }
    std::vector<unsigned char> m_Bytes;
};

}  // namespace win
