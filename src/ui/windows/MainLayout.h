#pragma once

#include <QPoint>
#include <QRect>
#include <QRegion>
#include <QSize>

#include <array>

// The main window's geometry as plain computations (client pixels), so that every placement rule can
// be checked without building the window.

namespace MainLayout {

// Design bounds.
inline constexpr QRect TreeBounds{8, 48, 217, 430};
inline constexpr QRect ToolBarDesignBounds{195, 332, 433, 40};
inline constexpr int TopImgDesignHeight = 21;
inline constexpr int TopImgMaxHeight = 35;
inline constexpr QRect IcoImgDesignBounds{2, 0, 19, 20};
inline constexpr QPoint MinimizeBtnPos{732, 4};
inline constexpr int CloseBtnLeft = 750;
inline constexpr int TitleButtonSize = 18;
inline constexpr int TabHeight = 18;
inline constexpr int TabWidth = 110;
inline constexpr int ToolButtonSize = 32;

// The right-hand part of the window.
struct TContentBounds
{
    QRect TitleLabel;
    QRect Tabs;
    QRect TextField; // also the bounds of both galleries
    QRect TextBackground;
    int ClientWidth = 0;
};
// Title line 15 pixels right of the tree, the tab strip and the text area under it, the text
// background 4 pixels around the text area; the client is 15 pixels wider than the text background.
TContentBounds ContentBounds(const QRect& Tree = TreeBounds);

// The icon at the left of the picture title bar, centred vertically in it.
QRect IcoImgBounds(int TopImgHeight);

// The toolbar picture's place. With a picture no larger than MaxSize the control takes the picture's
// size; a larger picture is stretched into the design size, and without a picture the control keeps
// the design size. Its left edge is the text background's and its bottom edge lines up with the
// tree's, so that the toolbar buttons stand below the text area.
struct TToolBarPlacement
{
    QRect Bounds;
    bool Stretch = false;
    QSize MaxSize;
};
// MaxSize: the text background's width + 4 and 425 - the text area's height.
QSize ToolBarMaxSize(const QRect& TextBackground, int TextFieldHeight);
TToolBarPlacement PlaceToolBar(bool HasPicture, QSize Picture, const QRect& TextBackground,
                               int TextFieldHeight, const QRect& Tree = TreeBounds);

// The two hidden preview places inside the text background.
struct TPreviewPlaces
{
    int Preview1Left = 0;
    int Preview2Left = 0;
    int Preview2Width = 0;
    int Height = 0;
    int Top = 0;
};
TPreviewPlaces PreviewPlaces(const QRect& TextBackground);

// The "options" and "exit" buttons, right-aligned to the text area, under the toolbar; the client
// height follows the exit button.
struct TTextButtonsPlacement
{
    QPoint Btn2;
    QPoint Btn3;
    int ClientHeight = 0;
};
TTextButtonsPlacement PlaceTextButtons(QSize Btn2Size, QSize Btn3Size, int TextFieldRight, int ToolBarBottom);

// The toolbar is a row of ten 40-pixel cells 13 pixels apart; a 32 x 32 button sits in the middle of
// its cell, centred vertically on the toolbar.
QRect ToolButtonBounds(int Cell, const QRect& ToolBar);

// The buttons of the right-hand group, as the packing rule names them.
enum TPackedButton
{
    pbBtn4,
    pbBtn5,
    pbBtn6,
    pbBtn7,
    pbBtn8,
    pbBtn10,
    PackedButtonCount
};
inline constexpr std::array<int, PackedButtonCount> ToolButtonCells{9, 8, 7, 6, 5, 4};
// Packing to the right: Btn4, Btn5, Btn6, Btn7, Btn8 are tested in that order; for each whose picture
// did not load, each button left of it (Btn10, Btn8, ... up to the missing one's left neighbour) takes
// the Left of its right-hand neighbour, and the missing one is hidden. Lefts are updated in place;
// the result tells which buttons are hidden (Btn10 never is).
std::array<bool, PackedButtonCount> PackToolButtons(std::array<int, PackedButtonCount>& Lefts,
                                                    const std::array<bool, PackedButtonCount>& Loaded);

// Where a wallpaper of size Picture is drawn unscaled in a client of size Client: centred, but never
// left of or above the corner.
QPoint WallpaperOrigin(QSize Client, QSize Picture);

// A rectangle of Width x Height with rounded corners whose ellipses are Radius wide and high; the
// whole rectangle when Radius is not positive.
QRegion RoundedRectRegion(int Width, int Height, int Radius);

} // namespace MainLayout
