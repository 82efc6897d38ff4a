#include "MainLayout.h"

#include "Region.h"

#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace MainLayout {

TContentBounds ContentBounds(const QRect& Tree)
{
    TContentBounds B;
    const int TreeRight = Tree.x() + Tree.width();
    B.TitleLabel = QRect(TreeRight + 15, Tree.y(), 522, 20);
    const int TitleBottom = B.TitleLabel.y() + B.TitleLabel.height();
    // The tab strip starts at the text background's left, 4 pixels left of the text area.
    B.Tabs = QRect(B.TitleLabel.x() - 4, TitleBottom + 3, 3 * TabWidth + 1, TabHeight + 1);
    const int TabsBottom = B.Tabs.y() + B.Tabs.height();
    B.TextField = QRect(B.TitleLabel.x(), TabsBottom + 3, 522, 314);
    B.TextBackground =
        QRect(B.TextField.x() - 4, B.TextField.y() - 4, B.TextField.width() + 8, B.TextField.height() + 8);
    B.ClientWidth = B.TextBackground.x() + B.TextBackground.width() + 15;
    return B;
}

QRect IcoImgBounds(int TopImgHeight)
{
    return {IcoImgDesignBounds.x(), (TopImgHeight - IcoImgDesignBounds.height()) / 2,
            IcoImgDesignBounds.width(), IcoImgDesignBounds.height()};
}

QSize ToolBarMaxSize(const QRect& TextBackground, int TextFieldHeight)
{
    return {TextBackground.width() + 4, 425 - TextFieldHeight};
}

TToolBarPlacement PlaceToolBar(bool HasPicture, QSize Picture, const QRect& TextBackground,
                               int TextFieldHeight, const QRect& Tree)
{
    TToolBarPlacement P;
    P.MaxSize = ToolBarMaxSize(TextBackground, TextFieldHeight);
    QSize Size = ToolBarDesignBounds.size();
    // Without a picture the row stands where a toolbar of the design size would: the design bounds
    // lie inside the text area, which would cover the buttons.
    if (HasPicture) {
        if (Picture.width() <= P.MaxSize.width() && Picture.height() <= P.MaxSize.height()) {
            Size = Picture;
        } else {
            P.Stretch = true;
        }
    }
    const int Top = Tree.y() + Tree.height() - Size.height();
    P.Bounds = QRect(QPoint(TextBackground.x(), Top), Size);
    return P;
}

TPreviewPlaces PreviewPlaces(const QRect& TextBackground)
{
    TPreviewPlaces P;
    P.Preview1Left = TextBackground.x() + 5;
    P.Preview2Width = TextBackground.width() / 2 - 7;
    P.Preview2Left = TextBackground.x() + TextBackground.width() - P.Preview2Width - 5;
    // Round halves to even, like the platform's rounding.
    P.Height = static_cast<int>(std::nearbyint(TextBackground.height() / 1.3));
    P.Top = TextBackground.y() + (TextBackground.height() - P.Height) / 2;
    return P;
}

TTextButtonsPlacement PlaceTextButtons(QSize Btn2Size, QSize Btn3Size, int TextFieldRight, int ToolBarBottom)
{
    TTextButtonsPlacement P;
    P.Btn2 = QPoint(TextFieldRight - Btn2Size.width(), ToolBarBottom + 15);
    P.Btn3 = QPoint(TextFieldRight - Btn3Size.width(), P.Btn2.y() + Btn2Size.height() + 1);
    P.ClientHeight = P.Btn3.y() + Btn3Size.height() + 10;
    return P;
}

QRect ToolButtonBounds(int Cell, const QRect& ToolBar)
{
    const int Top = ToolBar.y() + (ToolBar.height() - ToolButtonSize) / 2;
    const int Left = ToolBar.x() + 8 + 53 * Cell + (40 - ToolButtonSize) / 2;
    return {Left, Top, ToolButtonSize, ToolButtonSize};
}

std::array<bool, PackedButtonCount> PackToolButtons(std::array<int, PackedButtonCount>& Lefts,
                                                    const std::array<bool, PackedButtonCount>& Loaded)
{
    // The moves, left-most button first: (the button that moves, the neighbour whose Left it takes).
    static constexpr std::array<std::pair<TPackedButton, TPackedButton>, 5> Moves{{
        {pbBtn10, pbBtn8},
        {pbBtn8, pbBtn7},
        {pbBtn7, pbBtn6},
        {pbBtn6, pbBtn5},
        {pbBtn5, pbBtn4},
    }};
    std::array<bool, PackedButtonCount> Hidden{};
    for (int Missing = pbBtn4; Missing <= pbBtn8; ++Missing) {
        if (Loaded[static_cast<size_t>(Missing)]) {
            continue;
        }
        // The chain stops at the missing button's left neighbour taking its place.
        for (const auto& [Mover, Neighbour] : Moves) {
            if (Neighbour < Missing) {
                break;
            }
            Lefts[static_cast<size_t>(Mover)] = Lefts[static_cast<size_t>(Neighbour)];
        }
        Hidden[static_cast<size_t>(Missing)] = true;
    }
    return Hidden;
}

QPoint WallpaperOrigin(QSize Client, QSize Picture)
{
    return {std::max(0, (Client.width() - Picture.width()) / 2),
            std::max(0, (Client.height() - Picture.height()) / 2)};
}

QRegion RoundedRectRegion(int Width, int Height, int Radius)
{
    if (Width <= 0 || Height <= 0) {
        return {};
    }
    if (Radius <= 0) {
        return QRegion(0, 0, Width, Height);
    }
    // Drawn without smoothing, like the platform's region: a pixel is inside or not.
    QImage Mask(Width, Height, QImage::Format_ARGB32);
    Mask.fill(Qt::transparent);
    {
        QPainter Painter(&Mask);
        Painter.setRenderHint(QPainter::Antialiasing, false);
        Painter.setPen(Qt::NoPen);
        Painter.setBrush(Qt::black);
        const qreal R = std::min<qreal>(Radius, std::min(Width, Height)) / 2.0;
        Painter.drawRoundedRect(QRectF(0, 0, Width, Height), R, R);
    }
    return RegionFromMask(Mask);
}

} // namespace MainLayout
