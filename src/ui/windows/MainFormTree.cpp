// The main window's tree of sections and items, and what selecting a node presents.

#include "MainForm.h"

#include "CategoryChooser.h"
#include "CursorSlots.h"
#include "IconFile.h"
#include "ImageList.h"
#include "Label.h"
#include "MainSelection.h"
#include "MusicPlayer.h"
#include "PhotoForm.h"
#include "Thumbnails.h"
#include "TreeView.h"
#include "VeltraneImage.h"
#include "VeltraneText.h"
#include "config/DesignSettings.h"
#include "config/ProgramPaths.h"
#include "lang/LangStrs.h"
#include "model/Project.h"
#include "text/Paths.h"

#include <QGuiApplication>
#include <QScreen>

#include <optional>

using namespace MainSelection;

namespace {

int DisplayBitsPerPixel()
{
    const QScreen* Screen = QGuiApplication::primaryScreen();
    return Screen ? Screen->depth() : 32;
}

int TagOf(const TTreeNode* Node)
{
    return Node ? Node->StateIndex() : 0;
}

void SetNodeImages(TTreeNode* Node, const TImagePair& Pair)
{
    Node->SetImageIndex(Pair.Image);
    Node->SetSelectedIndex(Pair.Selected);
}

} // namespace

// --- Building the tree ------------------------------------------------------------------------

void TMainF::BuildProjectTree()
{
    TreeImages->Clear();
    // A picture's position in the project is its image index. An icon that cannot be rendered
    // leaves an empty image, so that the pictures after it keep their indexes.
    const int Bits = DisplayBitsPerPixel();
    for (int P = 0; P < Project->Pictures.Count(); ++P) {
        const TPic& Pic = Project->Pictures.Items(P);
        TreeImages->Add(RenderIconAtSize(Pic.Icon.Data, QSize(16, 16), Bits));
    }
    TreeImages->AddImages(*ImagesList);
    const int AboutImage = TreeImages->Count() - 1;

    TTreeNodes& Items = ProjectTree->Items();
    Items.BeginUpdate();
    for (int S = 0; S < Project->Sections.Count(); ++S) {
        const TSection& Section = Project->Sections.Items(S);
        TTreeNode* SectionNode = nullptr;
        std::optional<TImagePair> SectionPair;
        if (!Section.Name.isEmpty()) {
            SectionNode = Items.AddChild(nullptr, Section.Name);
            SectionNode->SetStateIndex(SectionTag(S));
            SectionPair = FillImagePair(Section.ImageDefault, Section.ImageSelected);
            SetNodeImages(SectionNode, *SectionPair);
            if (!Section.Description.isEmpty() && DesignSettings.Options.ShowAboutSection) {
                TTreeNode* About = Items.AddChild(SectionNode, strAboutSection);
                About->SetStateIndex(SectionTag(S));
                SetNodeImages(About, {AboutImage, AboutImage});
            }
        }
        TImagePair FirstItemPair;
        // Items past the thousandth cannot be told apart by their tags; they are not listed.
        const int ItemCount = std::min(Section.SItems.Count(), TagBase - 1);
        for (int I = 0; I < ItemCount; ++I) {
            const TItem& Item = Section.SItems.Items(I);
            TTreeNode* Node = Items.AddChild(SectionNode, Item.Name);
            Node->SetStateIndex(ItemTag(S, I));
            const TImagePair Pair = ItemImagePair(Item, I, FirstItemPair, SectionPair, Section);
            SetNodeImages(Node, Pair);
            if (I == 0) {
                FirstItemPair = Pair;
            }
        }
    }
    Items.EndUpdate();
}

// --- Selection --------------------------------------------------------------------------------

void TMainF::ProjectTreeChanging(QObject* Sender, TTreeNode* Node, bool& AllowChange)
{
    Q_UNUSED(Sender);
    AllowChange = true;
    if (!Node) {
        return;
    }
    // A section shows its selected image once one of its items was selected, and keeps it.
    if (TTreeNode* Parent = Node->Parent()) {
        Parent->SetImageIndex(Parent->SelectedIndex());
    }
    const TNodeTarget Target = ResolveTag(*Project, TagOf(Node));
    FCurrentSection = Target.Section;
    FCurrentItem = Target.Item;
    if (!FCurrentSection) {
        return;
    }
    // Moving between the items of a named section keeps its wallpaper and music.
    if (FCurrentItem && !FCurrentSection->Name.isEmpty()) {
        return;
    }
    SetWallpaper(SectionWallpaper(Project->Folder, FCurrentSection->WallpaperFile,
                                  ImagesFolder() + DesignSettings.Images.Wallpaper));
    FMusic->PlaySectionMusic(Project->Folder, FCurrentSection->BackMusicFile, DesignSettings);
}

void TMainF::ProjectTreeChange(QObject* Sender, TTreeNode* Node)
{
    Q_UNUSED(Sender);
    if (!Node) {
        return;
    }
    ApplySelection(Node);
}

void TMainF::ApplySelection(TTreeNode* Node)
{
    // 1. The intro is over; the play button waits for a music item; the run buttons' hints are reset.
    FIntroShown = false;
    Btn9->SetVisible(false);
    Btn11->SetVisible(false);
    Btn7->SetHint(strBrowse);
    Btn8->SetHint(strInstall);
    // 2. Back to the text area.
    Tabs->SetVisible(false);
    ImageGallery->Previews().Clear();
    ImageGallery->SetVisible(false);
    ScreenshotsGallery->Previews().Clear();
    ScreenshotsGallery->SetVisible(Tabs->SelectedCat() == 1);
    for (TVeltraneImage* Preview : {PreviewImg1, PreviewImg2}) {
        Preview->SetVisible(false);
        Preview->SetEnabled(false);
    }
    TextField->SetVisible(true);
    // 3. The picture gallery's tab goes with the item that had it.
    if (Tabs->CatList()->Count() == 3) {
        Tabs->CatList()->Delete(2);
    }
    // 4.
    Btn7->SetEnabled(true);
    // 5.
    ApplyTreeShape(Node);
    if (!FCurrentSection) {
        return;
    }
    // 6.
    UpdateTabs();
    // 7, 8.
    if (FCurrentItem) {
        PresentItem(*FCurrentItem);
    } else {
        PresentSection(*FCurrentSection);
    }
}

void TMainF::ApplyTreeShape(TTreeNode* Node)
{
    // Only the selected node and its parent stay open; the handler that remembers a collapse made by
    // the user is off meanwhile.
    auto Collapsed = ProjectTree->OnCollapsed;
    ProjectTree->OnCollapsed = nullptr;
    TTreeNodes& Items = ProjectTree->Items();
    for (int I = 0; I < Items.Count(); ++I) {
        TTreeNode* Other = Items.Item(I);
        if (Other != Node && Other != Node->Parent()) {
            Other->Collapse(false);
        }
    }
    ProjectTree->OnCollapsed = Collapsed;
    if (!Node->Expanded() && Node != FLastCollapsed) {
        Node->Expand(false);
    }
}

const TScreenshots* TMainF::ShownScreenshots() const
{
    if (FCurrentItem) {
        return &FCurrentItem->Screenshots;
    }
    return FCurrentSection ? &FCurrentSection->Screenshots : nullptr;
}

void TMainF::UpdateTabs()
{
    const QString& Description = FCurrentItem ? FCurrentItem->Description : FCurrentSection->Description;
    const TTabsChoice Choice = TabsFor(ShownScreenshots()->Count(), Description);
    TCategories* List = Tabs->CatList();
    List->BeginUpdate();
    List->Items(1)->SetVisible(Choice.Screenshots);
    List->Items(0)->SetVisible(Choice.Description);
    if (Choice.Description) {
        Tabs->SetSelectedCat(0);
    }
    Tabs->SetVisible(Choice.Visible());
    // Ending the update moves the selection to a visible tab when the selected one is hidden.
    List->EndUpdate();
}

void TMainF::PresentItem(TItem& Item)
{
    TitleLabel->SetCaption(Item.Name);
    TextField->SetCaption(Item.Description);
    Btn10->SetEnabled(Item.CopyRules.Enabled);
    ShowScreenshotsOnTheirTab(Item.Screenshots);
    const TItemButtons Buttons = ItemButtonsFor(Item);
    if (Buttons.Open) {
        Btn7->SetEnabled(*Buttons.Open);
    }
    if (Buttons.Install) {
        Btn8->SetEnabled(*Buttons.Install);
    }
    if (Buttons.Play) {
        Btn9->SetEnabled(*Buttons.Play);
    }
    if (Buttons.PlayShown) {
        Btn9->SetVisible(*Buttons.PlayShown);
    }
    if (Item.ItemActions.Count() == 0 || Item.ItemActions.Items(0).ShellActions.Count() == 0) {
        return;
    }
    const TItemAction& First = Item.ItemActions.Items(0);
    const TShellAction& FirstStep = First.ShellActions.Items(0);
    if (Buttons.ReadTextFile && IsBlank(Item.Description)) {
        const QString File = Project->Folder + FirstStep.OpenObject;
        if (FileExists(File)) {
            TextField->LoadFromFile(File);
        }
    } else if (Buttons.MusicItem) {
        FMusic->AutoPlayback(
            DesignSettings.Options.AutoPlayback, Item.ItemActions.Count(), [this] { Btn8Click(); },
            [this] { ReportNoSoundDevice(); });
    } else if (Buttons.ImageItem) {
        ImageActionList.Clear();
        if (IsBlank(Item.Description) && Item.ItemActions.Count() == 1) {
            TextField->SetVisible(false);
            CollectImageActions(First, ImageActionList);
            // A hidden tab strip keeps the tab chosen for an earlier object; that choice must not
            // leave the pictures unshown behind the hidden text area.
            const bool OnScreenshotsTab = Tabs->Visible() && Tabs->SelectedCat() == 1;
            if (!OnScreenshotsTab && ImageActionList.Count() > 0) {
                ShowImageGallery(ImageActionList);
            }
        }
    }
}

void TMainF::PresentSection(TSection& Section)
{
    Btn7->SetEnabled(false);
    Btn8->SetEnabled(false);
    Btn9->SetEnabled(false);
    Btn10->SetEnabled(false);
    TitleLabel->SetCaption(Section.Name);
    TextField->SetCaption(Section.Description);
    ShowScreenshotsOnTheirTab(Section.Screenshots);
}

void TMainF::ShowScreenshotsOnTheirTab(const TScreenshots& Screenshots)
{
    // When the tab strip moved to "Screenshots" by itself a moment ago, its change already filled the
    // gallery (emptied at the start of this selection): the pictures are not read twice.
    if (Tabs->SelectedCat() == 1 && Screenshots.Count() > 0 && ScreenshotsGallery->Previews().Count() == 0) {
        ShowScreenshots(Screenshots);
    }
}

void TMainF::ProjectTreeCollapsed(QObject* Sender, TTreeNode* Node)
{
    Q_UNUSED(Sender);
    FLastCollapsed = Node;
}

void TMainF::ProjectTreeExpanding(QObject* Sender, TTreeNode* Node, bool& AllowExpansion)
{
    Q_UNUSED(Sender);
    TextField->SetVisible(true);
    PreviewImg1->SetVisible(false);
    PreviewImg2->SetVisible(false);
    if (Node) {
        TitleLabel->SetCaption(Node->Text());
    }
    AllowExpansion = true;
}

// --- Tabs and galleries -----------------------------------------------------------------------

void TMainF::TabsCategoryChange(QObject* Sender)
{
    Q_UNUSED(Sender);
    if (!TextField || !ImageGallery || !ScreenshotsGallery) {
        return; // the strip reports while the window is still being built
    }
    const int Selected = Tabs->SelectedCat();
    TextField->SetVisible(Selected == 0);
    ScreenshotsGallery->SetVisible(Selected == 1);
    ImageGallery->SetVisible(Selected == 2);
    if (ScreenshotsGallery->Visible() && ScreenshotsGallery->Previews().Count() == 0) {
        if (const TScreenshots* Screenshots = ShownScreenshots()) {
            ShowScreenshots(*Screenshots);
        }
    }
}

void TMainF::ShowScreenshots(const TScreenshots& Screenshots)
{
    TextField->SetVisible(false);
    ImageGallery->SetVisible(false);
    ScreenshotsGallery->SetVisible(true);
    ScreenshotsGallery->Previews().Clear();
    QStringList Files;
    for (int I = 0; I < Screenshots.Count(); ++I) {
        Files.append(PathJoin({Project->Folder}) + Screenshots.Items(I).FileName);
    }
    // The pictures are decoded on worker threads and shown as they come, so the window stays usable
    // while a large gallery loads; a picture that cannot be read is the gallery's to show.
    ScreenshotsGallery->AddImagesInBackground(Files);
    ScreenshotsGallery->Arrange();
}

void TMainF::ShowImageGallery(const TShellActions& Actions)
{
    TextField->SetVisible(false);
    ScreenshotsGallery->SetVisible(false);
    ImageGallery->SetVisible(true);
    ImageGallery->Previews().Clear();
    QStringList Files;
    for (int I = 0; I < Actions.Count(); ++I) {
        Files.append(Project->Folder + Actions.Items(I).OpenObject);
    }
    ImageGallery->AddImagesInBackground(Files);
    TCategories* List = Tabs->CatList();
    if (FCurrentItem && !FCurrentItem->Description.isEmpty()) {
        List->Items(0)->SetVisible(true);
    }
    if (!List->Items(0)->Visible() && !List->Items(1)->Visible()) {
        ImageGallery->Arrange();
        return;
    }
    Tabs->SetVisible(true);
    TCategory* Pictures = List->Add();
    Pictures->SetCaption(FCurrentItem ? FCurrentItem->Name : QString());
    Tabs->SetSelectedCat(2);
    ImageGallery->Arrange();
}

void TMainF::ImageGalleryThumbnailClick(QObject* Sender, int Index)
{
    Q_UNUSED(Sender);
    if (OnShowImageList) {
        OnShowImageList(ImageActionList, Index);
    }
}

void TMainF::ScreenshotsGalleryThumbnailClick(QObject* Sender, int Index)
{
    Q_UNUSED(Sender);
    const TScreenshots* Screenshots = ShownScreenshots();
    if (Screenshots && OnShowScreenshotList) {
        OnShowScreenshotList(*Screenshots, Index);
    }
}
