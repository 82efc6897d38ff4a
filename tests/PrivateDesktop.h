#pragma once

#include "ShellService.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <optional>

// A private desktop for tests that start real programs through the system's shell: a temporary
// freedesktop tree with its own HOME, XDG_CONFIG_HOME, XDG_CONFIG_DIRS, XDG_DATA_HOME, XDG_DATA_DIRS
// and PATH. Only the system's MIME database is linked in, never its programs. Every registered
// program is one recording script, started with the registration's tag as its first argument; it
// writes its working folder and arguments to a log by a rename, so a reader never sees half a record.
class TPrivateDesktop
{
public:
    struct TRecord
    {
        QString Cwd;
        QStringList Args;
    };

    static constexpr QFile::Permissions ReadWrite =
        QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther;
    static constexpr QFile::Permissions Executable =
        ReadWrite | QFile::ExeOwner | QFile::ExeUser | QFile::ExeGroup | QFile::ExeOther;

    TPrivateDesktop()
    {
        if (!FRoot.isValid()) {
            return;
        }
        FLog = Path(QStringLiteral("recorder.log"));
        const QString Script = QStringLiteral("#!/bin/sh\nlog='") + FLog +
                               QStringLiteral("'\n{ printf 'cwd:%s\\n' \"$(pwd -P)\"; for a in \"$@\"; do "
                                              "printf 'arg:%s\\n' \"$a\"; done; } > \"$log.part.$$\"\n"
                                              "/bin/mv \"$log.part.$$\" \"$log\"\n");
        FRecorderScript = Script.toUtf8();
        FValid = WriteFile(Recorder(), FRecorderScript, Executable) &&
                 QDir().mkpath(Path(QStringLiteral("share"))) && QDir().mkpath(Path(QStringLiteral("home"))) &&
                 QDir().mkpath(Path(QStringLiteral("data/applications"))) &&
                 QFile::link(QStringLiteral("/usr/share/mime"), Path(QStringLiteral("share/mime"))) &&
                 WriteMimeApps();
    }

    bool IsValid() const { return FValid; }
    QString Path(const QString& Relative) const { return FRoot.filePath(Relative); }
    // The recording program and its text (a disc's program in a test can be a copy of it).
    QString Recorder() const { return Path(QStringLiteral("bin/recorder")); }
    const QByteArray& RecorderScript() const { return FRecorderScript; }

    QProcessEnvironment Environment() const
    {
        QProcessEnvironment Env;
        Env.insert(QStringLiteral("HOME"), Path(QStringLiteral("home")));
        Env.insert(QStringLiteral("XDG_CONFIG_HOME"), Path(QStringLiteral("config")));
        Env.insert(QStringLiteral("XDG_CONFIG_DIRS"), Path(QStringLiteral("sysconfig")));
        Env.insert(QStringLiteral("XDG_DATA_HOME"), Path(QStringLiteral("data")));
        Env.insert(QStringLiteral("XDG_DATA_DIRS"), Path(QStringLiteral("share")));
        Env.insert(QStringLiteral("PATH"), Path(QStringLiteral("bin")));
        return Env;
    }

    // The system's shell service working on this desktop.
    std::unique_ptr<IShellService> CreateShell() const { return CreatePlatformShellService(Environment()); }

    // Registers a program for Types as their default: the recorder, with Tag as its first argument
    // and the file after it.
    bool Register(const QString& Tag, const QStringList& Types)
    {
        const QString Id = Tag + QStringLiteral(".desktop");
        const QString Entry = QStringLiteral("[Desktop Entry]\nType=Application\nName=") + Tag +
                              QStringLiteral("\nExec=") + Recorder() + QStringLiteral(" --") + Tag +
                              QStringLiteral(" %f\n");
        if (!WriteFile(Path(QStringLiteral("data/applications/")) + Id, Entry.toUtf8())) {
            return false;
        }
        for (const QString& Type : Types) {
            FDefaults[Type] = Id;
        }
        return WriteMimeApps();
    }

    // The next record, waited for with a bound; none when nothing was started in time.
    std::optional<TRecord> WaitForRecord(int TimeoutMs = 15000)
    {
        const QDeadlineTimer Deadline(TimeoutMs);
        while (!QFile::exists(FLog)) {
            if (Deadline.hasExpired()) {
                return std::nullopt;
            }
            QTest::qWait(20);
        }
        TRecord Record;
        QFile File(FLog);
        if (File.open(QIODevice::ReadOnly)) {
            for (const QString& Line : QString::fromUtf8(File.readAll()).split(u'\n', Qt::SkipEmptyParts)) {
                if (Line.startsWith(QStringLiteral("cwd:"))) {
                    Record.Cwd = Line.mid(4);
                } else if (Line.startsWith(QStringLiteral("arg:"))) {
                    Record.Args.append(Line.mid(4));
                }
            }
        }
        QFile::remove(FLog);
        return Record;
    }

    void ForgetRecord() { QFile::remove(FLog); }

    static bool WriteFile(const QString& FileName, const QByteArray& Bytes, QFile::Permissions Permissions = {})
    {
        QDir().mkpath(QFileInfo(FileName).absolutePath());
        QFile File(FileName);
        if (!File.open(QIODevice::WriteOnly | QIODevice::Truncate) || File.write(Bytes) != Bytes.size()) {
            return false;
        }
        File.close();
        return Permissions == QFile::Permissions() || File.setPermissions(Permissions);
    }

private:
    bool WriteMimeApps() const
    {
        QByteArray Text = "[Default Applications]\n";
        for (auto It = FDefaults.cbegin(); It != FDefaults.cend(); ++It) {
            Text += It.key().toUtf8() + '=' + It.value().toUtf8() + '\n';
        }
        return WriteFile(Path(QStringLiteral("config/mimeapps.list")), Text);
    }

    QTemporaryDir FRoot;
    bool FValid = false;
    QString FLog;
    QByteArray FRecorderScript;
    QMap<QString, QString> FDefaults;
};
