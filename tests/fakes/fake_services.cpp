#include "fakes/fake_services.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace {
char16_t Fold(char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 32) : c; }
}  // namespace

Text FakeLocale::LowerCase(std::u16string_view text) const {
    ++lowerings;
    if (outOfMemory) throw std::bad_alloc();
    Text lower(text);
    for (auto& c : lower) c = Fold(c);
    return lower;
}

// ---- files -------------------------------------------------------------------------------------

Text FakeFiles::Key(const Text& path) {
    Text k = path;
    for (auto& c : k) c = Fold(c);
    return k;
}

int64_t FakeFiles::FileLength(const Text& path) const {
    if (const auto big = sparse.find(Key(path)); big != sparse.end()) return big->second;
    const auto it = files.find(Key(path));
    return it == files.end() || unreadable.count(Key(path)) ? -1 : static_cast<int64_t>(it->second.size());
}

bool FakeFiles::ReadAll(const Text& path, Bytes& out) {
    ++reads;
    if (tooLarge.count(Key(path))) throw std::bad_alloc();
    const auto it = files.find(Key(path));
    if (it == files.end()) return false;
    out = it->second;
    if (!unreadable.count(Key(path))) return true;
    std::fill(out.begin() + static_cast<std::ptrdiff_t>(out.size() / 2), out.end(), '\0');
    return false;
}

Text FakeFiles::CreateTempFile(const Text& folder, const Text& tail) {
    if (failCreateTemp) return {};
    const Text prefix = !folder.empty() && folder.back() == u'\\' ? folder : folder + u"\\";
    Text name;
    do {
        Text digits(5, u'0');
        for (int n = ++tempCounter, i = 4; i >= 0; --i, n /= 16)
            digits[static_cast<size_t>(i)] = u"0123456789ABCDEF"[n % 16];
        name = prefix + u"~ll" + digits + tail;
    } while (FileExists(name));
    files[Key(name)] = {};
    written[Key(name)] = clock;
    return name;
}

bool FakeFiles::WriteFlushedFrom(const Text& path, const std::function<bool(const PutBytes&)>& produce) {
    if (readOnly.count(Key(path))) return false;
    auto& stored = files[Key(path)];
    stored.clear();
    const bool held = produce([&](std::string_view piece) {
        largestPiece = std::max(largestPiece, piece.size());
        if (diskSpace >= 0 && static_cast<int64_t>(stored.size() + piece.size()) > diskSpace) {
            stored.append(piece.substr(0, static_cast<size_t>(diskSpace) - stored.size()));  // what fitted
            return false;
        }
        stored.append(piece);
        return true;
    });
    if (held) written[Key(path)] = clock;
    return held;
}

Files::ReplaceResult FakeFiles::Replace(const Text& target, const Text& replacement) {
    if (!FileExists(target)) return ReplaceResult::TargetMissing;
    if (readOnly.count(Key(target)) || failReplace) return ReplaceResult::Failed;
    if (replaceKeepsReplacement) {
        files.erase(Key(target));
        return ReplaceResult::ReplacementKept;
    }
    files[Key(target)] = files[Key(replacement)];
    written[Key(target)] = LastWrite(replacement);
    files.erase(Key(replacement));
    return ReplaceResult::Ok;
}

bool FakeFiles::MoveReplacing(const Text& from, const Text& to) {
    if (failMove || !FileExists(from) || readOnly.count(Key(to))) return false;
    files[Key(to)] = files[Key(from)];
    written[Key(to)] = LastWrite(from);
    files.erase(Key(from));
    return true;
}

bool FakeFiles::Delete(const Text& path) {
    if (readOnly.count(Key(path))) return false;
    return files.erase(Key(path)) != 0;
}

bool FakeFiles::CreateFolder(const Text& path) {
    if (EntryExists(path)) return false;
    folders.insert(Key(path));
    return true;
}

std::vector<Files::TempFile> FakeFiles::FindTempFiles(const Text& folder) const {
    const Text prefix = Key(!folder.empty() && folder.back() == u'\\' ? folder : folder + u"\\") + u"~ll";
    std::vector<TempFile> found;
    for (const auto& [path, bytes] : files) {
        if (!path.starts_with(prefix) || !path.ends_with(u".tmp") ||
            path.find(u'\\', prefix.size()) != Text::npos)
            continue;
        found.push_back({path, LastWrite(path), readOnly.count(path) != 0});
    }
    return found;
}

int64_t FakeFiles::LastWrite(const Text& path) const {
    if (!FileExists(path)) return 0;
    const auto w = written.find(Key(path));
    return w == written.end() ? clock : w->second;
}

bool FakeFiles::KeepTempFile(const Text& path) {
    if (!FileExists(path)) return false;
    readOnly.insert(Key(path));
    return true;
}

bool FakeFiles::Recycle(const Text& path) {
    if (noRecycleBin || !FileExists(path)) return false;
    recycleBin[Key(path)] = files[Key(path)];
    files.erase(Key(path));
    return true;
}

std::vector<Text> FakeFiles::ListFiles(const Text& folder, const Text& suffix) const {
    const Text prefix = Key(!folder.empty() && folder.back() == u'\\' ? folder : folder + u"\\");
    std::vector<Text> found;
    for (const auto& [path, bytes] : files) {
        if (path.starts_with(prefix) && path.ends_with(Key(suffix)) &&
            path.find(u'\\', prefix.size()) == Text::npos)
            found.push_back(path.substr(prefix.size()));
    }
    return found;
}

std::unique_ptr<Files::Claim> FakeFiles::ClaimFile(const Text& path) {
    struct Held : Claim {
        FakeFiles& files;
        Text key;
        Held(FakeFiles& f, Text k) : files(f), key(std::move(k)) {}
        ~Held() override {
            files.claimed.erase(key);
            files.files.erase(key);
        }
    };
    const Text key = Key(path);
    if (claimed.count(key) || failCreateTemp) return nullptr;
    claimed.insert(key);
    files.try_emplace(key);
    return std::make_unique<Held>(*this, key);
}

Bytes FakeFiles::Get(const Text& path) const {
    const auto it = files.find(Key(path));
    return it == files.end() ? Bytes() : it->second;
}

// ---- settings ----------------------------------------------------------------------------------

Text FakeSettings::Key(SettingsRoot root, const Text& path) {
    const Text rootName = root == SettingsRoot::ClassesRoot   ? u"HKCR"
                          : root == SettingsRoot::CurrentUser ? u"HKCU"
                                                              : u"HKLM";
    return rootName + u"\\" + FakeFiles::Key(path);
}

std::optional<Text> FakeSettings::Read(SettingsRoot root, const Text& key, const Text& name,
                                       size_t maxChars) const {
    if (refuseEverything) return {};
    const auto k = keys.find(Key(root, key));
    if (k == keys.end()) return {};
    const auto v = k->second.find(FakeFiles::Key(name));
    if (v == k->second.end()) return {};
    Text value = v->second.substr(0, v->second.find(u'\0'));
    if (value.size() > maxChars) return {};
    return value;
}

bool FakeSettings::Write(SettingsRoot root, const Text& key, const Text& name, const Text& value) {
    if (refuseEverything || refuseWrites.count(root)) return false;
    keys[Key(root, key)][FakeFiles::Key(name)] = value;
    return true;
}

bool FakeSettings::Has(SettingsRoot root, const Text& path, const Text& name) const {
    const auto k = keys.find(Key(root, path));
    return k != keys.end() && k->second.count(FakeFiles::Key(name));
}

Text FakeSettings::Get(SettingsRoot root, const Text& path, const Text& name) const {
    const auto k = keys.find(Key(root, path));
    if (k == keys.end()) return {};
    const auto v = k->second.find(FakeFiles::Key(name));
    return v == k->second.end() ? Text() : v->second;
}

void FakeSettings::Put(SettingsRoot root, const Text& path, const Text& name, const Text& value) {
    keys[Key(root, path)][FakeFiles::Key(name)] = value;
}

// ---- HTTP --------------------------------------------------------------------------------------

namespace {

class FakeBody : public HttpBody {
public:
    FakeBody(FakeHttp& http, const Text& url) : http_(http), url_(url) { ++http_.openBodies; }
    ~FakeBody() override { --http_.openBodies; }
    FakeBody(const FakeBody&) = delete;
    FakeBody& operator=(const FakeBody&) = delete;

    bool Read(char* buffer, size_t size, size_t& read) override {
        read = 0;
        if (http_.onRead) http_.onRead();
        const Bytes& body = http_.bodies[url_];
        size_t end = body.size();
        const auto cut = http_.failAfter.find(url_);
        if (cut != http_.failAfter.end() && pos_ >= cut->second) return false;
        if (cut != http_.failAfter.end()) end = std::min(end, cut->second);
        read = std::min(size, end - pos_);
        std::memcpy(buffer, body.data() + pos_, read);
        pos_ += read;
        http_.readSizes.push_back(read);
        return true;
    }

private:
    FakeHttp& http_;
    Text url_;
    size_t pos_ = 0;
};

}  // namespace

std::unique_ptr<HttpBody> FakeHttp::Get(const Text& url, const Text& agent) {
    requested.push_back(url);
    agents.push_back(agent);
    if (!bodies.count(url)) return nullptr;
    return std::make_unique<FakeBody>(*this, url);
}

// ---- volumes -----------------------------------------------------------------------------------
