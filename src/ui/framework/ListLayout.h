#pragma once

#include <QList>
#include <QRect>

// Geometry of a list whose items each have their own height and which scrolls by whole items: the
// item TopIndex is shown at the top of the client area. Heights[i] is the height of item i (at least
// 1). Every function accepts any indexes and sizes; positions are in client coordinates.

// The rectangle of item Index, Width wide (above the client area for items before TopIndex).
QRect ListItemRect(const QList<int>& Heights, int TopIndex, int Index, int Width);
// The item at height Y of the client area, or -1 above the first shown item and below the last item.
int ListItemAt(const QList<int>& Heights, int TopIndex, int Y);
// The largest top index worth scrolling to: the first item from which all the rest fit into
// ClientHeight (0 when everything fits).
int ListMaxTopIndex(const QList<int>& Heights, int ClientHeight);
// True when the items together are higher than the client area.
bool ListNeedsScrolling(const QList<int>& Heights, int ClientHeight);
// The last item shown whole from TopIndex on (TopIndex itself when even that one is cut off; -1 when
// there are no items).
int ListLastVisible(const QList<int>& Heights, int TopIndex, int ClientHeight);
// The top index after scrolling as little as possible to show item Index whole (or at the top, when it
// is higher than the client area).
int ListTopIndexShowing(const QList<int>& Heights, int TopIndex, int Index, int ClientHeight);
// The top index from which the items up to and including Index fill the client area from below: the
// page above Index.
int ListPageTopEndingAt(const QList<int>& Heights, int Index, int ClientHeight);
