#pragma once

#include <QFile>
#include <QString>

// Opens a file the program reads from a disc (FileName in the project's notation, or a native path)
// for reading, with Extra added to the mode. Every reader of disc files opens them here. Only a
// regular file, or a link to one, is opened: a folder, FIFO, device or socket counts as missing,
// because opening or reading one can block start-up for good. False when the file is missing, not
// a regular file or cannot be opened; *Error (if given) then says why.
bool OpenDiscFile(QFile& File, const QString& FileName, QString* Error = nullptr,
                  QIODevice::OpenMode Extra = {});
