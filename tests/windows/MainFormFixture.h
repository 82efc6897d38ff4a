#pragma once

// A disc for the main window's tests: a temporary program folder with a "Shell" folder, skin
// pictures generated on the spot, a project built in code and written as a structure file, and
// recording services for message boxes, the shell and sound.

#include "CursorSlots.h"
#include "FakeMessageService.h"
#include "FakeShellService.h"
#include "FakeSoundEngine.h"
#include "MainForm.h"
#include "MessageService.h"
#include "Pause.h"
#include "Timer.h"
#include "TreeView.h"
#include "config/DesignSettings.h"
#include "config/ProgramPaths.h"
#include "lang/LangStrs.h"
#include "model/ComponentWriter.h"
#include "model/Project.h"
#include "model/StructureFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

// Builders of a project in code.
inline TSection& AddSection(TVeltraneProject& P, const QString& Name, const QString& Description = {})
{
    TSection& S = P.Sections.Add();
    S.Name = Name;
    S.Description = Description;
    return S;
}

inline TItem& AddItem(TSection& S, const QString& Name, const QString& Description = {})
{
    TItem& I = S.SItems.Add();
    I.Name = Name;
    I.Description = Description;
    return I;
}

// Adds an action with one open step per object (all of one type).
inline TItemAction& AddAction(TItem& I, TObjectType Type, const QStringList& Objects,
                              TShlActionType Kind = atOpenObject)
{
    TItemAction& A = I.ItemActions.Add();
    for (const QString& Object : Objects) {
        TShellAction& Step = A.ShellActions.Add();
        Step.ShellActionType = Kind;
        Step.ObjectType = Type;
        Step.OpenObject = Object;
    }
    return A;
}

inline void AddScreenshots(TScreenshots& List, const QStringList& Files)
{
    for (const QString& File : Files) {
        List.Add().FileName = File;
    }
}

class TMainFixture
{
public:
    QTemporaryDir Dir;
    std::unique_ptr<TVeltraneProject> ProjectObject = std::make_unique<TVeltraneProject>();
    TRecordingMessages Messages;
    TFakeShellService ShellCalls;
    TFakeSoundEngine Sound;
    QList<int> SplashTimes;
    QStringList SplashPictures;
    QList<qint64> Pauses; // the pauses after starting something, instead of waiting
    bool SplashResult = true;

    TMainFixture()
    {
        InitLanguageUnit();
        SelectLanguage(0x0409);
        ResetCursorSlots();
        ProgramFolder = Dir.path() + u'/';
        QDir().mkpath(Dir.filePath(QStringLiteral("Shell/Images")));
        QDir().mkpath(Dir.filePath(QStringLiteral("Shell/Btn")));
        DesignSettings = IniFileStruct();
        StartFlags = sfShowSplash | sfAnimatedCursors | sfBackgroundMusic;
        LoadFailed = false;
        ProjectObject->ProgramVersion = {2, 7, 5};
        Project = ProjectObject.get();
        ProjectFilePath = ShellFolder() + QStringLiteral("veltrane.vlp");
        SetMessageService(&Messages);
        SetShellService(&ShellCalls);
        SetPauseAfterStart([this](qint64 Milliseconds) { Pauses.append(Milliseconds); });
    }

    ~TMainFixture()
    {
        SetMessageService(nullptr);
        SetShellService(nullptr);
        SetPauseAfterStart(nullptr);
        Project = nullptr;
        ResetCursorSlots();
    }

    TMainFixture(const TMainFixture&) = delete;
    TMainFixture& operator=(const TMainFixture&) = delete;

    QString Path(const QString& Relative) const { return Dir.filePath(Relative); }

    void WriteFile(const QString& Relative, const QByteArray& Bytes) const
    {
        const QString P = Path(Relative);
        QDir().mkpath(QFileInfo(P).absolutePath());
        QFile F(P);
        if (!F.open(QIODevice::WriteOnly) || F.write(Bytes) != Bytes.size()) {
            qFatal("cannot write a fixture file");
        }
    }

    // A bitmap file of one colour (or a picture given whole).
    void WriteImage(const QString& Relative, const QImage& Image) const
    {
        const QString P = Path(Relative);
        QDir().mkpath(QFileInfo(P).absolutePath());
        if (!Image.save(P)) {
            qFatal("cannot write a fixture picture");
        }
    }
    void WriteImage(const QString& Relative, QSize Size, QColor Color) const
    {
        QImage Image(Size, QImage::Format_RGB32);
        Image.fill(Color);
        WriteImage(Relative, Image);
    }

    // Every toolbar and text button picture, each 32 x 32 (text buttons 80 x 20 and 60 x 18).
    void WriteButtons(const QStringList& Skip = {}) const
    {
        const QStringList Names{QStringLiteral("mail"),   QStringLiteral("write"), QStringLiteral("folder"),
                                QStringLiteral("source"), QStringLiteral("setup"), QStringLiteral("play"),
                                QStringLiteral("copy")};
        for (const QString& Name : Names) {
            if (!Skip.contains(Name)) {
                // The bottom-left pixel is the picture's transparent colour.
                QImage Picture(32, 32, QImage::Format_RGB32);
                Picture.fill(QColor(0x20, 0x80, 0x20));
                Picture.setPixelColor(0, 31, QColor(0xFF, 0x00, 0xFF));
                WriteImage(QStringLiteral("Shell/Btn/") + Name + QStringLiteral(".bmp"), Picture);
                WriteImage(QStringLiteral("Shell/Btn/") + Name + QStringLiteral("0.bmp"), QSize(32, 32),
                           QColor(0x80, 0x80, 0x80));
            }
        }
        if (!Skip.contains(QStringLiteral("settings"))) {
            WriteImage(QStringLiteral("Shell/Btn/settings.bmp"), QSize(80, 20), QColor(0x10, 0x10, 0x60));
        }
        if (!Skip.contains(QStringLiteral("close"))) {
            WriteImage(QStringLiteral("Shell/Btn/close.bmp"), QSize(60, 18), QColor(0x10, 0x10, 0x60));
        }
    }

    // Writes the project as the structure file start-up finds.
    void SaveProject(const TVeltraneProject& Source) const
    {
        QByteArray Bytes;
        QString Error;
        if (!WriteStructureFile(Source, PackVersion(2, 7, 5), Bytes, &Error)) {
            qFatal("cannot write the project: %s", qPrintable(Error));
        }
        WriteFile(QStringLiteral("Shell/veltrane.vlp"), Bytes);
    }

    TMainFEnvironment Environment()
    {
        TMainFEnvironment Env;
        Env.SoundEngine = &Sound;
        Env.ShowSplash = [this](quint16 ShowTime, const QString& Picture) {
            SplashTimes.append(ShowTime);
            SplashPictures.append(Picture);
            return SplashResult;
        };
        Env.ControlsWatcher = TControlsPropsContainer::TWatcherFactory();
        return Env;
    }

    std::unique_ptr<TMainF> Create() { return std::make_unique<TMainF>(Environment()); }
};

// The node whose text is Text (the first in display order).
inline TTreeNode* FindNode(TMainF& F, const QString& Text)
{
    TTreeNodes& Items = F.ProjectTree->Items();
    for (int I = 0; I < Items.Count(); ++I) {
        if (Items.Item(I)->Text() == Text) {
            return Items.Item(I);
        }
    }
    return nullptr;
}

// Counts the runs of the current item: an action run, or the action chooser shown.
inline void CountRuns(TMainF& F, int& Runs)
{
    F.OnExecuteItemAction = [&Runs](const TItemAction&) { ++Runs; };
    F.OnChooseAction = [&Runs] { ++Runs; };
}

// Selects a node the way the user does, and lets the change settle.
inline void Select(TMainF& F, TTreeNode* Node)
{
    F.ProjectTree->SetSelected(Node);
    F.ProjectTree->ChangeTimer()->Fire();
}
