#pragma once

#include <QDir>
#include <QFile>
#include <QProcessEnvironment>
#include <QString>

// The environment the end-to-end tests start the real program in: a private runtime folder below
// Folder, message boxes logged to Folder/messages.log (and answered at once), English, and the
// platform the test runs on (AUTORUN_E2E_PLATFORM, else offscreen).
inline QProcessEnvironment AutorunEnvironment(const QDir& Folder)
{
    const QString Runtime = Folder.filePath(QStringLiteral("runtime"));
    QDir().mkpath(Runtime);
    QFile::setPermissions(Runtime, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QProcessEnvironment E = QProcessEnvironment::systemEnvironment();
    E.insert(QStringLiteral("XDG_RUNTIME_DIR"), Runtime);
    E.insert(QStringLiteral("AUTORUN_MESSAGE_LOG"), Folder.filePath(QStringLiteral("messages.log")));
    E.insert(QStringLiteral("LANG"), QStringLiteral("en_US.UTF-8"));
    const QString Platform = qEnvironmentVariable("AUTORUN_E2E_PLATFORM");
    E.insert(QStringLiteral("QT_QPA_PLATFORM"), Platform.isEmpty() ? QStringLiteral("offscreen") : Platform);
    return E;
}
