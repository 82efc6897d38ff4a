#include "StartRule.h"

#include "ProgramFile.h"
#include "ShellService.h"

#include <QMimeDatabase>

using namespace Qt::StringLiterals;

bool IsProgramFile(const QString& NativeFile)
{
    // The program's own rule, so that the check reports what a run does.
    const TProgramKind Kind = ProgramKind(NativeFile);
    return Kind == pkNativeProgram || Kind == pkScript;
}

TStartDecision DecideStart(bool ProgramStep, const QString& NativeFile, const QProcessEnvironment& Environment)
{
    TStartDecision Decision;
    const QMimeType Type = QMimeDatabase().mimeTypeForFile(NativeFile);
    Decision.Type = Type.name();
    if (ProgramStep && IsProgramFile(NativeFile)) {
        Decision.Way = TStartWay::Program;
        return Decision;
    }
    if (const auto Entry = Xdg::DefaultApplication(Xdg::MimeTypeChain(Type), Environment)) {
        Decision.Way = TStartWay::Desktop;
        Decision.Opener = Entry->Id;
    }
    return Decision;
}
