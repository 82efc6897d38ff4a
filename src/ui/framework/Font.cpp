#include "Font.h"

#include <cmath>
#include <cstdlib>

TFont::TFont(QObject* Parent) : QObject(Parent) {}

void TFont::SetName(const QString& Value)
{
    if (Value != FName) {
        FName = Value;
        Changed();
    }
}

int TFont::Size() const
{
    // Points from the pixel height, rounded as the screen's conversion does.
    return static_cast<int>(std::lround(-FHeight * 72.0 / PixelsPerInch));
}

void TFont::SetSize(int Value)
{
    SetHeight(-static_cast<int>(std::lround(Value * static_cast<double>(PixelsPerInch) / 72.0)));
}

void TFont::SetHeight(int Value)
{
    if (Value != FHeight) {
        FHeight = Value;
        Changed();
    }
}

void TFont::SetColor(int Value)
{
    if (Value != FColor) {
        FColor = Value;
        Changed();
    }
}

void TFont::SetStyle(TFontStyles Value)
{
    if (Value != FStyle) {
        FStyle = Value;
        Changed();
    }
}

void TFont::SetCharset(int Value)
{
    if (Value != FCharset) {
        FCharset = Value;
        Changed();
    }
}

void TFont::Assign(const TFont& Source)
{
    FName = Source.FName;
    FHeight = Source.FHeight;
    FColor = Source.FColor;
    FStyle = Source.FStyle;
    FCharset = Source.FCharset;
    Changed();
}

QFont TFont::ToQFont() const
{
    QFont Result(FName);
    // A positive height counts the internal leading too; Qt's pixel size is close enough to both.
    // Height 0 (also Size 0) asks the font mapper for its default size: the size a new font has.
    Result.setPixelSize(FHeight == 0 ? -DefaultHeight : std::max(1, std::abs(FHeight)));
    Result.setBold(FStyle.testFlag(fsBold));
    Result.setItalic(FStyle.testFlag(fsItalic));
    Result.setUnderline(FStyle.testFlag(fsUnderline));
    Result.setStrikeOut(FStyle.testFlag(fsStrikeOut));
    return Result;
}

void TFont::Changed()
{
    if (OnChange) {
        OnChange();
    }
}
