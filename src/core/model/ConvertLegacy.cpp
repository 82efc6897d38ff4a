// Turning a legacy project into the current model: the legacy-aware Assign of sections, items and
// actions, and TVeltraneProject::ConvertLegacy.

#include "model/LegacyModel.h"
#include "model/Project.h"
#include "text/Paths.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

TObjectType ObjectTypeOf(Legacy::TFileType FileType)
{
    switch (FileType) {
    case Legacy::ftExecutable:
        return otExecutable;
    case Legacy::ftMusic:
        return otMusic;
    case Legacy::ftImage:
        return otImage;
    case Legacy::ftText:
        return otText;
    case Legacy::ftAnyfile:
    case Legacy::ftScrSaver:
        break;
    }
    return otFile;
}

} // namespace

void TItemAction::Assign(const TPersistent& Source)
{
    if (const auto* S = dynamic_cast<const TItemAction*>(&Source)) {
        Enabled = S->Enabled;
        Description = S->Description;
        ImageIndex = S->ImageIndex;
        ShellActions.Assign(S->ShellActions);
        return;
    }
    const auto* F = dynamic_cast<const Legacy::TItemFile*>(&Source);
    if (!F)
        return TPersistent::Assign(Source);

    // One legacy file entry becomes one action with one step. The item's Folder still holds the
    // legacy item folder and the section's Folder the legacy section folder at this point.
    Description = F->ItemFile_Name;
    const TItem* OwnerItem = Item();
    const TSection* OwnerSection = OwnerItem ? OwnerItem->Section() : nullptr;
    const QString SectionFolder = OwnerSection ? OwnerSection->Folder : QString();
    const QString ItemFolder = OwnerItem ? OwnerItem->Folder : QString();
    const QString Path = PathJoin({SectionFolder}) + PathJoin({ItemFolder}) + F->ItemFile;

    TShellAction& Step = ShellActions.Add();
    const Legacy::TFileExecuting& Exec = F->FileExectType;
    switch (Exec.FileExecutingType) {
    case Legacy::etExecuteApp:
        if (Exec.ExecApplication.isEmpty() && Exec.ExecParams.contains(u"$precopy"_s)) {
            Step.ShellActionType = atPrecopyFiles;
            Step.OpenObject = u"...\\"_s + ExtractFileName(Path);
            TCopyRule& Rule = Step.PrecopyFiles.Add();
            Rule.Enabled = true;
            Rule.CopyingObject = Path;
            Rule.Destination = u"..."_s;
        } else {
            Step.ShellActionType = atExecute;
            Step.OpenObject = Path;
            Step.AppFile = Exec.ExecApplication;
            Step.AppParams = Exec.ExecParams;
            Step.CheckAssociation = false;
        }
        break;
    case Legacy::etInstallApp:
        // Taken as written: relative to the project folder, not to the item's folder.
        Step.ShellActionType = atInstall;
        Step.OpenObject = Exec.InstApplication;
        Step.AppParams = Exec.InstParams;
        Step.CheckAssociation = true;
        break;
    case Legacy::etOSExecuting:
        Step.ShellActionType = atOpenObject;
        Step.OpenObject = Path;
        break;
    }
    Step.ObjectType = ObjectTypeOf(F->FileType);
}

void TItem::Assign(const TPersistent& Source)
{
    if (const auto* S = dynamic_cast<const TItem*>(&Source)) {
        Name = S->Name;
        Folder = S->Folder;
        ItemActions.Assign(S->ItemActions);
        CopyRules.Assign(S->CopyRules);
        ImageDefault = S->ImageDefault;
        ImageSelected = S->ImageSelected;
        Description = S->Description;
        Screenshots.Assign(S->Screenshots);
        return;
    }
    const auto* M = dynamic_cast<const Legacy::TItemStruct*>(&Source);
    if (!M)
        return TPersistent::Assign(Source);
    Name = M->ItemName;
    Folder = M->ItemDir;
    ImageDefault = M->ImgDefault;
    ImageSelected = M->ImgSelected;
    Description = M->Description;
    // The folders must be in place before the files become actions.
    ItemActions.Assign(M->Files);
}

void TSection::Assign(const TPersistent& Source)
{
    if (const auto* S = dynamic_cast<const TSection*>(&Source)) {
        SItems.Assign(S->SItems);
        Name = S->Name;
        Folder = S->Folder;
        ImageDefault = S->ImageDefault;
        ImageSelected = S->ImageSelected;
        WallpaperFile = S->WallpaperFile;
        BackMusicFile = S->BackMusicFile;
        Description = S->Description;
        Screenshots.Assign(S->Screenshots);
        return;
    }
    const auto* L = dynamic_cast<const Legacy::TSectionStruct*>(&Source);
    if (!L)
        return TPersistent::Assign(Source);
    Name = L->SectionName;
    Folder = L->SectionDir;
    ImageDefault = L->ImgDefault;
    ImageSelected = L->ImgSelected;
    WallpaperFile = L->WallpaperFile;
    BackMusicFile = L->BackMusicFile;
    Description = L->Description;
    SItems.Assign(L->SItems);
}

void TVeltraneProject::ConvertLegacy(const Legacy::TVeltrane& Legacy)
{
    LegacyFlag = true;

    Folder = Legacy.ProjectPath;
    SetCreator(Legacy.UserInfo);
    // A time of 0 or less means no hold; a negative one must not wrap to 65535 seconds.
    SplashScreen.ShowTime = static_cast<quint16>(std::max<qint16>(Legacy.SplashTime, 0));

    Pictures.Assign(Legacy.PicturesList);
    Sections.Assign(Legacy.Sections);

    const int SectionCount = std::min(Sections.Count(), Legacy.Sections.Count());
    for (int I = 0; I < SectionCount; ++I) {
        TSection& Section = Sections.Items(I);
        const Legacy::TSectionStruct& L = Legacy.Sections.Items(I);
        Section.ImageDefault = Legacy::FindPicture(Legacy.PicturesList, L.ImgDefault);
        Section.ImageSelected = Legacy::FindPicture(Legacy.PicturesList, L.ImgSelected);

        const int ItemCount = std::min(Section.SItems.Count(), L.SItems.Count());
        for (int J = 0; J < ItemCount; ++J) {
            TItem& Item = Section.SItems.Items(J);
            const Legacy::TItemStruct& M = L.SItems.Items(J);

            Item.Folder = Item.Folder.isEmpty() ? L.SectionDir : PathJoin({L.SectionDir}) + Item.Folder;
            Item.ImageDefault = Legacy::FindPicture(Legacy.PicturesList, M.ImgDefault);
            Item.ImageSelected = Legacy::FindPicture(Legacy.PicturesList, M.ImgSelected);

            // Only main files remain as actions.
            for (int F = M.Files.Count() - 1; F >= 0; --F)
                if (!M.Files.Items(F).isMain)
                    Item.ItemActions.Delete(F);

            Item.CopyRules.Enabled = M.CopyMode != 0;
            const QString ItemPath = PathJoin({Item.Folder});
            if (M.CopyMode == 0 || M.CopyMode == 1) {
                for (int F = 0; F < M.Files.Count(); ++F) {
                    const QString& File = M.Files.Items(F).ItemFile;
                    TCopyRule& Rule = Item.CopyRules.Add();
                    Rule.CopyingObject = ItemPath + File;
                    const QString Dest = ExtractFilePath(File);
                    Rule.Destination = Dest.isEmpty() ? u"..."_s : Dest;
                }
            } else if (M.CopyMode == 2) {
                TCopyRule& Rule = Item.CopyRules.Add();
                Rule.CopyingObject = ItemPath + u"*.*"_s;
                Rule.Destination = u"..."_s;
            }
        }
    }
}
