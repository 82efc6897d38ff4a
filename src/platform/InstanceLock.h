#pragma once

#include <QString>

#include <memory>

// One running copy per program: the first copy started from a program path holds the lock until it
// ends (or dies); later copies from the same path fail to take it. The lock is per user, like a
// named mutex in the session's namespace, and never lives beside the program, whose disc is
// read-only.
class TInstanceLock
{
public:
    TInstanceLock();
    ~TInstanceLock();
    TInstanceLock(const TInstanceLock&) = delete;
    TInstanceLock& operator=(const TInstanceLock&) = delete;

    // Takes the lock for ProgramPath (the disc root and the executable's name). False when another
    // living process holds it; a holder that was killed never blocks, and neither does a lock that
    // cannot be made at all (then true, but not held). Taking it again while held by this object
    // first releases the old one.
    bool Acquire(const QString& ProgramPath);
    // Gives the lock back; nothing happens when it is not held.
    void Release();
    bool IsHeld() const;

    // Where the lock for ProgramPath lives: on Linux a lock file named by the SHA-1 of the path, in
    // the user's runtime folder, else in a folder of the user's own (mode 0700) in the temporary
    // folder, else, when another user owns that one or can write to it, in the user's cache; "" when
    // there is no such folder. On Windows the mutex name.
    static QString LockName(const QString& ProgramPath);

private:
    struct TImpl;
    std::unique_ptr<TImpl> FImpl;
};
