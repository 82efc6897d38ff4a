#pragma once

#include <QFont>
#include <QObject>
#include <QString>

#include <functional>

// A control's font as the design describes it: a face name, a size in points or a height in pixels
// (negative: the character height without the internal leading; 0: the default size), a colour and a
// style set. Screens count 96 pixels an inch, so Size 8 is Height -11.
class TFont : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString Name READ Name WRITE SetName)
    Q_PROPERTY(int Size READ Size WRITE SetSize)
    Q_PROPERTY(int Height READ Height WRITE SetHeight)
    Q_PROPERTY(int Color READ Color WRITE SetColor)
    Q_PROPERTY(TFontStyles Style READ Style WRITE SetStyle)
    Q_PROPERTY(int Charset READ Charset WRITE SetCharset)

public:
    enum TFontStyle
    {
        fsBold = 1,
        fsItalic = 2,
        fsUnderline = 4,
        fsStrikeOut = 8
    };
    Q_DECLARE_FLAGS(TFontStyles, TFontStyle)
    Q_FLAG(TFontStyles)

    static constexpr int PixelsPerInch = 96;
    // A new font's height (Size 8); also what height 0, "the default size", draws with.
    static constexpr int DefaultHeight = -11;

    explicit TFont(QObject* Parent = nullptr);

    QString Name() const { return FName; }
    void SetName(const QString& Value);
    int Size() const;
    void SetSize(int Value);
    int Height() const { return FHeight; }
    void SetHeight(int Value);
    int Color() const { return FColor; }
    void SetColor(int Value);
    TFontStyles Style() const { return FStyle; }
    void SetStyle(TFontStyles Value);
    int Charset() const { return FCharset; }
    void SetCharset(int Value);

    // Copies name, height, colour, style and character set.
    void Assign(const TFont& Source);
    // The Qt font: the face by name (the font configuration maps the classic face names) at the
    // pixel height.
    QFont ToQFont() const;

    // Called after every change.
    std::function<void()> OnChange;

private:
    void Changed();

    QString FName = QStringLiteral("MS Sans Serif");
    int FHeight = DefaultHeight;
    int FColor = static_cast<int>(0x80000008u); // clWindowText
    TFontStyles FStyle;
    int FCharset = 1; // DEFAULT_CHARSET
};
Q_DECLARE_OPERATORS_FOR_FLAGS(TFont::TFontStyles)
