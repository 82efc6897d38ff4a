#include "ThumbnailFrame.h"

#include "Thumbnails.h"

TThumbnailFrame::TThumbnailFrame(TThumbnails* AOwner) : QObject(AOwner), FOwner(AOwner) {}

void TThumbnailFrame::SetColor(int Value)
{
    if (FColor == Value) {
        return;
    }
    FColor = Value;
    if (FOwner) {
        FOwner->FrameColorChanged();
    }
}

void TThumbnailFrame::SetFocusedColor(int Value)
{
    if (FFocusedColor == Value) {
        return;
    }
    FFocusedColor = Value;
    if (FOwner) {
        FOwner->FocusedColorChanged();
    }
}

void TThumbnailFrame::SetFrameStyle(TThumbnailFrameStyle Value)
{
    if (FFrameStyle == Value) {
        return;
    }
    FFrameStyle = Value;
    if (FOwner) {
        FOwner->FrameStyleChanged();
    }
}
