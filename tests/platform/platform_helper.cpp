// A second process for the platform tests. It runs one service with the environment the test gave
// it and reports on its standard output:
//   lock <program path> [hold] [spawn <program>]  takes the instance lock ("acquired" or "busy",
//       exit code 0 or 1); "spawn" starts a program through the shell while holding it; "hold"
//       keeps the lock until standard input closes.
//   open <file>  opens a file through the system's shell and prints the result code.
//   url <address>  likewise for an address.
#include "InstanceLock.h"
#include "ShellService.h"

#include <QCoreApplication>
#include <QFile>
#include <QUrl>

#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

void Say(const QString& Line)
{
    std::fputs(qPrintable(Line + u'\n'), stdout);
    std::fflush(stdout);
}

int Lock(const QStringList& Args)
{
    TInstanceLock Lock;
    if (!Lock.Acquire(Args.value(2))) {
        Say(u"busy"_s);
        return 1;
    }
    Say(u"acquired"_s);
    if (const qsizetype Spawn = Args.indexOf(u"spawn"_s); Spawn > 0) {
        Say(u"spawned "_s + QString::number(ShellService().Run(Args.value(Spawn + 1), QString(), QString())));
    }
    if (Args.contains(u"hold"_s)) {
        QFile In;
        if (In.open(stdin, QIODevice::ReadOnly)) {
            In.readAll();
        }
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication App(argc, argv);
    const QStringList Args = App.arguments();
    const QString Mode = Args.value(1);
    if (Mode == u"lock"_s) {
        return Lock(Args);
    }
    if (Mode == u"open"_s) {
        Say(QString::number(ShellService().Open(Args.value(2), QString(), QString())));
        return 0;
    }
    if (Mode == u"url"_s) {
        Say(QString::number(ShellService().OpenUrl(QUrl(Args.value(2), QUrl::TolerantMode))));
        return 0;
    }
    Say(u"unknown mode"_s);
    return 2;
}
