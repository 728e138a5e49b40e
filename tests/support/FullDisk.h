#pragma once

// A disk that fills up, for the table engine: while a FullDisk lives, every
// table file is opened through a file layer that passes writes on to the
// real one until the disk is "full", and then fails each write that would
// make a file longer, as the real layer does when the system says ENOSPC
// (the engine's SQLITE_FULL). Files written by other means (QFile) are not
// affected.
//
// Link the test with PkgConfig::SQLCIPHER.

#include <sqlite3.h>

#include <algorithm>
#include <cstring>
#include <limits>

namespace testing {

class FullDisk {
public:
    FullDisk()
    {
        State& s = state();
        if (!s.real) {
            s.real = sqlite3_vfs_find(nullptr);
            s.vfs = *s.real;
            s.vfs.zName = "quizlark-full-disk";
            s.vfs.szOsFile = int(sizeof(File)) + s.real->szOsFile;
            s.vfs.xOpen = &FullDisk::open;
        }
        s.room = std::numeric_limits<long long>::max();
        s.failedWrites = 0;
        sqlite3_vfs_register(&s.vfs, 1);
    }
    // A table still open goes on through the layer, with room again.
    ~FullDisk()
    {
        State& s = state();
        s.room = std::numeric_limits<long long>::max();
        sqlite3_vfs_unregister(&s.vfs);
        sqlite3_vfs_register(s.real, 1);
    }
    FullDisk(const FullDisk&) = delete;
    FullDisk& operator=(const FullDisk&) = delete;

    // From now on, files may grow by bytes more; 0: the disk is full.
    void fillAfter(long long bytes) { state().room = bytes; }
    // The disk has room again.
    void free() { state().room = std::numeric_limits<long long>::max(); }
    // How many writes failed for want of room.
    int failedWrites() const { return state().failedWrites; }

private:
    // Kept for the whole run: a connection holds on to its layer.
    struct State {
        sqlite3_vfs vfs{};
        sqlite3_vfs* real = nullptr;
        long long room = 0;
        int failedWrites = 0;
    };
    static State& state()
    {
        static State s;
        return s;
    }

    struct File {
        sqlite3_file base;
        sqlite3_file* real;
    };

    static sqlite3_file* real(sqlite3_file* f) { return reinterpret_cast<File*>(f)->real; }

    static int write(sqlite3_file* f, const void* data, int amount, sqlite3_int64 offset)
    {
        // Only what a file grows by takes room: a write over its present
        // bytes finds the blocks it needs already there, as on a real disk,
        // so that the engine can still undo a transaction in place.
        State& s = state();
        sqlite3_int64 size = 0;
        if (real(f)->pMethods->xFileSize(real(f), &size) != SQLITE_OK)
            size = 0;
        const long long growth = std::max<long long>(0, offset + amount - size);
        if (growth > s.room) {
            ++s.failedWrites;
            return SQLITE_FULL;
        }
        if (s.room != std::numeric_limits<long long>::max())
            s.room -= growth;
        return real(f)->pMethods->xWrite(real(f), data, amount, offset);
    }
    static int close(sqlite3_file* f)
    {
        const int rc = real(f)->pMethods->xClose(real(f));
        return rc;
    }
    static int read(sqlite3_file* f, void* data, int amount, sqlite3_int64 offset)
    {
        return real(f)->pMethods->xRead(real(f), data, amount, offset);
    }
    static int truncate(sqlite3_file* f, sqlite3_int64 size)
    {
        return real(f)->pMethods->xTruncate(real(f), size);
    }
    static int sync(sqlite3_file* f, int flags)
    {
        return real(f)->pMethods->xSync(real(f), flags);
    }
    static int fileSize(sqlite3_file* f, sqlite3_int64* size)
    {
        return real(f)->pMethods->xFileSize(real(f), size);
    }
    static int lock(sqlite3_file* f, int level) { return real(f)->pMethods->xLock(real(f), level); }
    static int unlock(sqlite3_file* f, int level)
    {
        return real(f)->pMethods->xUnlock(real(f), level);
    }
    static int checkReservedLock(sqlite3_file* f, int* out)
    {
        return real(f)->pMethods->xCheckReservedLock(real(f), out);
    }
    static int fileControl(sqlite3_file* f, int op, void* arg)
    {
        return real(f)->pMethods->xFileControl(real(f), op, arg);
    }
    static int sectorSize(sqlite3_file* f) { return real(f)->pMethods->xSectorSize(real(f)); }
    static int deviceCharacteristics(sqlite3_file* f)
    {
        return real(f)->pMethods->xDeviceCharacteristics(real(f));
    }
    static int shmMap(sqlite3_file* f, int page, int size, int extend, void volatile** out)
    {
        return real(f)->pMethods->xShmMap(real(f), page, size, extend, out);
    }
    static int shmLock(sqlite3_file* f, int offset, int n, int flags)
    {
        return real(f)->pMethods->xShmLock(real(f), offset, n, flags);
    }
    static void shmBarrier(sqlite3_file* f) { real(f)->pMethods->xShmBarrier(real(f)); }
    static int shmUnmap(sqlite3_file* f, int deleteFlag)
    {
        return real(f)->pMethods->xShmUnmap(real(f), deleteFlag);
    }
    static int fetch(sqlite3_file* f, sqlite3_int64 offset, int amount, void** out)
    {
        return real(f)->pMethods->xFetch(real(f), offset, amount, out);
    }
    static int unfetch(sqlite3_file* f, sqlite3_int64 offset, void* p)
    {
        return real(f)->pMethods->xUnfetch(real(f), offset, p);
    }

    static const sqlite3_io_methods* methods(int version)
    {
        static sqlite3_io_methods m[4];
        sqlite3_io_methods& out = m[version];
        out = {version,   &close,          &read,        &write,  &truncate,
               &sync,     &fileSize,       &lock,        &unlock, &checkReservedLock,
               &fileControl, &sectorSize,  &deviceCharacteristics,
               version >= 2 ? &shmMap : nullptr,
               version >= 2 ? &shmLock : nullptr,
               version >= 2 ? &shmBarrier : nullptr,
               version >= 2 ? &shmUnmap : nullptr,
               version >= 3 ? &fetch : nullptr,
               version >= 3 ? &unfetch : nullptr};
        return &out;
    }

    static int open(sqlite3_vfs* vfs, const char* name, sqlite3_file* f, int flags, int* outFlags)
    {
        (void)vfs;
        auto* file = reinterpret_cast<File*>(f);
        file->real = reinterpret_cast<sqlite3_file*>(file + 1);
        std::memset(file->real, 0, size_t(state().real->szOsFile));
        const int rc = state().real->xOpen(state().real, name, file->real, flags, outFlags);
        const sqlite3_io_methods* realMethods = file->real->pMethods;
        file->base.pMethods =
            realMethods ? methods(realMethods->iVersion > 3 ? 3 : realMethods->iVersion) : nullptr;
        return rc;
    }
};

} // namespace testing
