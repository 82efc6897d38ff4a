#include "VersionInfo.h"

#include "AutorunVersion.h"

using namespace Qt::StringLiterals;

namespace {

TVersionSource& VersionSource()
{
    static TVersionSource Source;
    return Source;
}

// The service-pack text the version query can hold.
constexpr qsizetype MaxServicePackLength = 128;

QString WindowsName(const TOSVersion& V)
{
    if (V.PlatformId == osPlatformWin9x) {
        if (V.Major != 4) {
            return u"Windows 9x"_s;
        }
        switch (V.Minor) {
        case 0:
            return u"Windows 95"_s;
        case 10:
            // Second Edition reports " A " as its service-pack text.
            return V.ServicePack.size() >= 2 && V.ServicePack[1] == u'A' ? u"Windows 98 SE"_s
                                                                         : u"Windows 98"_s;
        case 90:
            return u"Windows ME"_s;
        default:
            return u"Windows 9x"_s;
        }
    }
    // NT family.
    if (V.Major == 4) {
        return u"Windows NT"_s;
    }
    if (V.Major == 5) {
        switch (V.Minor) {
        case 0:
            return u"Windows 2000"_s;
        case 1:
            return u"Windows XP"_s;
        case 2:
            return u"Windows 2003 Server"_s;
        default:
            break;
        }
    }
    if (V.Major == 6 && V.Minor == 0) {
        return u"Windows Vista"_s;
    }
    return u"Windows NT Generation"_s;
}

} // namespace

std::optional<TFileVersion> BuiltInFileVersion()
{
#if defined(AUTORUN_VERSION_MAJOR) && defined(AUTORUN_VERSION_MINOR) && defined(AUTORUN_VERSION_RELEASE) &&  \
    defined(AUTORUN_VERSION_BUILD)
    return TFileVersion{AUTORUN_VERSION_MAJOR, AUTORUN_VERSION_MINOR, AUTORUN_VERSION_RELEASE,
                        AUTORUN_VERSION_BUILD};
#else
    return std::nullopt;
#endif
}

void SetVersionSource(TVersionSource Source)
{
    VersionSource() = std::move(Source);
}

TVersionInfo VersionInfoFrom(const std::optional<TFileVersion>& Version)
{
    TVersionInfo Info;
    if (!Version) {
        Info.Text = u"n/a"_s;
        return Info;
    }
    Info.Major = Version->Major;
    Info.Minor = Version->Minor;
    Info.Release = Version->Release;
    Info.Build = Version->Build;
    Info.Text = QString::number(Info.Major) % u'.' % QString::number(Info.Minor) % u'.' %
                QString::number(Info.Release) % u" build " % QString::number(Info.Build);
    return Info;
}

void GetVersionInfo(TVersionInfo& Info)
{
    const TVersionSource& Source = VersionSource();
    Info = VersionInfoFrom(Source ? Source() : BuiltInFileVersion());
}

QString GetOSName(const std::optional<TOSVersion>& Version, quint32 StartBuild)
{
    QString Name;
    quint32 Major = 0;
    quint32 Minor = 0;
    quint32 Build = StartBuild;
    QString ServicePack;
    if (Version) {
        if (Version->PlatformId != osPlatformWin9x && Version->PlatformId != osPlatformNT) {
            return u"Unknown Operating System"_s;
        }
        Name = WindowsName(*Version);
        Major = Version->Major;
        Minor = Version->Minor;
        ServicePack = Version->ServicePack.left(MaxServicePackLength);
        // The 95 family keeps its version in the high word of the build number.
        Build = Version->PlatformId == osPlatformWin9x ? (Version->Build & 0xFFFF) : Version->Build;
    }
    const QString Numbers = QString::number(Major) % u'.' % QString::number(Minor) % u" (Build " %
                            QString::number(static_cast<qint32>(Build));
    if (ServicePack.isEmpty()) {
        return Name % u' ' % Numbers % u')';
    }
    return Name % u' ' % Numbers % u' ' % ServicePack % u')';
}
