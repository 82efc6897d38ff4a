#pragma once

#include <QtGlobal>

class QKeyEvent;

// Keys by the virtual-key codes the design's handlers compare with.
inline constexpr quint16 VK_BACK = 0x08;
inline constexpr quint16 VK_TAB = 0x09;
inline constexpr quint16 VK_RETURN = 0x0D;
inline constexpr quint16 VK_SHIFT = 0x10;
inline constexpr quint16 VK_CONTROL = 0x11;
inline constexpr quint16 VK_MENU = 0x12;
inline constexpr quint16 VK_ESCAPE = 0x1B;
inline constexpr quint16 VK_SPACE = 0x20;
inline constexpr quint16 VK_PRIOR = 0x21;
inline constexpr quint16 VK_NEXT = 0x22;
inline constexpr quint16 VK_END = 0x23;
inline constexpr quint16 VK_HOME = 0x24;
inline constexpr quint16 VK_LEFT = 0x25;
inline constexpr quint16 VK_UP = 0x26;
inline constexpr quint16 VK_RIGHT = 0x27;
inline constexpr quint16 VK_DOWN = 0x28;
inline constexpr quint16 VK_INSERT = 0x2D;
inline constexpr quint16 VK_DELETE = 0x2E;
inline constexpr quint16 VK_ADD = 0x6B;
inline constexpr quint16 VK_SUBTRACT = 0x6D;
inline constexpr quint16 VK_F1 = 0x70;
inline constexpr quint16 VK_F10 = 0x79;

// The virtual-key code of a Qt key event (0 for keys without one): letters and digits are their
// upper-case character codes, F1 to F12 follow VK_F1.
quint16 VirtualKeyOf(const QKeyEvent& Event);
// The Qt key of a virtual-key code (Qt::Key_unknown when there is none), for synthesised events.
int QtKeyOf(quint16 Key);
