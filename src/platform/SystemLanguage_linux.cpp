#include "SystemLanguage.h"

quint16 GetSystemDefaultLangID()
{
    // Read from the environment rather than QLocale::system(), which also follows LANGUAGE.
    return LangIdFromEnvironment(QProcessEnvironment::systemEnvironment());
}
