#include "Colors.h"

#include <array>

namespace {

// The classic desktop scheme, 0x00RRGGBB by system colour index.
constexpr std::array<quint32, 31> SystemScheme = {
    0xC8C8C8, // scroll bar
    0x000000, // background
    0x99B4D1, // active caption
    0xBFCDDB, // inactive caption
    0xF0F0F0, // menu
    0xFFFFFF, // window
    0x646464, // window frame
    0x000000, // menu text
    0x000000, // window text
    0x000000, // caption text
    0xB4B4B4, // active border
    0xF4F7FC, // inactive border
    0xABABAB, // application work space
    0x3399FF, // highlight
    0xFFFFFF, // highlight text
    0xF0F0F0, // button face
    0xA0A0A0, // button shadow
    0x6D6D6D, // grey text
    0x000000, // button text
    0x434E54, // inactive caption text
    0xFFFFFF, // button highlight
    0x696969, // 3D dark shadow
    0xE3E3E3, // 3D light
    0x000000, // info text
    0xFFFFE1, // info background
    0xB5B5B5, // (unused)
    0x0066CC, // hot light
    0xB9D1EA, // gradient active caption
    0xD7E4F2, // gradient inactive caption
    0x3399FF, // menu highlight
    0xF0F0F0, // menu bar
};

} // namespace

QColor ColorToRGB(qint32 Color)
{
    if (Color == clNone) {
        return QColor(0, 0, 0, 0);
    }
    if (Color == clDefault) {
        Color = clBtnFace;
    }
    const quint32 Value = static_cast<quint32>(Color);
    if ((Value & 0xFF000000u) == 0x80000000u) {
        const quint32 Index = Value & 0xFFu;
        const quint32 Rgb = Index < SystemScheme.size() ? SystemScheme[Index] : 0;
        return QColor::fromRgb(static_cast<QRgb>(Rgb));
    }
    return QColor(static_cast<int>(Value & 0xFF), static_cast<int>((Value >> 8) & 0xFF),
                  static_cast<int>((Value >> 16) & 0xFF));
}

qint32 RGBToColor(const QColor& Color)
{
    return static_cast<qint32>(static_cast<quint32>(Color.red()) |
                               (static_cast<quint32>(Color.green()) << 8) |
                               (static_cast<quint32>(Color.blue()) << 16));
}
