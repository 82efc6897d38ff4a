// Fuzzes the INI reader behind shell.ini: the file's bytes are decoded and parsed, every section and
// key read back, and the settings the program takes from shell.ini built from them.

#include "config/DesignSettings.h"
#include "config/IniFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    TIniFile Ini;
    Ini.LoadFromBytes(QByteArrayView(Data, qsizetype(Size)));
    for (const QString& Section : Ini.ReadSections()) {
        for (const TIniValue& Value : Ini.ReadSectionValues(Section)) {
            // Every key listed must be found again, whatever its case or spelling.
            if (!Ini.ValueExists(Section, Value.first))
                __builtin_trap();
            Ini.ReadInteger(Section, Value.first, 0);
            Ini.ReadBool(Section, Value.first, false);
        }
    }
    DesignSettingsFromIni(Ini);
    return 0;
}
