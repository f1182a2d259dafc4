// The Open / Save As dialog object: builds the platform's request from its properties and keeps the folder
// and file type the user ended in.
#include "dialogs/file_dialog_state.h"

namespace {

Text UpToNul(const Text& text) { return text.substr(0, text.find(u'\0')); }

}  // namespace

FileDialogState::FileDialogState(FileDialogs& dialogs, const Process& process, const Text& initDir,
                                 const Text& title)
    : Filter{{u"All Files (*.*) ", u"*.*"}},
      InitDir(initDir),
      DialogTitle(title),
      m_Dialogs(dialogs),
      m_Process(process) {}

std::optional<Text> FileDialogState::ShowOpen() { return Show(false); }

std::optional<Text> FileDialogState::ShowSave() { return Show(true); }

std::optional<Text> FileDialogState::Show(bool save) {
    const Text folder = dialogs::CutLastPart(FileName, u"\\");
    if (!folder.empty()) InitDir = folder;
    if (FileName.size() > FileDialogRequest::kLongestFile) return std::nullopt;

    FileDialogRequest r;
    r.title = DialogTitle;
    r.folder = InitDir;
    r.file = FileName;
    r.types = Filter;
    r.type = FilterIndex;
    r.confirmOverwrite = ConfirmOverwrite;
    r.hideReadOnly = HideReadOnly;
    r.encodings = Encodings;
    r.encoding = EncodingIndex;

    const bool confirmed = save ? m_Dialogs.ShowSaveDialog(r) : m_Dialogs.ShowOpenDialog(r);
    const Text result = confirmed ? r.file : Text();
    if (save) FilterIndex = r.type;
    if (confirmed) EncodingIndex = r.encoding;
    // The dialog may have moved the current directory; the next one starts there.
    InitDir = m_Process.CurrentDirectory();
    return result;
}

Text FileDialogState::BrowseForFolder(const Text& prompt) {
    const Text path = UpToNul(m_Dialogs.PickFolder(prompt).value_or(Text()));
    const auto first = path.find_first_not_of(u' ');
    if (first == Text::npos) return Text();
    return path.substr(first, path.find_last_not_of(u' ') - first + 1);
}

namespace dialogs {

Text CutLastPart(const Text& text, const Text& separator) {
    if (separator.empty()) return text;
    // Left-to-right like a split, so overlapping separators cut where a split would.
    size_t last = Text::npos;
    for (size_t at = text.find(separator); at != Text::npos; at = text.find(separator, at + separator.size()))
        last = at;
    return last == Text::npos ? text : text.substr(0, last);
}

}  // namespace dialogs
