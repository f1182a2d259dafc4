#include "app/recovery.h"

#include <atomic>
#include <string>

#include "base/text.h"
#include "platform/product.h"
#include "platform/trace.h"

namespace app {

namespace {

constexpr char16_t kSnapshotSuffix[] = u".snap";
constexpr char16_t kClaimSuffix[] = u".lock";
constexpr char16_t kTempSuffix[] = u".tmp";

Text Hex(const uint8_t* bytes, size_t size) {
    static constexpr char16_t kDigits[] = u"0123456789ABCDEF";
    Text hex;
    for (size_t k = 0; k < size; ++k) {
        hex += kDigits[bytes[k] >> 4];
        hex += kDigits[bytes[k] & 15];
    }
    return hex;
}

Text Decimal(uint64_t n) {
    const std::string digits = std::to_string(n);
    return Text(digits.begin(), digits.end());
}

}  // namespace

// Written on the window's thread, read under the lock on the disk's: the generations order the renames, so a
// job that finishes late never puts an older snapshot over a newer one, nor one back after a Discard.
struct Recovery::Slot {
    std::mutex lock;
    Text path;               // the snapshot's file
    uint64_t posted = 0;     // the newest generation handed to a job
    uint64_t placed = 0;     // the newest generation in place
    uint64_t discarded = 0;  // no generation up to this one may be placed
    // A job is on its way. The job itself clears it when done, so a completion message that never comes
    // cannot stop the snapshots.
    std::atomic<bool> writing = false;
    // Memory for the next snapshot's text, every page of it touched on the disk's thread: under Wine the
    // first touch of a fresh 128 MB block holds a thread for 370 ms, a copy into touched memory 8 ms. Wiped
    // whenever it is here; kept while the work is unsaved. roomFailed: none could be made.
    Text room;
    bool roomFailed = false;
};

Recovery::Recovery(Platform& platform) : m_Platform(platform), m_Slot(std::make_shared<Slot>()) {
    const Text local = platform.process.LocalAppDataFolder();
    if (!local.empty()) m_Folder = local + u"\\" + kProductName + u"\\Recovery";
}

Recovery::~Recovery() = default;

Text Recovery::SnapshotPath(const Text& id) const { return m_Folder + u"\\" + id + kSnapshotSuffix; }

void Recovery::Changed() {
    const int64_t now = m_Platform.clock.MonotonicMilliseconds();
    if (!m_Dirty) m_FirstChange = now;
    m_Dirty = true;
    m_LastChange = now;
}

bool Recovery::Due() const {
    const int64_t now = m_Platform.clock.MonotonicMilliseconds();
    return m_Dirty && !m_Slot->writing &&
           (now - m_LastChange >= kSnapshotPause || now - m_FirstChange >= kSnapshotLongest);
}

bool Recovery::Prepare() {
    if (m_Claim) return true;
    if (m_Folder.empty()) return false;
    const Text parent = m_Folder.substr(0, m_Folder.rfind(u'\\'));
    if (!m_Platform.files.EntryExists(parent)) m_Platform.files.CreateFolder(parent);
    if (!m_Platform.files.EntryExists(m_Folder)) m_Platform.files.CreateFolder(m_Folder);
    // A random id says nothing of the document; a clash with another editor's is given one more draw.
    for (int attempt = 0; attempt < 2 && !m_Claim; ++attempt) {
        if (m_Id.empty() || attempt > 0) {
            uint8_t random[8];
            if (!m_Platform.crypto.Random(random, sizeof random)) return false;
            m_Id = Hex(random, sizeof random);
        }
        m_Claim = m_Platform.files.ClaimFile(m_Folder + u"\\" + m_Id + kClaimSuffix);
    }
    if (!m_Claim) return false;
    const std::lock_guard<std::mutex> hold(m_Slot->lock);
    m_Slot->path = SnapshotPath(m_Id);
    return true;
}

std::function<void()> Recovery::Job(protect::Snapshot snapshot, const protect::SealedKey* key) {
    struct Work {
        protect::Snapshot snapshot;
        std::unique_ptr<protect::SnapshotKey> key;
        ~Work() { base::Wipe(snapshot.text); }
    };
    auto work = std::make_shared<Work>();
    work->snapshot = std::move(snapshot);
    if (key) work->key = std::make_unique<protect::SnapshotKey>(m_Platform.crypto, *key);
    const uint64_t generation = ++m_Slot->posted;
    const Text temp = m_Folder + u"\\" + m_Id + u"." + Decimal(generation) + kTempSuffix;
    return [work, generation, temp, slot = m_Slot, &files = m_Platform.files,
            &protection = m_Platform.dataProtection] {
        struct Done {  // however the job ends, also by an exception
            Slot& slot;
            ~Done() { slot.writing = false; }
        } done{*slot};
        Bytes file;
        const bool made = work->key
                              ? protect::WriteSealedSnapshot(protection, *work->key, work->snapshot, file)
                              : protect::WriteSnapshot(protection, work->snapshot, file);
        base::Wipe(work->snapshot.text);
        work->key.reset();
        {
            // The wiped text is the next snapshot's room, unless the work was let go meanwhile.
            const std::lock_guard<std::mutex> hold(slot->lock);
            if (generation > slot->discarded && work->snapshot.text.capacity() > slot->room.capacity())
                slot->room.swap(work->snapshot.text);
        }
        if (!made) return platform::Trace(u"snapshot: the encryption failed; the last one stays");
        // Written whole and flushed before it takes the name: a crash meanwhile keeps the one before.
        const bool written = files.WriteFlushed(temp, file);
        const std::lock_guard<std::mutex> hold(slot->lock);
        if (written && generation > slot->placed && generation > slot->discarded &&
            files.MoveReplacing(temp, slot->path)) {
            slot->placed = generation;
            return;
        }
        files.Delete(temp);
        if (!written) platform::Trace(u"snapshot: not written; the last one stays");
    };
}

std::function<void()> Recovery::Prepared(const Take& take, const protect::SealedKey* key) {
    m_Dirty = false;
    if (!Prepare()) {
        platform::Trace(u"snapshot: no folder or claim for it");
        return {};
    }
    Text room;
    {
        const std::lock_guard<std::mutex> hold(m_Slot->lock);
        room.swap(m_Slot->room);
    }
    return Job(take(std::move(room)), key);
}

void Recovery::MakeRoom(size_t length) {
    // Room to grow into: typing on does not need another before the next snapshot.
    const size_t size = length + length / 8 + 65536;
    m_Slot->writing = true;
    m_Platform.diskJobs.Post(
        [slot = m_Slot, size](Http&) {
            struct Done {
                Slot& slot;
                ~Done() { slot.writing = false; }
            } done{*slot};
            Text room;
            try {
                room.resize(size);  // zeros: every page touched here
            } catch (const std::bad_alloc&) {
                platform::Trace(u"snapshot: no memory made ready for its text");
            }
            room.clear();
            const std::lock_guard<std::mutex> hold(slot->lock);
            slot->roomFailed = room.capacity() < size;
            if (room.capacity() > slot->room.capacity()) slot->room.swap(room);
        },
        [] {});
}

void Recovery::Write(const Take& take, const protect::SealedKey* key, size_t length) {
    if (!Prepare()) {
        m_Dirty = false;
        return platform::Trace(u"snapshot: no folder or claim for it");
    }
    bool roomy = false;
    {
        const std::lock_guard<std::mutex> hold(m_Slot->lock);
        // Where none could be made the copy goes to fresh memory, slowly, rather than never.
        roomy = m_Slot->room.capacity() >= length || m_Slot->roomFailed;
    }
    if (!roomy) return MakeRoom(length);
    std::function<void()> job = Prepared(take, key);
    if (!job) return;
    m_Slot->writing = true;
    m_Platform.diskJobs.Post([job = std::move(job)](Http&) { job(); }, [] {});
}

bool Recovery::WriteNow(const Take& take, const protect::SealedKey* key) {
    std::function<void()> job = Prepared(take, key);
    if (!job) return false;
    job();
    const std::lock_guard<std::mutex> hold(m_Slot->lock);
    return m_Slot->placed == m_Slot->posted;
}

bool Recovery::ReadOwn(Bytes& file) const {
    if (!m_Claim) return false;
    const std::lock_guard<std::mutex> hold(m_Slot->lock);
    return m_Platform.files.ReadAll(m_Slot->path, file);
}

void Recovery::Discard() {
    m_Dirty = false;
    if (!m_Claim) return;
    {
        const std::lock_guard<std::mutex> hold(m_Slot->lock);
        m_Slot->discarded = m_Slot->posted;
        m_Platform.files.Delete(m_Slot->path);
        Text().swap(m_Slot->room);  // wiped already; not needed until the next unsaved work
    }
    m_Claim.reset();
}

std::optional<Recovery::Found> Recovery::Claim(const Text& id) {
    if (m_Folder.empty() || id.empty() || id == m_Id) return std::nullopt;
    Found found{id, {}, m_Platform.files.ClaimFile(m_Folder + u"\\" + id + kClaimSuffix)};
    // Held: its editor still runs. Gone: another start took it and is done with it.
    if (!found.claim || !m_Platform.files.FileExists(SnapshotPath(id)) ||
        !m_Platform.files.ReadAll(SnapshotPath(id), found.file))
        return std::nullopt;
    return found;
}

std::vector<Recovery::Found> Recovery::FindLeftBehind() {
    std::vector<Found> found;
    if (m_Folder.empty()) return found;
    for (const Text& name : m_Platform.files.ListFiles(m_Folder, kSnapshotSuffix)) {
        if (auto one = Claim(name.substr(0, name.size() - std::size(kSnapshotSuffix) + 1)))
            found.push_back(std::move(*one));
    }
    return found;
}

void Recovery::Adopt(Found& found) {
    m_Claim = std::move(found.claim);
    m_Id = found.id;
    DeleteTemps(m_Id);
    m_Dirty = false;
    const std::lock_guard<std::mutex> hold(m_Slot->lock);
    m_Slot->path = SnapshotPath(m_Id);
    m_Slot->placed = m_Slot->discarded = m_Slot->posted;
}

void Recovery::Delete(Found& found) {
    m_Platform.files.Delete(SnapshotPath(found.id));
    DeleteTemps(found.id);
    found.claim.reset();
}

// What a crash in the middle of a write left: never in place, so never needed.
void Recovery::DeleteTemps(const Text& id) {
    for (const Text& name : m_Platform.files.ListFiles(m_Folder, kTempSuffix))
        if (name.starts_with(id + u".")) m_Platform.files.Delete(m_Folder + u"\\" + name);
}

}  // namespace app
