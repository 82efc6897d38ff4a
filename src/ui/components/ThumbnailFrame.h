#pragma once

#include <QFlags>
#include <QObject>

class TThumbnails;

// The frame settings of a thumbnail strip: the colours of the frames around the previews and which
// frames are drawn. Owned by its strip.
class TThumbnailFrame : public QObject
{
    Q_OBJECT
    Q_PROPERTY(int Color READ Color WRITE SetColor)
    Q_PROPERTY(int FocusedColor READ FocusedColor WRITE SetFocusedColor)
    Q_PROPERTY(TThumbnailFrameStyle FrameStyle READ FrameStyle WRITE SetFrameStyle)

public:
    enum ThumbnailFrame
    {
        tfDefault = 1, // a frame around every preview
        tfClose = 2,   // frames keep the gap between columns instead of spanning the whole column
        tfFocused = 4  // a frame around the preview under the mouse
    };
    Q_DECLARE_FLAGS(TThumbnailFrameStyle, ThumbnailFrame)
    Q_FLAG(TThumbnailFrameStyle)

    static constexpr TThumbnailFrameStyle DefaultFrameStyle{tfDefault | tfFocused};

    explicit TThumbnailFrame(TThumbnails* AOwner);

    TThumbnails* Owner() const { return FOwner; }

    // Colours are 0x00BBGGRR values or system colours.
    int Color() const { return FColor; }
    void SetColor(int Value);
    int FocusedColor() const { return FFocusedColor; }
    void SetFocusedColor(int Value);
    TThumbnailFrameStyle FrameStyle() const { return FFrameStyle; }
    void SetFrameStyle(TThumbnailFrameStyle Value);

private:
    TThumbnails* FOwner;
    int FColor = 0;
    int FFocusedColor = 0;
    TThumbnailFrameStyle FFrameStyle = DefaultFrameStyle;
};
Q_DECLARE_OPERATORS_FOR_FLAGS(TThumbnailFrame::TThumbnailFrameStyle)
