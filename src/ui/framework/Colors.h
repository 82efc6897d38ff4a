#pragma once

#include <QColor>
#include <QtGlobal>

// Colours as the design and "controls.ini" give them: 0x00BBGGRR, or a system colour
// (0x80000000 + index) resolved through a fixed classic desktop scheme so that windows look the same
// on every machine.
inline constexpr qint32 clNone = 0x1FFFFFFF;
inline constexpr qint32 clDefault = 0x20000000;
inline constexpr qint32 clBlack = 0x000000;
inline constexpr qint32 clWhite = 0xFFFFFF;
inline constexpr qint32 clBtnFace = static_cast<qint32>(0x8000000Fu);
inline constexpr qint32 clWindow = static_cast<qint32>(0x80000005u);
inline constexpr qint32 clWindowText = static_cast<qint32>(0x80000008u);
inline constexpr qint32 clHighlight = static_cast<qint32>(0x8000000Du);
inline constexpr qint32 clHighlightText = static_cast<qint32>(0x8000000Eu);
inline constexpr qint32 clBtnText = static_cast<qint32>(0x80000012u);
inline constexpr qint32 clGrayText = static_cast<qint32>(0x80000011u);

// The colour a value stands for; clNone gives a fully transparent colour.
QColor ColorToRGB(qint32 Color);
// The 0x00BBGGRR value of an opaque colour.
qint32 RGBToColor(const QColor& Color);
