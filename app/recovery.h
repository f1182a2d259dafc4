// Snapshots of unsaved work: when one is due, writing it off the window's thread, removing it once the work
// is saved or let go, and finding those that editors which ended without a close left behind.
// A snapshot lives in the user's local application data (Lockleaf\Recovery\<id>.snap, the id random), beside
// <id>.lock, which the editor it belongs to holds while it runs so that no other editor takes it.
#pragma once
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "platform/platform.h"
#include "protect/snapshot.h"

namespace app {

// Typing writes a snapshot once it pauses this long, and at least this often while it goes on.
constexpr int64_t kSnapshotPause = 1000;
constexpr int64_t kSnapshotLongest = 30000;

class Recovery {
public:
    explicit Recovery(Platform& platform);
    // As a crash would: the claim goes, the snapshot stays for the next start.
    ~Recovery();
    Recovery(const Recovery&) = delete;
    Recovery& operator=(const Recovery&) = delete;

    // The document changed, by the user.
    void Changed();
    // A snapshot should be written now (the work is unsaved; the caller knows).
    bool Due() const;
    // Encrypts and writes the snapshot take gives on the disk's thread; its text is wiped there. take copies
    // the text into room, memory made ready for it (or empty), and is not called (the text not copied) where
    // no snapshot can be kept. key: a sealed document's. length: the text's, in UTF-16 units. Without room
    // for that much, the room is made first, on the disk's thread, and the snapshot stays due.
    using Take = std::function<protect::Snapshot(Text room)>;
    void Write(const Take& take, const protect::SealedKey* key, size_t length);
    // The same, done before it returns: the session is ending and the process may not see another message.
    // True when the snapshot is in place.
    bool WriteNow(const Take& take, const protect::SealedKey* key);
    // The bytes of this editor's own snapshot; false when it has none in place.
    bool ReadOwn(Bytes& file) const;
    Text OwnPath() const { return SnapshotPath(m_Id); }
    // The work was saved or let go: the snapshot, and any still on its way, is removed.
    void Discard();
    bool HasSnapshot() const { return m_Claim != nullptr; }

    // A snapshot whose editor is gone, claimed by this one until it is taken or released.
    struct Found {
        Text id;
        Bytes file;
        std::unique_ptr<Files::Claim> claim;
    };
    std::vector<Found> FindLeftBehind();
    // The one named by id, if no running editor holds it.
    std::optional<Found> Claim(const Text& id);
    // found becomes this editor's own snapshot, as if it had written it.
    void Adopt(Found& found);
    // Removes found for good (the user said No).
    void Delete(Found& found);

    Text SnapshotPath(const Text& id) const;

private:
    struct Slot;     // shared with the jobs on the disk's thread
    bool Prepare();  // the folder, an id and its claim
    void DeleteTemps(const Text& id);
    std::function<void()> Job(protect::Snapshot snapshot, const protect::SealedKey* key);
    std::function<void()> Prepared(const Take& take, const protect::SealedKey* key);
    void MakeRoom(size_t length);

    Platform& m_Platform;
    Text m_Folder;
    Text m_Id;
    std::unique_ptr<Files::Claim> m_Claim;
    std::shared_ptr<Slot> m_Slot;
    bool m_Dirty = false;
    int64_t m_FirstChange = 0, m_LastChange = 0;
};

}  // namespace app
