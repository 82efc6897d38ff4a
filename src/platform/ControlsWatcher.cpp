#include "ControlsWatcher.h"

#include "FileWatcher.h"
#include "text/Paths.h"

TControlsPropsContainer::TWatcherFactory PlatformControlsWatcherFactory()
{
    return [](const QString& FileName, TControlsPropsContainer& Container) -> std::unique_ptr<QObject> {
        // The whole folder counts: a design tool may save the file under another name and rename it.
        auto Watcher = std::make_unique<TFileWatcher>(NativePath(ExtractFilePath(FileName)));
        QObject::connect(Watcher.get(), &TFileWatcher::OnChange, &Container, &TControlsPropsContainer::Reload);
        return Watcher;
    };
}
