#pragma once
#include <windows.h>

#include <cstddef>
#include <cstring>
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
    // The dialog itself, first: no menu, the default class, its font; Item counts the items into it.
    void Dialog(DWORD style, short cx, short cy, const wchar_t* title, WORD points, const wchar_t* font) {
        const DLGTEMPLATE dlg{style | DS_SETFONT, 0, 0, 0, 0, cx, cy};
        Put(dlg);
        Put<WORD>(0);  // no menu
        Put<WORD>(0);  // default class
        PutText(title);
        Put<WORD>(points);
        PutText(font);
    }
    void Item(DWORD style, short x, short y, short cx, short cy, WORD id, WORD atom, const wchar_t* text) {
        WORD items;
        std::memcpy(&items, m_Bytes.data() + offsetof(DLGTEMPLATE, cdit), sizeof items);
        ++items;
        std::memcpy(m_Bytes.data() + offsetof(DLGTEMPLATE, cdit), &items, sizeof items);
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
