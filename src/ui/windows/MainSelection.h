#pragma once

#include "model/Project.h"

#include <QString>

#include <optional>

// What selecting a node of the main window's tree decides, as plain functions of the project: the
// node tags, the images of the nodes, the toolbar buttons an item enables, the tab strip, the files
// of wallpaper and text.

namespace MainSelection {

// A node's tag: (section position + 1) * 1000 for a section (and its "about..." node), plus the item
// position + 1 for an item. A section holds at most 999 items that can be told apart.
inline constexpr int TagBase = 1000;
int SectionTag(int SectionIndex);
int ItemTag(int SectionIndex, int ItemIndex);

// The section and item a tag names; the item is -1 for a section node.
struct TNodeRef
{
    int Section = -1;
    int Item = -1;
};
TNodeRef DecodeTag(int Tag);
// The section and item of the project that a tag names; null where the position lies outside the
// project (a tag the tree never gives).
struct TNodeTarget
{
    TSection* Section = nullptr;
    TItem* Item = nullptr;
};
TNodeTarget ResolveTag(const TVeltraneProject& Project, int Tag);

// The image and selected-image index of a node.
struct TImagePair
{
    int Image = -1;
    int Selected = -1;
    bool operator==(const TImagePair&) const = default;
    bool BothUnset() const { return Image == -1 && Selected == -1; }
};
// Each index -1 takes the other's value.
TImagePair FillImagePair(int ImageDefault, int ImageSelected);
// An item's pair: its own, filled; when both are still -1, an item after the first takes the first
// item's final pair; when that is unset too, the section node's pair, or without a section node the
// section's own filled pair.
TImagePair ItemImagePair(const TItem& Item, int ItemIndex, const TImagePair& FirstItemPair,
                         const std::optional<TImagePair>& SectionNodePair, const TSection& Section);

// What an item's first action step asks of the toolbar buttons that run it. A value that is not set
// leaves the button as it was.
struct TItemButtons
{
    std::optional<bool> Open;    // Btn7
    std::optional<bool> Install; // Btn8
    std::optional<bool> Play;    // Btn9 enabled
    std::optional<bool> PlayShown;
    bool ReadTextFile = false; // an otText item may show its file instead of the description
    bool ImageItem = false;
    bool MusicItem = false;
};
TItemButtons ItemButtonsFor(const TItem& Item);

// Which tabs the strip shows for a section or item: "Screenshots" with at least one screenshot,
// "Description" with a description and screenshots; the strip when either shows.
struct TTabsChoice
{
    bool Description = false;
    bool Screenshots = false;
    bool Visible() const { return Description || Screenshots; }
};
TTabsChoice TabsFor(int ScreenshotCount, const QString& Description);

// True when every step of the action opens a picture (an open step of type otImage, or one with an
// empty object); an action without steps is none.
bool IsImageAction(const TItemAction& Action);

// The hints of the item's run buttons while the mouse is over them: the action's description when the
// item has one action that describes itself; otherwise "Execute <node>" for Btn8 and "<node> Browse"
// for Btn7.
QString RunButtonHint(const TItem& Item, bool InstallButton, const QString& NodeText,
                      const QString& ExecuteFormat, const QString& BrowseText);

// The folder the folder command shows: the project folder, or with a node selected the folder of the
// item (tag mod 1000 not 0) or section; the program folder when that folder does not exist.
QString BrowseFolderFor(const QString& ProjectFolder, const QString& ProgramFolder, bool NodeSelected,
                        int Tag, const TSection* Section, const TItem* Item);

// The wallpaper of a section: its own when the file exists, else the design's.
QString SectionWallpaper(const QString& ProjectFolder, const QString& WallpaperFile,
                         const QString& DesignWallpaper);

// True when Path names an existing folder (program notation).
bool DirectoryExists(const QString& Path);

} // namespace MainSelection
