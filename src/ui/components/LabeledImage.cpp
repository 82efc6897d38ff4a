#include "LabeledImage.h"

#include <QEvent>

TBoundLabelEx::TBoundLabelEx(QWidget* Parent, const QString& Name) : TBoundLabel(Parent, Name) {}

QPoint LabelPlacement(const QRect& ImageRect, QSize LabelSize, TLabeledImage::TLabelPosition Position,
                      int Spacing)
{
    const int Left = ImageRect.x();
    const int Top = ImageRect.y();
    const int Right = ImageRect.x() + ImageRect.width();
    const int Bottom = ImageRect.y() + ImageRect.height();
    const int Middle = Top + (ImageRect.height() - LabelSize.height()) / 2;
    switch (Position) {
    case TLabeledImage::lpAbove:
        return {Left, Top - LabelSize.height() - Spacing};
    case TLabeledImage::lpBelow:
        return {Left, Bottom + Spacing};
    case TLabeledImage::lpLeft:
    case TLabeledImage::lpRight:
        // Both put the label to the right of the image; windows rely on lpLeft doing so.
        return {Right + Spacing, Middle};
    }
    return {Left, Bottom + Spacing};
}

TLabeledImage::TLabeledImage(QWidget* Parent, const QString& Name) : TImage(Parent, Name)
{
    TImage::SetBounds(Left(), Top(), 16, 16);
    SetCenter(true);
    FEditLabel = new TBoundLabelEx(parentWidget());
    FEditLabel->SetCaption(Name);
    if (!parentWidget()) {
        // Without a parent it would be a window of its own; it appears once the image has a parent.
        FEditLabel->setVisible(false);
    }
    SetLabelPosition(FLabelPosition);
}

TLabeledImage::~TLabeledImage()
{
    // The label lives in the parent but belongs to the image.
    delete FEditLabel.data();
}

void TLabeledImage::SetLabelPosition(TLabelPosition Value)
{
    if (!FEditLabel) {
        return;
    }
    FLabelPosition = Value;
    PlaceLabel();
}

void TLabeledImage::SetLabelSpacing(int Value)
{
    FLabelSpacing = Value;
    SetLabelPosition(FLabelPosition);
}

void TLabeledImage::PlaceLabel()
{
    if (!FEditLabel) {
        return;
    }
    const QSize Size = FEditLabel->size();
    const QPoint P = LabelPlacement(geometry(), Size, FLabelPosition, FLabelSpacing);
    FEditLabel->SetBounds(P.x(), P.y(), Size.width(), Size.height());
}

void TLabeledImage::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    TImage::SetBounds(ALeft, ATop, AWidth, AHeight);
    SetLabelPosition(FLabelPosition);
}

void TLabeledImage::SetEnabled(bool Value)
{
    TImage::SetEnabled(Value);
    if (FEditLabel) {
        FEditLabel->SetEnabled(Value);
    }
}

void TLabeledImage::moveEvent(QMoveEvent* Event)
{
    TImage::moveEvent(Event);
    PlaceLabel();
}

void TLabeledImage::resizeEvent(QResizeEvent* Event)
{
    TImage::resizeEvent(Event);
    PlaceLabel();
}

bool TLabeledImage::event(QEvent* Event)
{
    const bool Result = TImage::event(Event);
    if (!FEditLabel) {
        return Result;
    }
    switch (Event->type()) {
    case QEvent::ParentChange:
        if (parentWidget()) {
            FEditLabel->setParent(parentWidget());
            FEditLabel->setVisible(true);
            PlaceLabel();
        }
        break;
    case QEvent::ShowToParent:
    case QEvent::HideToParent:
        if (FEditLabel->parentWidget()) {
            FEditLabel->setVisible(!isHidden());
        }
        break;
    case QEvent::LayoutDirectionChange:
        FEditLabel->setLayoutDirection(layoutDirection());
        break;
    default:
        break;
    }
    return Result;
}
