#include "FileWatcher.h"

#include "text/Paths.h"

#include <QFile>
#include <QSocketNotifier>
#include <QTimer>

#include <cerrno>
#include <cstring>
#include <sys/inotify.h>
#include <unistd.h>

struct TFileWatcher::TImpl
{
    QString Folder;
    QString FileName;
    int Fd = -1;
    bool Watching = false;
    QSocketNotifier* Notifier = nullptr;
    QTimer* Debounce = nullptr;
};

namespace {

// Last-write changes of the folder's entries; the SELF events tell that the folder itself has gone.
constexpr uint32_t WatchMask = IN_MODIFY | IN_CLOSE_WRITE | IN_MOVED_TO | IN_CREATE | IN_ATTRIB |
                               IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR;

} // namespace

TFileWatcher::TFileWatcher(const QString& Folder, const QString& FileName, QObject* Parent)
    : QObject(Parent), FImpl(std::make_unique<TImpl>())
{
    FImpl->Folder = NativePath(Folder);
    FImpl->FileName = FileName;
    // Children of the watcher, so that they live on its thread and OnChange is emitted there.
    FImpl->Debounce = new QTimer(this);
    FImpl->Debounce->setSingleShot(true);
    FImpl->Debounce->setInterval(DefaultDebounceInterval);
    connect(FImpl->Debounce, &QTimer::timeout, this, &TFileWatcher::OnChange);

    FImpl->Fd = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (FImpl->Fd < 0) {
        return;
    }
    if (inotify_add_watch(FImpl->Fd, QFile::encodeName(FImpl->Folder).constData(), WatchMask) < 0) {
        close(FImpl->Fd);
        FImpl->Fd = -1;
        return;
    }
    FImpl->Watching = true;
    FImpl->Notifier = new QSocketNotifier(FImpl->Fd, QSocketNotifier::Read, this);
    connect(FImpl->Notifier, &QSocketNotifier::activated, this, [this] {
        bool Changed = false;
        bool Gone = false;
        alignas(inotify_event) char Buffer[16 * 1024];
        for (;;) {
            const ssize_t Got = read(FImpl->Fd, Buffer, sizeof Buffer);
            if (Got < 0 && errno == EINTR) {
                continue;
            }
            if (Got <= 0) {
                break;
            }
            for (ssize_t Pos = 0; Pos + ssize_t(sizeof(inotify_event)) <= Got;) {
                inotify_event Event;
                std::memcpy(&Event, Buffer + Pos, sizeof Event);
                const char* Name = Buffer + Pos + sizeof Event;
                Pos += ssize_t(sizeof Event + Event.len);
                if (Event.mask & (IN_DELETE_SELF | IN_MOVE_SELF | IN_IGNORED | IN_UNMOUNT)) {
                    Gone = true;
                } else if (Event.mask & IN_Q_OVERFLOW) {
                    // Events were lost: one of them may have been ours.
                    Changed = true;
                } else if (FImpl->FileName.isEmpty()) {
                    Changed = true;
                } else if (Event.len > 0) {
                    const QString EntryName =
                        QFile::decodeName(QByteArray(Name, qsizetype(strnlen(Name, Event.len))));
                    Changed |= EntryName.compare(FImpl->FileName, Qt::CaseInsensitive) == 0;
                }
            }
        }
        if (Gone) {
            // The path no longer names the folder we watch; the descriptor stays open until the end.
            FImpl->Watching = false;
            FImpl->Notifier->setEnabled(false);
            FImpl->Debounce->stop();
            return;
        }
        if (Changed) {
            FImpl->Debounce->start();
        }
    });
}

TFileWatcher::~TFileWatcher()
{
    delete FImpl->Notifier;
    FImpl->Notifier = nullptr;
    if (FImpl->Fd >= 0) {
        close(FImpl->Fd);
    }
}

QString TFileWatcher::Folder() const
{
    return FImpl->Folder;
}

QString TFileWatcher::FileName() const
{
    return FImpl->FileName;
}

bool TFileWatcher::IsWatching() const
{
    return FImpl->Watching;
}

int TFileWatcher::DebounceInterval() const
{
    return FImpl->Debounce->interval();
}

void TFileWatcher::SetDebounceInterval(int Msec)
{
    FImpl->Debounce->setInterval(qMax(0, Msec));
}
