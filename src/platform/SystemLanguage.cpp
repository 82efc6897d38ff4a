#include "SystemLanguage.h"

using namespace Qt::StringLiterals;

namespace {

struct TLocaleLang
{
    QStringView Name; // "ll" (the language's main id), "ll_CC", "ll@modifier" or "ll_CC@modifier"
    quint16 LangId;
};

// Windows language ids of the common locales. Every language has a bare "ll" row with the id a
// system of that language usually reports when its territory is not listed.
// clang-format off
constexpr TLocaleLang LocaleLangs[] = {
    // English
    {u"en", 0x0409}, {u"en_US", 0x0409}, {u"en_GB", 0x0809}, {u"en_AU", 0x0C09}, {u"en_CA", 0x1009},
    {u"en_NZ", 0x1409}, {u"en_IE", 0x1809}, {u"en_ZA", 0x1C09}, {u"en_JM", 0x2009}, {u"en_BZ", 0x2809},
    {u"en_TT", 0x2C09}, {u"en_ZW", 0x3009}, {u"en_PH", 0x3409}, {u"en_IN", 0x4009}, {u"en_MY", 0x4409},
    {u"en_SG", 0x4809},
    // Slavic and neighbours
    {u"ru", 0x0419}, {u"ru_RU", 0x0419}, {u"ru_MD", 0x0819},
    {u"uk", 0x0422}, {u"uk_UA", 0x0422},
    {u"be", 0x0423}, {u"be_BY", 0x0423},
    {u"bg", 0x0402}, {u"bg_BG", 0x0402},
    {u"cs", 0x0405}, {u"cs_CZ", 0x0405},
    {u"sk", 0x041B}, {u"sk_SK", 0x041B},
    {u"pl", 0x0415}, {u"pl_PL", 0x0415},
    {u"sl", 0x0424}, {u"sl_SI", 0x0424},
    {u"hr", 0x041A}, {u"hr_HR", 0x041A}, {u"hr_BA", 0x101A},
    {u"bs", 0x141A}, {u"bs_BA", 0x141A},
    {u"sr", 0x0C1A}, {u"sr_RS", 0x281A}, {u"sr_ME", 0x301A}, {u"sr_BA", 0x1C1A},
    {u"sr@latin", 0x081A}, {u"sr_RS@latin", 0x241A}, {u"sr_ME@latin", 0x2C1A}, {u"sr_BA@latin", 0x181A},
    {u"mk", 0x042F}, {u"mk_MK", 0x042F},
    // Baltic, Nordic
    {u"lt", 0x0427}, {u"lt_LT", 0x0427},
    {u"lv", 0x0426}, {u"lv_LV", 0x0426},
    {u"et", 0x0425}, {u"et_EE", 0x0425},
    {u"fi", 0x040B}, {u"fi_FI", 0x040B},
    {u"sv", 0x041D}, {u"sv_SE", 0x041D}, {u"sv_FI", 0x081D},
    {u"da", 0x0406}, {u"da_DK", 0x0406},
    {u"nb", 0x0414}, {u"nb_NO", 0x0414}, {u"no", 0x0414}, {u"no_NO", 0x0414},
    {u"nn", 0x0814}, {u"nn_NO", 0x0814},
    {u"is", 0x040F}, {u"is_IS", 0x040F},
    {u"fo", 0x0438}, {u"fo_FO", 0x0438},
    // Western and southern Europe
    {u"de", 0x0407}, {u"de_DE", 0x0407}, {u"de_CH", 0x0807}, {u"de_AT", 0x0C07}, {u"de_LU", 0x1007},
    {u"de_LI", 0x1407},
    {u"fr", 0x040C}, {u"fr_FR", 0x040C}, {u"fr_BE", 0x080C}, {u"fr_CA", 0x0C0C}, {u"fr_CH", 0x100C},
    {u"fr_LU", 0x140C}, {u"fr_MC", 0x180C},
    {u"nl", 0x0413}, {u"nl_NL", 0x0413}, {u"nl_BE", 0x0813},
    {u"it", 0x0410}, {u"it_IT", 0x0410}, {u"it_CH", 0x0810},
    {u"es", 0x0C0A}, {u"es_ES", 0x0C0A}, {u"es_MX", 0x080A}, {u"es_GT", 0x100A}, {u"es_CR", 0x140A},
    {u"es_PA", 0x180A}, {u"es_DO", 0x1C0A}, {u"es_VE", 0x200A}, {u"es_CO", 0x240A}, {u"es_PE", 0x280A},
    {u"es_AR", 0x2C0A}, {u"es_EC", 0x300A}, {u"es_CL", 0x340A}, {u"es_UY", 0x380A}, {u"es_PY", 0x3C0A},
    {u"es_BO", 0x400A}, {u"es_SV", 0x440A}, {u"es_HN", 0x480A}, {u"es_NI", 0x4C0A}, {u"es_PR", 0x500A},
    {u"es_US", 0x540A},
    {u"pt", 0x0416}, {u"pt_BR", 0x0416}, {u"pt_PT", 0x0816},
    {u"ca", 0x0403}, {u"ca_ES", 0x0403}, {u"ca_ES@valencia", 0x0803},
    {u"eu", 0x042D}, {u"eu_ES", 0x042D},
    {u"gl", 0x0456}, {u"gl_ES", 0x0456},
    {u"ga", 0x083C}, {u"ga_IE", 0x083C},
    {u"cy", 0x0452}, {u"cy_GB", 0x0452},
    {u"lb", 0x046E}, {u"lb_LU", 0x046E},
    {u"mt", 0x043A}, {u"mt_MT", 0x043A},
    {u"el", 0x0408}, {u"el_GR", 0x0408},
    {u"hu", 0x040E}, {u"hu_HU", 0x040E},
    {u"ro", 0x0418}, {u"ro_RO", 0x0418}, {u"ro_MD", 0x0818},
    {u"sq", 0x041C}, {u"sq_AL", 0x041C},
    {u"tr", 0x041F}, {u"tr_TR", 0x041F},
    // Caucasus and Central Asia
    {u"ka", 0x0437}, {u"ka_GE", 0x0437},
    {u"hy", 0x042B}, {u"hy_AM", 0x042B},
    {u"az", 0x042C}, {u"az_AZ", 0x042C},
    {u"kk", 0x043F}, {u"kk_KZ", 0x043F},
    {u"ky", 0x0440}, {u"ky_KG", 0x0440},
    {u"uz", 0x0443}, {u"uz_UZ", 0x0443}, {u"uz@cyrillic", 0x0843}, {u"uz_UZ@cyrillic", 0x0843},
    {u"tg", 0x0428}, {u"tg_TJ", 0x0428},
    {u"tk", 0x0442}, {u"tk_TM", 0x0442},
    {u"tt", 0x0444}, {u"tt_RU", 0x0444},
    {u"ba", 0x046D}, {u"ba_RU", 0x046D},
    {u"mn", 0x0450}, {u"mn_MN", 0x0450},
    // Middle East
    {u"ar", 0x0401}, {u"ar_SA", 0x0401}, {u"ar_IQ", 0x0801}, {u"ar_EG", 0x0C01}, {u"ar_LY", 0x1001},
    {u"ar_DZ", 0x1401}, {u"ar_MA", 0x1801}, {u"ar_TN", 0x1C01}, {u"ar_OM", 0x2001}, {u"ar_YE", 0x2401},
    {u"ar_SY", 0x2801}, {u"ar_JO", 0x2C01}, {u"ar_LB", 0x3001}, {u"ar_KW", 0x3401}, {u"ar_AE", 0x3801},
    {u"ar_BH", 0x3C01}, {u"ar_QA", 0x4001},
    {u"he", 0x040D}, {u"he_IL", 0x040D},
    {u"fa", 0x0429}, {u"fa_IR", 0x0429},
    {u"ur", 0x0420}, {u"ur_PK", 0x0420},
    // South and East Asia
    {u"hi", 0x0439}, {u"hi_IN", 0x0439},
    {u"bn", 0x0445}, {u"bn_IN", 0x0445}, {u"bn_BD", 0x0845},
    {u"pa", 0x0446}, {u"pa_IN", 0x0446},
    {u"gu", 0x0447}, {u"gu_IN", 0x0447},
    {u"ta", 0x0449}, {u"ta_IN", 0x0449},
    {u"te", 0x044A}, {u"te_IN", 0x044A},
    {u"kn", 0x044B}, {u"kn_IN", 0x044B},
    {u"ml", 0x044C}, {u"ml_IN", 0x044C},
    {u"mr", 0x044E}, {u"mr_IN", 0x044E},
    {u"ne", 0x0461}, {u"ne_NP", 0x0461},
    {u"si", 0x045B}, {u"si_LK", 0x045B},
    {u"th", 0x041E}, {u"th_TH", 0x041E},
    {u"lo", 0x0454}, {u"lo_LA", 0x0454},
    {u"km", 0x0453}, {u"km_KH", 0x0453},
    {u"my", 0x0455}, {u"my_MM", 0x0455},
    {u"vi", 0x042A}, {u"vi_VN", 0x042A},
    {u"id", 0x0421}, {u"id_ID", 0x0421},
    {u"ms", 0x043E}, {u"ms_MY", 0x043E}, {u"ms_BN", 0x083E},
    {u"fil", 0x0464}, {u"fil_PH", 0x0464},
    {u"zh", 0x0804}, {u"zh_CN", 0x0804}, {u"zh_TW", 0x0404}, {u"zh_HK", 0x0C04}, {u"zh_SG", 0x1004},
    {u"zh_MO", 0x1404},
    {u"ja", 0x0411}, {u"ja_JP", 0x0411},
    {u"ko", 0x0412}, {u"ko_KR", 0x0412},
    // Africa
    {u"af", 0x0436}, {u"af_ZA", 0x0436},
    {u"zu", 0x0435}, {u"zu_ZA", 0x0435},
    {u"xh", 0x0434}, {u"xh_ZA", 0x0434},
    {u"sw", 0x0441}, {u"sw_KE", 0x0441},
    {u"am", 0x045E}, {u"am_ET", 0x045E},
};
// clang-format on

int FindLocale(QStringView Name)
{
    for (const TLocaleLang& L : LocaleLangs) {
        if (L.Name == Name) {
            return L.LangId;
        }
    }
    return -1;
}

} // namespace

QString LocaleNameFromEnvironment(const QProcessEnvironment& Environment)
{
    for (const QString& Variable : {u"LC_ALL"_s, u"LC_MESSAGES"_s, u"LANG"_s}) {
        const QString Value = Environment.value(Variable);
        if (!Value.isEmpty()) {
            return Value;
        }
    }
    return {};
}

quint16 LangIdFromLocaleName(QStringView LocaleName)
{
    // language[_territory][.codeset][@modifier]
    QStringView Rest = LocaleName.trimmed();
    QString Modifier;
    if (const qsizetype At = Rest.indexOf(u'@'); At >= 0) {
        Modifier = Rest.sliced(At + 1).toString().toLower();
        Rest = Rest.first(At);
    }
    if (const qsizetype Dot = Rest.indexOf(u'.'); Dot >= 0) {
        Rest = Rest.first(Dot);
    }
    QString Language = Rest.toString();
    QString Territory;
    if (const qsizetype Sep = Rest.indexOf(u'_'); Sep >= 0) {
        Language = Rest.first(Sep).toString();
        Territory = Rest.sliced(Sep + 1).toString();
    } else if (const qsizetype Dash = Rest.indexOf(u'-'); Dash >= 0) {
        // "en-GB", as some desktops write it.
        Language = Rest.first(Dash).toString();
        Territory = Rest.sliced(Dash + 1).toString();
    }
    Language = Language.toLower();
    Territory = Territory.toUpper();
    if (Language.isEmpty()) {
        return LangEnglishUS;
    }

    const QString WithTerritory = Territory.isEmpty() ? QString() : Language % u'_' % Territory;
    const QString Suffix = Modifier.isEmpty() ? QString() : u'@' % Modifier;
    // The most specific name first; a modifier the table does not know is dropped ("de_DE@euro").
    const QString Candidates[] = {
        WithTerritory.isEmpty() || Suffix.isEmpty() ? QString() : WithTerritory % Suffix,
        WithTerritory,
        Suffix.isEmpty() ? QString() : Language % Suffix,
        Language,
    };
    for (const QString& Candidate : Candidates) {
        if (Candidate.isEmpty()) {
            continue;
        }
        if (const int Id = FindLocale(Candidate); Id >= 0) {
            return static_cast<quint16>(Id);
        }
    }
    // "C", "POSIX" and languages without a Windows id.
    return LangEnglishUS;
}

quint16 LangIdFromEnvironment(const QProcessEnvironment& Environment)
{
    return LangIdFromLocaleName(LocaleNameFromEnvironment(Environment));
}
