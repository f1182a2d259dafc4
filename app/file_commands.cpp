// The File menu: New, Open..., Save, Save As..., Exit, and the filter lists handed to the dialogs.
// Loading and saving are SecureOpen / SecureSave; the dialogs are the one FileDialogState the window keeps.
#include <optional>
#include <vector>

#include "app/editor.h"
#include "base/paths.h"
#include "base/text.h"
#include "dialogs/file_dialog_state.h"
#include "protect/document_kind.h"

namespace {

constexpr char16_t kOpenList[] =
    u"All Supported Files (*.TXS, *.TXSE, *.TXT)|*.txs;*.txse;*.txt|Secret Files (*.TXS)|*.txs|"
    u"Sealed Files (*.TXSE)|*.txse|Text Files (*.TXT)|*.txt|All Files (*.*)|*.*";
constexpr char16_t kSaveAsList[] =
    u"Secret Files (*.TXS)|*.txs|Sealed Files (*.TXSE)|*.txse|Text Files (*.TXT)|*.txt|All Files (*.*)|*.*";
// Positions in the Open list; the Save As list lacks its first entry.
constexpr int32_t kOpenSecret = 2, kOpenSealed = 3, kOpenText = 4, kOpenOwnType = 6;
// The Open dialog's Encoding list: detection first, then the encodings in their order.
constexpr char16_t kAutoDetect[] = u"Auto-detect";

std::vector<Text> EncodingNames() {
    std::vector<Text> names;
    names.reserve(base::kEncodingCount);
    for (int e = 0; e < base::kEncodingCount; ++e)
        names.push_back(base::EncodingName(static_cast<base::Encoding>(e)));
    return names;
}

// A list as written above, "name|patterns|name|patterns...", as the dialog's types.
std::vector<FileType> TypesOf(const Text& list) {
    const std::vector<Text> parts = base::SplitText(list, u"|");
    std::vector<FileType> types;
    for (size_t i = 0; i + 1 < parts.size(); i += 2) types.push_back({parts[i], parts[i + 1]});
    return types;
}

}  // namespace

Text Editor::GetFilter(const Text& fileName, int32_t& index) {
    const Text ext = base::GetExtension(fileName);
    index = 0;
    Text result;
    if (protect::KindOf(fileName) == protect::DocumentKind::Masked) index = kOpenSecret;
    if (protect::KindOf(fileName) == protect::DocumentKind::Sealed) index = kOpenSealed;
    if (ext == u"txt") index = kOpenText;
    if (!ext.empty() && index == 0) {
        const Text upper = base::UpperAscii(ext);
        result = u"|" + upper + u" File (*." + upper + u")|*." + ext;
        index = kOpenOwnType;
    }
    return result;
}

FileDialogState& Editor::Dialog() {
    if (!m_Dialog)
        m_Dialog =
            std::make_unique<FileDialogState>(m_Platform.dialogs, m_Platform.process, m_Folder, kProductName);
    return *m_Dialog;
}

Text Editor::ShowFileDialog(bool save) {
    FileDialogState& dialog = Dialog();
    auto show = [&] { return save ? dialog.ShowSave() : dialog.ShowOpen(); };
    std::optional<Text> result = show();
    if (!result) {
        // A name too long for the dialog's buffer: let the user pick one from scratch.
        dialog.FileName.clear();
        result = show();
    }
    return result.value_or(Text());
}

bool Editor::SaveAs(bool background) {
    int32_t filterIndex = 0;
    const Text piece = GetFilter(m_Document.Name(), filterIndex);
    Text name = m_Document.Name();
    // Own types (txs, txse, txt) and untitled documents are proposed without extension, as a secret file
    // unless already sealed.
    if (filterIndex == kOpenOwnType) {
        filterIndex -= 1;
    } else {
        filterIndex = filterIndex == kOpenSealed ? kOpenSealed - 1 : 1;
        name = base::StripExtension(m_Document.Name());
    }
    FileDialogState& dialog = Dialog();
    dialog.Filter = TypesOf(kSaveAsList + piece);
    dialog.FilterIndex = filterIndex;
    dialog.FileName = name;
    dialog.ConfirmOverwrite = dialog.HideReadOnly = true;
    dialog.Encodings = EncodingNames();
    dialog.EncodingIndex = static_cast<int32_t>(m_Document.Format().encoding);
    // Protected and sealed documents have a form of their own: for one of them the list is off while its
    // types are chosen (a plain document proposed as a secret file keeps it, and a save as one ignores it).
    if (m_Document.Secret())
        dialog.Filter[kOpenSecret - 2].encodingOff = dialog.Filter[kOpenSealed - 2].encodingOff = true;
    const Text chosen = ShowFileDialog(true);
    if (chosen.empty()) return false;
    base::TextFormat format = m_Document.Format();
    // Another encoding is written in its usual form (UTF-16 with its mark); the document's own keeps its.
    if (dialog.EncodingIndex >= 0 && dialog.EncodingIndex < base::kEncodingCount &&
        static_cast<base::Encoding>(dialog.EncodingIndex) != format.encoding)
        format = {static_cast<base::Encoding>(dialog.EncodingIndex), format.breaks};
    return SaveTo(chosen, true, format, background);
}

void Editor::OnFileMenu(int index) {
    const Command running(*this);
    if (index != kMenuExit && !Ready()) return;  // Exit asks as the close box does
    switch (index) {
        case kMenuNew:
            if (!SaveChangesFirst()) return;
            if (!ShowDocument(Text(), m_Document.Secret())) return;
            m_Document.Clear();
            m_Documents.Forget();
            break;
        case kMenuOpen: {
            if (!SaveChangesFirst()) return;
            int32_t filterIndex = 0;
            const Text piece = GetFilter(m_Document.Name(), filterIndex);
            FileDialogState& dialog = Dialog();
            dialog.Filter = TypesOf(kOpenList + piece);
            dialog.FilterIndex = filterIndex == 0 ? 1 : filterIndex;
            dialog.FileName = m_Document.Name();
            dialog.Encodings = EncodingNames();
            dialog.Encodings.insert(dialog.Encodings.begin(), kAutoDetect);
            dialog.EncodingIndex = 0;
            // Protected and sealed documents have a form of their own.
            dialog.Filter[kOpenSecret - 1].encodingOff = dialog.Filter[kOpenSealed - 1].encodingOff = true;
            const Text chosen = ShowFileDialog(false);
            std::optional<base::Encoding> as;
            if (dialog.EncodingIndex >= 1 && dialog.EncodingIndex <= base::kEncodingCount)
                as = static_cast<base::Encoding>(dialog.EncodingIndex - 1);
            if (!chosen.empty()) SecureOpen(chosen, as);
            break;
        }
        case kMenuSave:
            SecureSave(false, true);
            break;
        case kMenuSaveAs:
            SaveAs(true);
            break;
        case kMenuExit:
            // Form_Unload ends the process; nothing may follow it.
            if (Form_QueryUnload()) Form_Unload();
            return;
        default:
            break;
    }
    UpdateCaption();
}
