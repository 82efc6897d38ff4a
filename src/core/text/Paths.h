#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>
#include <initializer_list>

// Path routines in the project's own (Windows) notation. Paths are built as text with backslashes,
// exactly as disc projects write them, and only NativePath turns them into file-system paths.

// Joins folder names into one folder path that ends with a backslash (unless every part is empty).
QString PathJoin(std::initializer_list<QString> Parts);
QString PathJoin(const QStringList& Parts);

// True when S is empty or holds only blanks (32) and carriage returns (13).
bool IsBlank(QStringView S);

// True for a backslash; on POSIX systems a forward slash counts as a separator too.
bool IsPathDelimiter(QChar C);

// The folder part of a file name, up to and including its last separator or drive colon ("" when none).
QString ExtractFilePath(const QString& FileName);
// The name part after the last separator or drive colon.
QString ExtractFileName(const QString& FileName);
// The extension including its point (".apr"), or "" when the name part has no point.
QString ExtractFileExt(const QString& FileName);

// Maps a project path to the file system: backslashes become the native separator and, on a
// case-sensitive file system, every component that does not exist under its exact name is looked up
// without regard to case. Components that cannot be found are kept as written, so the result names
// the file that would be created. Every file-system access of the program goes through here.
QString NativePath(const QString& Path);

// True when FileName (in the project's notation) names an existing file, not a folder.
bool FileExists(const QString& FileName);

// The one form in which a path leaves the program: handed to the shell, put into a started program's
// parameters, shown in a message or a field, given to the copier. It is the file the program itself
// would open: NativePath (separators turned, each component found without regard to case), made
// absolute against the current folder, with the platform's separators. "" stays "".
QString SystemPath(const QString& Path);
