#include "MainSelection.h"

#include "text/LoadMessages.h"
#include "text/Paths.h"

#include <QFileInfo>

namespace MainSelection {

int SectionTag(int SectionIndex)
{
    return (SectionIndex + 1) * TagBase;
}

int ItemTag(int SectionIndex, int ItemIndex)
{
    return SectionTag(SectionIndex) + ItemIndex + 1;
}

TNodeRef DecodeTag(int Tag)
{
    TNodeRef Ref;
    Ref.Section = Tag / TagBase - 1;
    Ref.Item = Tag % TagBase >= 1 ? Tag - (Ref.Section + 1) * TagBase - 1 : -1;
    return Ref;
}

TNodeTarget ResolveTag(const TVeltraneProject& Project, int Tag)
{
    TNodeTarget Target;
    const TNodeRef Ref = DecodeTag(Tag);
    if (Ref.Section < 0 || Ref.Section >= Project.Sections.Count()) {
        return Target;
    }
    Target.Section = &Project.Sections.Items(Ref.Section);
    if (Ref.Item >= 0 && Ref.Item < Target.Section->SItems.Count()) {
        Target.Item = &Target.Section->SItems.Items(Ref.Item);
    }
    return Target;
}

TImagePair FillImagePair(int ImageDefault, int ImageSelected)
{
    TImagePair Pair{ImageDefault, ImageSelected};
    if (Pair.Image == -1) {
        Pair.Image = Pair.Selected;
    }
    if (Pair.Selected == -1) {
        Pair.Selected = Pair.Image;
    }
    return Pair;
}

TImagePair ItemImagePair(const TItem& Item, int ItemIndex, const TImagePair& FirstItemPair,
                         const std::optional<TImagePair>& SectionNodePair, const TSection& Section)
{
    TImagePair Pair = FillImagePair(Item.ImageDefault, Item.ImageSelected);
    if (Pair.BothUnset()) {
        if (ItemIndex >= 1) {
            Pair = FirstItemPair;
        }
        if (Pair.BothUnset()) {
            Pair = SectionNodePair ? *SectionNodePair
                                   : FillImagePair(Section.ImageDefault, Section.ImageSelected);
        }
    }
    return Pair;
}

TItemButtons ItemButtonsFor(const TItem& Item)
{
    TItemButtons B;
    if (Item.ItemActions.Count() == 0) {
        B.Play = false;
        B.PlayShown = false;
        B.Install = false;
        B.Open = false;
        return B;
    }
    // Btn7 is enabled by every selection of an item before its first step is looked at.
    B.Open = true;
    const TItemAction& First = Item.ItemActions.Items(0);
    if (First.ShellActions.Count() == 0) {
        return B;
    }
    switch (First.ShellActions.Items(0).ObjectType) {
    case otFile:
    case otText:
    case otFolder:
        B.Open = true;
        B.Install = false;
        B.Play = false;
        B.ReadTextFile = First.ShellActions.Items(0).ObjectType == otText;
        break;
    case otExecutable:
        B.Open = false;
        B.Install = true;
        B.Play = false;
        break;
    case otMusic:
        B.Open = false;
        B.Install = false;
        B.Play = true;
        B.PlayShown = true;
        B.MusicItem = true;
        break;
    case otImage:
        B.Open = true;
        B.Install = false;
        B.Play = false;
        B.ImageItem = true;
        break;
    }
    return B;
}

TTabsChoice TabsFor(int ScreenshotCount, const QString& Description)
{
    TTabsChoice Choice;
    Choice.Screenshots = ScreenshotCount >= 1;
    Choice.Description = !Description.isEmpty() && Choice.Screenshots;
    return Choice;
}

bool IsImageAction(const TItemAction& Action)
{
    if (Action.ShellActions.Count() == 0) {
        return false;
    }
    for (int I = 0; I < Action.ShellActions.Count(); ++I) {
        const TShellAction& Step = Action.ShellActions.Items(I);
        if (Step.ShellActionType != atOpenObject ||
            (Step.ObjectType != otImage && !Step.OpenObject.isEmpty())) {
            return false;
        }
    }
    return true;
}

QString RunButtonHint(const TItem& Item, bool InstallButton, const QString& NodeText,
                      const QString& ExecuteFormat, const QString& BrowseText)
{
    if (Item.ItemActions.Count() == 1 && !Item.ItemActions.Items(0).Description.isEmpty()) {
        return Item.ItemActions.Items(0).Description;
    }
    if (InstallButton) {
        return FormatS(ExecuteFormat, {NodeText});
    }
    return NodeText + u' ' + BrowseText;
}

bool DirectoryExists(const QString& Path)
{
    return !Path.isEmpty() && QFileInfo(NativePath(Path)).isDir();
}

QString BrowseFolderFor(const QString& ProjectFolder, const QString& ProgramFolder, bool NodeSelected,
                        int Tag, const TSection* Section, const TItem* Item)
{
    QString Path = ProjectFolder;
    if (NodeSelected) {
        if (Tag % TagBase != 0) {
            Path = ProjectFolder + (Item ? Item->Folder : QString());
        } else {
            Path = ProjectFolder + (Section ? Section->Folder : QString());
        }
    }
    if (!DirectoryExists(Path)) {
        Path = ProgramFolder;
    }
    return Path;
}

QString SectionWallpaper(const QString& ProjectFolder, const QString& WallpaperFile,
                         const QString& DesignWallpaper)
{
    const QString Own = ProjectFolder + WallpaperFile;
    return FileExists(Own) ? Own : DesignWallpaper;
}

} // namespace MainSelection
