#pragma once

#include "BoundLabel.h"
#include "Image.h"

#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QSize>

// The caption label bound to a TLabeledImage; it lives beside the image, in the image's parent, and
// publishes AutoSize (on), Alignment and WordWrap.
class TBoundLabelEx : public TBoundLabel
{
    Q_OBJECT

public:
    explicit TBoundLabelEx(QWidget* Parent = nullptr, const QString& Name = {});
};

// A small picture with a caption label kept beside it (above, below or to the right).
class TLabeledImage : public TImage
{
    Q_OBJECT
    Q_PROPERTY(TBoundLabelEx* EditLabel READ EditLabel)
    Q_PROPERTY(TLabelPosition LabelPosition READ LabelPosition WRITE SetLabelPosition)
    Q_PROPERTY(int LabelSpacing READ LabelSpacing WRITE SetLabelSpacing)

public:
    enum TLabelPosition
    {
        lpAbove,
        lpBelow,
        lpLeft, // placed to the right of the image, like lpRight
        lpRight
    };
    Q_ENUM(TLabelPosition)

    explicit TLabeledImage(QWidget* Parent = nullptr, const QString& Name = {});
    ~TLabeledImage() override;

    // The caption label; nullptr once it has been destroyed.
    TBoundLabelEx* EditLabel() const { return FEditLabel.data(); }
    TLabelPosition LabelPosition() const { return FLabelPosition; }
    void SetLabelPosition(TLabelPosition Value);
    int LabelSpacing() const { return FLabelSpacing; }
    void SetLabelSpacing(int Value);

    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    void SetEnabled(bool Value) override;

protected:
    bool event(QEvent* Event) override;
    void moveEvent(QMoveEvent* Event) override;
    void resizeEvent(QResizeEvent* Event) override;

private:
    void PlaceLabel();

    QPointer<TBoundLabelEx> FEditLabel;
    TLabelPosition FLabelPosition = lpBelow;
    int FLabelSpacing = 3;
};

// Where the label of an image at ImageRect goes (its top-left corner) for Position and Spacing,
// keeping the label's size LabelSize.
QPoint LabelPlacement(const QRect& ImageRect, QSize LabelSize, TLabeledImage::TLabelPosition Position,
                      int Spacing);
