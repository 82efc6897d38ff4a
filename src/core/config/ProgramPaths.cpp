#include "config/ProgramPaths.h"

#include "text/Paths.h"

using namespace Qt::StringLiterals;

QString ModuleFileName;
QString ProgramFolder;
QString ProjectFilePath;
quint8 StartFlags = sfShowSplash | sfAnimatedCursors | sfBackgroundMusic;
bool LoadFailed = false;
TVeltraneProject* Project = nullptr;

QString ShellFolder()
{
    return PathJoin({ProgramFolder, u"Shell"_s});
}
