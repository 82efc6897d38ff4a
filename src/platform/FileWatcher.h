#pragma once

#include <QObject>
#include <QString>

#include <memory>

// Watches one folder (not its sub-folders) for last-write changes: a file written in place,
// created, replaced by a rename, or touched. A save usually causes several such events, so they
// are gathered: OnChange comes once the folder has been quiet for the debounce interval, on the
// thread that owns the watcher. The watcher is the controls.ini file's "re-read when the folder
// changes".
class TFileWatcher : public QObject
{
    Q_OBJECT

public:
    static constexpr int DefaultDebounceInterval = 100;

    // Watches Folder (program notation). With FileName given only changes of that entry count (its
    // name compared without regard to case); otherwise a change of any entry does.
    explicit TFileWatcher(const QString& Folder, const QString& FileName = QString(),
                          QObject* Parent = nullptr);
    ~TFileWatcher() override;
    Q_DISABLE_COPY_MOVE(TFileWatcher)

    QString Folder() const;
    QString FileName() const;

    // False when the folder could not be watched (it does not exist) or has gone since (deleted or
    // moved away); no OnChange comes then.
    bool IsWatching() const;

    // Milliseconds of quiet after the last event before OnChange.
    int DebounceInterval() const;
    void SetDebounceInterval(int Msec);

signals:
    void OnChange();

private:
    struct TImpl;
    std::unique_ptr<TImpl> FImpl;
};
