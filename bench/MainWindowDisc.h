#pragma once

// A disc for the benchmarks that select nodes in the main window: a "Shell" folder in a temporary (or
// given) folder, a project built in code and written as its structure file, and the program-wide
// state the window reads, with sound, message boxes and the shell replaced by recording services.

#include "FakeMessageService.h"
#include "FakeShellService.h"
#include "FakeSoundEngine.h"
#include "ImageList.h"
#include "MainForm.h"
#include "MessageService.h"
#include "Timer.h"
#include "TreeView.h"
#include "config/DesignSettings.h"
#include "config/ProgramPaths.h"
#include "lang/LangStrs.h"
#include "model/ComponentWriter.h"
#include "model/Project.h"
#include "model/StructureFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

class TBenchDisc
{
public:
    // Folder is the disc's root, made when missing.
    explicit TBenchDisc(const QString& Folder)
    {
        InitLanguageUnit();
        SelectLanguage(0x0409);
        QDir().mkpath(Folder + QStringLiteral("/Shell"));
        ProgramFolder = QDir(Folder).absolutePath() + u'/';
        DesignSettings = IniFileStruct();
        // The text in a face every machine has, as the tests use.
        DesignSettings.Options.TextFontName = QStringLiteral("DejaVu Sans");
        StartFlags = sfAnimatedCursors;
        LoadFailed = false;
        FProject->ProgramVersion = {2, 7, 5};
        Project = FProject.get();
        ProjectFilePath = ShellFolder() + QStringLiteral("veltrane.vlp");
        SetMessageService(&FMessages);
        SetShellService(&FShell);
    }

    ~TBenchDisc()
    {
        SetMessageService(nullptr);
        SetShellService(nullptr);
        Project = nullptr;
    }

    TBenchDisc(const TBenchDisc&) = delete;
    TBenchDisc& operator=(const TBenchDisc&) = delete;

    // Writes Source as the structure file; false with a message on stderr.
    bool Save(const TVeltraneProject& Source) const
    {
        QByteArray Bytes;
        QString Error;
        QFile File(QString(ProjectFilePath).replace(u'\\', u'/'));
        if (!WriteStructureFile(Source, PackVersion(2, 7, 5), Bytes, &Error) ||
            !File.open(QIODevice::WriteOnly) || File.write(Bytes) != Bytes.size()) {
            std::fprintf(stderr, "cannot write the project: %s\n", qPrintable(Error));
            return false;
        }
        return true;
    }

    // The main window on this disc, shown and painted once.
    std::unique_ptr<TMainF> Show()
    {
        TMainFEnvironment Env;
        Env.SoundEngine = &FSound;
        Env.ShowSplash = [](quint16, const QString&) { return false; };
        Env.ControlsWatcher = TControlsPropsContainer::TWatcherFactory();
        auto F = std::make_unique<TMainF>(Env);
        F->show();
        for (int I = 0; I < 50 && !F->isVisible(); ++I) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        }
        QCoreApplication::processEvents();
        return F;
    }

    // The node whose text is Text.
    static TTreeNode* Node(TMainF& F, const QString& Text)
    {
        TTreeNodes& Items = F.ProjectTree->Items();
        for (int I = 0; I < Items.Count(); ++I) {
            if (Items.Item(I)->Text() == Text) {
                return Items.Item(I);
            }
        }
        return nullptr;
    }

    // Selects a node as the user does; the tree's change delay (50 ms) is left out: its timer fires at
    // once.
    static void Select(TMainF& F, TTreeNode* Node)
    {
        F.ProjectTree->SetSelected(Node);
        F.ProjectTree->ChangeTimer()->Fire();
    }

private:
    std::unique_ptr<TVeltraneProject> FProject = std::make_unique<TVeltraneProject>();
    TRecordingMessages FMessages;
    TFakeShellService FShell;
    TFakeSoundEngine FSound;
};

inline double Median(std::vector<double> V)
{
    std::sort(V.begin(), V.end());
    return V.empty() ? 0 : V[V.size() / 2];
}

inline double Best(const std::vector<double>& V)
{
    return V.empty() ? 0 : *std::min_element(V.begin(), V.end());
}
