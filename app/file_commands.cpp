// The File menu: New, Open..., Save, Save As..., Exit, and the filter lists handed to the dialogs.
// Loading and saving are SecureOpen / SecureSave; the dialogs are the one cmd1 the window keeps.
#include <algorithm>

#include "app/fou.h"
#include "base/paths.h"
#include "base/text.h"
#include "dialogs/cmd1.h"

namespace {

constexpr char16_t kOpenList[] =
    u"All Supported Files (*.TXS, *.TXT)|*.txs;*.txt|Secret Files (*.TXS)|*.txs|Text Files (*.TXT)|*.txt|"
    u"All Files (*.*)|*.*";
constexpr char16_t kSaveAsList[] = u"Secret Files (*.TXS)|*.txs|Text Files (*.TXT)|*.txt|All Files (*.*)|*.*";
constexpr int32_t kSaveAsFlags = 6;  // OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY

Text NulSeparated(Text list) {
    std::replace(list.begin(), list.end(), u'|', u'\0');
    return list;
}

}  // namespace

Text Fou::GetFilter(const Text& fileName, int32_t& index) {
    const Text ext = d1::GetExtension(fileName);
    index = 0;
    Text result;
    if (ext == u"txs") index = 2;
    if (ext == u"txt") index = 3;
    if (!ext.empty() && index == 0) {
        const Text upper = d1::UpperAscii(ext);
        result = u"|" + upper + u" File (*." + upper + u")|*." + ext;
        index = 5;
    }
    return result;
}

cmd1& Fou::Dialog() {
    if (!m_Dialog)
        m_Dialog =
            std::make_unique<cmd1>(m_Platform.dialogs, m_Platform.process, d1::g_AppFolder, kProductName);
    return *m_Dialog;
}

Text Fou::ShowFileDialog(bool save) {
    cmd1& dialog = Dialog();
    auto show = [&] { return save ? dialog.ShowSave() : dialog.ShowOpen(); };
    std::optional<Text> result = show();
    if (!result) {
        // A name too long for the dialog's buffer: let the user pick one from scratch.
        dialog.FileName.clear();
        result = show();
    }
    return result.value_or(Text());
}

bool Fou::SaveAs() {
    int32_t filterIndex = 0;
    const Text piece = GetFilter(d1::g_FileName, filterIndex);
    Text name = d1::g_FileName;
    // Own types (txs, txt) and untitled documents are proposed as a secret file, without extension.
    filterIndex -= 1;
    if (filterIndex < 3) {
        filterIndex = 1;
        name = d1::StripExtension(d1::g_FileName);
    }
    cmd1& dialog = Dialog();
    dialog.Filter = NulSeparated(kSaveAsList + piece);
    dialog.FilterIndex = filterIndex;
    dialog.FileName = name;
    dialog.flags = kSaveAsFlags;
    const Text chosen = ShowFileDialog(true);
    return !chosen.empty() && SaveTo(chosen, true);
}

void Fou::mnu1_Click(int index) {
    switch (index) {
        case kMnuNew:
            if (!SaveChangesFirst()) return;
            if (!ShowDocument(Text())) return;
            d1::g_FileName.clear();
            d1::Wipe(d1::g_Password);
            break;
        case kMnuOpen: {
            if (!SaveChangesFirst()) return;
            int32_t filterIndex = 0;
            const Text piece = GetFilter(d1::g_FileName, filterIndex);
            cmd1& dialog = Dialog();
            dialog.Filter = NulSeparated(kOpenList + piece);
            dialog.FilterIndex = filterIndex == 0 ? 1 : filterIndex;
            dialog.FileName = d1::g_FileName;
            const Text chosen = ShowFileDialog(false);
            if (!chosen.empty()) SecureOpen(chosen);
            break;
        }
        case kMnuSave:
            SecureSave(false);
            break;
        case kMnuSaveAs:
            SaveAs();
            break;
        case kMnuExit:
            // Form_Unload ends the process; nothing may follow it.
            if (Form_QueryUnload()) Form_Unload();
            return;
        default:
            break;
    }
    UpdateCaption();
}
