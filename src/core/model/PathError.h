#pragma once

#include <QString>

#include <exception>

// An error about one property, named by its path ("Sections[2].SItems[0].Name: reason"). Used inside
// the writer and the JSON reader to unwind to their entry point, which returns the message.
class EPathError : public std::exception
{
public:
    EPathError(const QString& Path, const QString& Reason)
        : Message(Path.isEmpty() ? Reason : Path + QStringLiteral(": ") + Reason)
    {
    }
    const char* what() const noexcept override { return "property path error"; }
    QString Message;
};
