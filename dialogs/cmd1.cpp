// The Open / Save As dialog object: builds the platform request from its properties and keeps
// the folder and file type the user ended in.
#include "dialogs/cmd1.h"

namespace {

constexpr uint32_t kBifReturnOnlyFsDirs = 1;

// The platform reads the list up to an empty element, so it must end with two NULs.
Text DoubleNulTerminated(Text filter) {
    if (filter.empty()) return filter;
    while (filter.size() < 2 || filter[filter.size() - 1] != u'\0' || filter[filter.size() - 2] != u'\0')
        filter.push_back(u'\0');
    return filter;
}

Text UpToNul(const Text& buffer) { return buffer.substr(0, buffer.find(u'\0')); }

}  // namespace

cmd1::cmd1(FileDialogs& dialogs, const Process& process, const Text& initDir, const Text& title)
    : Filter(Text(u"All Files (*.*) ") + u'\0' + u"*.*" + u'\0'),
      InitDir(initDir),
      DialogTitle(title),
      m_Dialogs(dialogs),
      m_Process(process) {}

std::optional<Text> cmd1::ShowOpen() { return Show(false); }

std::optional<Text> cmd1::ShowSave() { return Show(true); }

std::optional<Text> cmd1::Show(bool save) {
    const Text folder = dialogs::CutLastPart(FileName, u"\\");
    if (!folder.empty()) InitDir = folder;
    if (FileName.size() > kMaxFileName) return std::nullopt;

    FileDialogRequest r;
    r.structSize = 76;
    r.owner = static_cast<std::uintptr_t>(hwndOwner);
    r.filter = DoubleNulTerminated(Filter);
    r.filterIndex = FilterIndex;
    r.file = FileName + Text(kMaxFileName - FileName.size(), u'\0');
    r.maxFile = kMaxFileName - 1;
    r.fileTitle = r.file;
    r.maxFileTitle = kMaxFileName - 1;
    r.initialDir = InitDir;
    r.title = DialogTitle;
    r.flags = static_cast<uint32_t>(flags);
    // An empty default extension makes the dialog append the chosen type's extension.
    r.hasDefExt = save;
    r.encodings = Encodings;
    r.encoding = EncodingIndex;
    r.encodingOffTypes = EncodingOffTypes;

    const bool confirmed = save ? m_Dialogs.ShowSaveDialog(r) : m_Dialogs.ShowOpenDialog(r);
    const Text result = confirmed ? UpToNul(r.file) : Text();
    if (save) FilterIndex = r.filterIndex;
    if (confirmed) EncodingIndex = r.encoding;
    // The dialog may have moved the current directory; the next one starts there.
    InitDir = m_Process.CurrentDirectory();
    return result;
}

Text cmd1::BrowseForFolder(const Text& prompt) {
    Text path(512, u' ');
    if (!m_Dialogs.BrowseForFolder(prompt, kBifReturnOnlyFsDirs, path)) return Text();
    path = UpToNul(path);
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
