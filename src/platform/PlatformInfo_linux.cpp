#include "PlatformInfo.h"

using namespace Qt::StringLiterals;

QString PlatformName()
{
    return u"Linux"_s;
}
