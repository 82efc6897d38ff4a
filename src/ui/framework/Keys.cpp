#include "Keys.h"

#include <QKeyEvent>

#include <array>
#include <utility>

namespace {

constexpr std::array<std::pair<int, quint16>, 23> KeyTable = {{
    {Qt::Key_Backspace, VK_BACK}, {Qt::Key_Tab, VK_TAB},       {Qt::Key_Return, VK_RETURN},
    {Qt::Key_Enter, VK_RETURN},   {Qt::Key_Shift, VK_SHIFT},   {Qt::Key_Control, VK_CONTROL},
    {Qt::Key_Alt, VK_MENU},       {Qt::Key_Escape, VK_ESCAPE}, {Qt::Key_Space, VK_SPACE},
    {Qt::Key_PageUp, VK_PRIOR},   {Qt::Key_PageDown, VK_NEXT}, {Qt::Key_End, VK_END},
    {Qt::Key_Home, VK_HOME},      {Qt::Key_Left, VK_LEFT},     {Qt::Key_Up, VK_UP},
    {Qt::Key_Right, VK_RIGHT},    {Qt::Key_Down, VK_DOWN},     {Qt::Key_Insert, VK_INSERT},
    {Qt::Key_Delete, VK_DELETE},  {Qt::Key_Plus, VK_ADD},      {Qt::Key_Minus, VK_SUBTRACT},
    {Qt::Key_Backtab, VK_TAB},    {Qt::Key_Menu, 0x5D},
}};

} // namespace

quint16 VirtualKeyOf(const QKeyEvent& Event)
{
    const int Key = Event.key();
    if ((Key >= Qt::Key_A && Key <= Qt::Key_Z) || (Key >= Qt::Key_0 && Key <= Qt::Key_9)) {
        return static_cast<quint16>(Key);
    }
    if (Key >= Qt::Key_F1 && Key <= Qt::Key_F12) {
        return static_cast<quint16>(VK_F1 + (Key - Qt::Key_F1));
    }
    for (const auto& [QtKey, Vk] : KeyTable) {
        if (QtKey == Key) {
            return Vk;
        }
    }
    return 0;
}

int QtKeyOf(quint16 Key)
{
    if ((Key >= 'A' && Key <= 'Z') || (Key >= '0' && Key <= '9')) {
        return Key;
    }
    if (Key >= VK_F1 && Key < VK_F1 + 12) {
        return Qt::Key_F1 + (Key - VK_F1);
    }
    for (const auto& [QtKey, Vk] : KeyTable) {
        if (Vk == Key) {
            return QtKey;
        }
    }
    return Qt::Key_unknown;
}
