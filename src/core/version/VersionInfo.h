#pragma once

#include <QString>
#include <QtGlobal>

#include <functional>
#include <optional>

// The program's own version and the one-line name of a Windows system.

struct TVersionInfo
{
    quint16 Major = 0;
    quint16 Minor = 0;
    quint16 Release = 0;
    quint16 Build = 0;
    // "Major.Minor.Release build Build", or "n/a" when the program carries no version.
    QString Text;
};

// The four numbers of a file version.
struct TFileVersion
{
    quint16 Major = 0;
    quint16 Minor = 0;
    quint16 Release = 0;
    quint16 Build = 0;
};

// Where GetVersionInfo takes the numbers from; no value means the program has no version.
using TVersionSource = std::function<std::optional<TFileVersion>()>;

// The version compiled into the program, when the build defines it.
std::optional<TFileVersion> BuiltInFileVersion();
// Replaces the source (tests); an empty function restores BuiltInFileVersion.
void SetVersionSource(TVersionSource Source);

// Fills Info from the version source.
void GetVersionInfo(TVersionInfo& Info);
// The record for the given numbers, or the "n/a" record when there are none.
TVersionInfo VersionInfoFrom(const std::optional<TFileVersion>& Version);

// Platform ids as the Windows version query reports them. Named with a prefix of their own, because
// <windows.h> defines the VER_ names as macros.
inline constexpr quint32 osPlatformWin9x = 1; // Windows 95, 98, ME
inline constexpr quint32 osPlatformNT = 2;

// What the Windows version query reported.
struct TOSVersion
{
    quint32 PlatformId = 0;
    quint32 Major = 0;
    quint32 Minor = 0;
    quint32 Build = 0;
    QString ServicePack;
};

// The system's one-line description, e.g. "Windows XP 5.1 (Build 2600 Service Pack 2)"; an unknown
// platform id gives "Unknown Operating System" alone. No value means the query failed: the line is then
// built with an empty name, version 0.0 and StartBuild, the build number known from program start.
QString GetOSName(const std::optional<TOSVersion>& Version, quint32 StartBuild = 0);
