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

// ---- registry ----------------------------------------------------------------------------------

Text FakeRegistry::RootName(RegRoot root) {
    switch (root) {
        case RegRoot::ClassesRoot:
            return u"HKCR";
        case RegRoot::CurrentUser:
            return u"HKCU";
        default:
            return u"HKLM";
    }
}

Text FakeRegistry::Key(RegRoot root, const Text& path) {
    return RootName(root) + u"\\" + FakeFiles::Key(path);
}

long FakeRegistry::CreateKey(RegRoot root, const Text& path, RegKey& key) {
    key = 0;
    if (refuseEverything || refuseWrites.count(root)) return 5;  // ERROR_ACCESS_DENIED
    keys[Key(root, path)];
    key = next++;
    open[key] = Key(root, path);
    return kRegOk;
}

long FakeRegistry::OpenKey(RegRoot root, const Text& path, RegKey& key) {
    key = 0;
    if (refuseEverything) return 5;
    if (!keys.count(Key(root, path))) return 2;  // ERROR_FILE_NOT_FOUND
    key = next++;
    open[key] = Key(root, path);
    return kRegOk;
}

long FakeRegistry::SetString(RegKey key, const Text& name, const Text& value) {
    const auto it = open.find(key);
    if (it == open.end()) return 6;  // ERROR_INVALID_HANDLE
    Bytes data(reinterpret_cast<const char*>(value.c_str()), (value.size() + 1) * sizeof(char16_t));
    keys[it->second][FakeFiles::Key(name)] = data;
    return kRegOk;
}

long FakeRegistry::QueryValue(RegKey key, const Text& name, void* buffer, uint32_t& size) {
    const auto it = open.find(key);
    if (it == open.end()) return 6;
    const auto& values = keys[it->second];
    const auto v = values.find(FakeFiles::Key(name));
    if (v == values.end()) return 2;
    if (v->second.size() > size) {
        size = static_cast<uint32_t>(v->second.size());
        return kRegMoreData;
    }
    std::memcpy(buffer, v->second.data(), v->second.size());
    size = static_cast<uint32_t>(v->second.size());
    return kRegOk;
}

long FakeRegistry::CloseKey(RegKey key) { return open.erase(key) ? kRegOk : 6; }

bool FakeRegistry::Has(RegRoot root, const Text& path, const Text& name) const {
    const auto k = keys.find(Key(root, path));
    return k != keys.end() && k->second.count(FakeFiles::Key(name));
}

Text FakeRegistry::Get(RegRoot root, const Text& path, const Text& name) const {
    const auto k = keys.find(Key(root, path));
    if (k == keys.end()) return {};
    const auto v = k->second.find(FakeFiles::Key(name));
    if (v == k->second.end()) return {};
    Text t(v->second.size() / 2, u'\0');
    std::memcpy(t.data(), v->second.data(), t.size() * 2);
    while (!t.empty() && t.back() == u'\0') t.pop_back();
    return t;
}

void FakeRegistry::PutRaw(RegRoot root, const Text& path, const Text& name, const Bytes& data) {
    keys[Key(root, path)][FakeFiles::Key(name)] = data;
}

void FakeRegistry::Put(RegRoot root, const Text& path, const Text& name, const Text& value) {
    PutRaw(root, path, name, Bytes(reinterpret_cast<const char*>(value.c_str()), (value.size() + 1) * 2));
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

bool FakeVolumes::VolumeInformation(const Text&, uint32_t labelSize, uint32_t fsNameSize, uint32_t& s) {
    volumeQueries.push_back({labelSize, fsNameSize});
    s = 0;
    if (!hasVolume) return false;
    s = volumeQueries.size() == 1 ? serial : serialOnRetry;
    return true;
}

bool FakeVolumes::DiskFreeSpaceEx(const Text&, uint64_t& avail, uint64_t& tot, uint64_t& fr) {
    avail = tot = fr = 0;
    if (!hasVolume || !hasDiskEx) return false;
    tot = total;
    return true;
}

bool FakeVolumes::DiskFreeSpace(const Text&, uint32_t& spc, uint32_t& bps, uint32_t& freeC,
                                uint32_t& totalC) {
    spc = bps = freeC = totalC = 0;
    if (!hasVolume || !hasClusters) return false;
    spc = sectorsPerCluster;
    bps = bytesPerSector;
    totalC = totalClusters;
    return true;
}
