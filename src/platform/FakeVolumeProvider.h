#pragma once

#include "Volumes.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>

// Volumes for tests: a fixed list, free space and readiness per path as the test sets them.
// Install it with SetVolumeProvider for the code under test.
class TFakeVolumeProvider : public IVolumeProvider
{
public:
    QList<TVolume> List;
    // Free bytes per path as asked; a path not in the map has none.
    QHash<QString, qint64> Free;
    // Paths that are not ready; every other path is.
    QSet<QString> NotReady;

    QList<TVolume> Volumes() override { return List; }
    qint64 FreeBytes(const QString& Path) override { return Free.value(Path, 0); }
    bool IsReady(const QString& Path) override { return !NotReady.contains(Path); }
};
