#include "ListLayout.h"

#include <algorithm>

namespace {

int ClampIndex(const QList<int>& Heights, int Index)
{
    return std::clamp(Index, 0, std::max(0, static_cast<int>(Heights.size()) - 1));
}

} // namespace

QRect ListItemRect(const QList<int>& Heights, int TopIndex, int Index, int Width)
{
    if (Index < 0 || Index >= Heights.size()) {
        return {};
    }
    TopIndex = ClampIndex(Heights, TopIndex);
    qint64 Y = 0;
    if (Index >= TopIndex) {
        for (int I = TopIndex; I < Index; ++I) {
            Y += Heights[I];
        }
    } else {
        for (int I = Index; I < TopIndex; ++I) {
            Y -= Heights[I];
        }
    }
    Y = std::clamp<qint64>(Y, -0x3FFFFFFF, 0x3FFFFFFF);
    return {0, static_cast<int>(Y), std::max(0, Width), Heights[Index]};
}

int ListItemAt(const QList<int>& Heights, int TopIndex, int Y)
{
    if (Y < 0 || Heights.isEmpty()) {
        return -1;
    }
    qint64 Top = 0;
    for (int I = ClampIndex(Heights, TopIndex); I < Heights.size(); ++I) {
        Top += Heights[I];
        if (Y < Top) {
            return I;
        }
    }
    return -1;
}

int ListMaxTopIndex(const QList<int>& Heights, int ClientHeight)
{
    qint64 Sum = 0;
    for (int I = static_cast<int>(Heights.size()) - 1; I >= 0; --I) {
        Sum += Heights[I];
        if (Sum > ClientHeight) {
            return std::min(I + 1, static_cast<int>(Heights.size()) - 1);
        }
    }
    return 0;
}

bool ListNeedsScrolling(const QList<int>& Heights, int ClientHeight)
{
    qint64 Sum = 0;
    for (const int H : Heights) {
        Sum += H;
        if (Sum > ClientHeight) {
            return true;
        }
    }
    return false;
}

int ListLastVisible(const QList<int>& Heights, int TopIndex, int ClientHeight)
{
    if (Heights.isEmpty()) {
        return -1;
    }
    TopIndex = ClampIndex(Heights, TopIndex);
    qint64 Bottom = 0;
    int Last = TopIndex;
    for (int I = TopIndex; I < Heights.size(); ++I) {
        Bottom += Heights[I];
        if (Bottom > ClientHeight) {
            break;
        }
        Last = I;
    }
    return Last;
}

int ListTopIndexShowing(const QList<int>& Heights, int TopIndex, int Index, int ClientHeight)
{
    if (Heights.isEmpty()) {
        return 0;
    }
    TopIndex = ClampIndex(Heights, TopIndex);
    Index = ClampIndex(Heights, Index);
    if (Index <= TopIndex) {
        return Index;
    }
    if (ListLastVisible(Heights, TopIndex, ClientHeight) >= Index) {
        return TopIndex;
    }
    return ListPageTopEndingAt(Heights, Index, ClientHeight);
}

int ListPageTopEndingAt(const QList<int>& Heights, int Index, int ClientHeight)
{
    if (Heights.isEmpty()) {
        return 0;
    }
    Index = ClampIndex(Heights, Index);
    qint64 Sum = Heights[Index];
    int Top = Index;
    while (Top > 0 && Sum + Heights[Top - 1] <= ClientHeight) {
        --Top;
        Sum += Heights[Top];
    }
    return Top;
}
