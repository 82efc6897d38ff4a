#pragma once

#include <QList>
#include <QString>

#include <memory>

// The places files can be copied to: on Windows the drive letters, on Linux the home folder and
// every writable mounted volume.

struct TVolume
{
    QString RootPath;    // "/home/ann", "/media/usb", "C:/"; ends without a separator except a bare root
    QString Label;       // the volume's name; empty when unknown
    bool Fixed = true;   // a fixed disk (the copy window preselects the first one)
    bool IsHome = false; // the user's home folder (Linux: always the first entry)
};

class IVolumeProvider
{
public:
    virtual ~IVolumeProvider() = default;
    // In display order; never lists the disc itself or read-only volumes.
    virtual QList<TVolume> Volumes() = 0;
    // Bytes the user may still write below Path (0 when unknown or the path is not there).
    virtual qint64 FreeBytes(const QString& Path) = 0;
    // Whether Path's volume is there and readable now.
    virtual bool IsReady(const QString& Path) = 0;
};

// The provider in use: the system's own unless a test installed another.
IVolumeProvider& VolumeProvider();
// Installs Provider (nullptr restores the system's own); the caller keeps ownership.
void SetVolumeProvider(IVolumeProvider* Provider);
std::unique_ptr<IVolumeProvider> CreatePlatformVolumeProvider();
