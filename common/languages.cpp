// The 103 entries of the language table, in index order.
#include "languages.h"

namespace qp {

namespace {

const LanguageEntry kLanguages[kLanguageCount] = {
    {0x0009, "English"},
    {0x0007, "German"},
    {0x000C, "French"},
    {0x0006, "Danish"},
    {0x0013, "Dutch"},
    {0x0010, "Italian"},
    {0x001B, "Slovak"},
    {0x0024, "Slovenian"},
    {0x000A, "Spanish"},
    {0x0018, "Romanian"},
    {0x000E, "Hungarian"},
    {0x0409, "English (US)"},
    {0x001A, "Croatian"},
    {0x0005, "Czech"},
    {0x0016, "Portuguese"},
    {0x0015, "Polish"},
    {0x001D, "Swedish"},
    {0x0813, "Dutch(Belgium)"},
    {0x0809, "English(U.K.)"},
    {0x0C09, "English(Australia)"},
    {0x1009, "English(Canada)"},
    {0x1409, "English(NewZealand)"},
    {0x1809, "English(Ireland)"},
    {0x1809, "English(Irish)"},
    {0x1809, "English(SouthAfrica)"},
    {0x2009, "English(Jamaica)"},
    {0x1809, "English(Carribean)"},
    {0x000B, "Finnish"},
    {0x040C, "French (French)"},
    {0x080C, "French(Belgium)"},
    {0x0C0C, "French (Canadian)"},
    {0x100C, "French(Switzerland)"},
    {0x140C, "French(Luxembourg)"},
    {0x0407, "German (Germany)"},
    {0x0807, "German(Switzerland)"},
    {0x0C07, "German(Austria)"},
    {0x1007, "German(Luxembourg)"},
    {0x1407, "German(Liechtenstein)"},
    {0x0008, "Greek"},
    {0x001C, "Albanian"},
    {0x0001, "Arabic"},
    {0x0801, "Arabic(Iraq)"},
    {0x0C01, "Arabic(Egypt)"},
    {0x1001, "Arabic(Libya)"},
    {0x1401, "Arabic(Algeria)"},
    {0x1801, "Arabic(Morocco)"},
    {0x1C01, "Arabic(Tunisia)"},
    {0x2001, "Arabic(Oman)"},
    {0x2401, "Arabic(Yemen)"},
    {0x2801, "Arabic(Syria)"},
    {0x2C01, "Arabic(Jordan)"},
    {0x3001, "Arabic(Lebanon)"},
    {0x3401, "Arabic(Kuwait)"},
    {0x3801, "Arabic(UnitedArabEmirates)"},
    {0x3C01, "Arabic(Bahrain)"},
    {0x4001, "Arabic(Qatar)"},
    {0x0002, "Bulgarian"},
    {0x0004, "Chinese"},
    {0x0404, "Chinese"},
    {0x0804, "Chinese(P.R.C.)"},
    {0x0C04, "Chinese(HongKong)"},
    {0x1004, "Chinese(Singapore)"},
    {0x000D, "Hebrew"},
    {0x000F, "Icelandic"},
    {0x0410, "Italian (Italy)"},
    {0x0810, "Italian(Switzerland)"},
    {0x0011, "Japanese"},
    {0x0012, "Korean"},
    {0x1812, "Korean(Johab)"},
    {0x0014, "Norwegian - Bokmal"},
    {0x0814, "Norwegian(Nynorsk)"},
    {0x0416, "Portuguese (Brazilian)"},
    {0x0816, "Portuguese (Standard)"},
    {0x0019, "Russian"},
    {0x080A, "Spanish(Mexican)"},
    {0x0C0A, "Spanish(Modern)"},
    {0x100A, "Spanish(Guatemala)"},
    {0x180A, "Spanish(CostaRica)"},
    {0x180A, "Spanish(Panama)"},
    {0x180A, "Spanish(DominicanRepublic)"},
    {0x200A, "Spanish(Venezuela)"},
    {0x240A, "Spanish(Colombia)"},
    {0x280A, "Spanish(Peru)"},
    {0x2C0A, "Spanish(Argentina)"},
    {0x300A, "Spanish(Ecuador)"},
    {0x340A, "Spanish(Chile)"},
    {0x380A, "Spanish(Uruguay)"},
    {0x3C0A, "Spanish(Paraguay)"},
    {0x400A, "Spanish(Bolivia)"},
    {0x0003, "Catalan"},
    {0x002D, "Basque"},
    {0x001E, "Thai"},
    {0x001F, "Turkish"},
    {0x0036, "Afrikaans"},
    {0x0025, "Estonian"},
    {0x0038, "Faeroese"},
    {0x0029, "Farsi"},
    {0x0021, "Indonesian"},
    {0x0026, "Latvian"},
    {0x0027, "Lithuanian"},
    {0x0022, "Ukrainian"},
    {0x0023, "Belarusian"},
    {0x002A, "Vietnamese"},
};

}  // namespace

const LanguageEntry* LanguageAt(int index) {
    if (index < 0 || index >= kLanguageCount) return nullptr;
    return &kLanguages[index];
}

const char* LanguageName(int index) {
    const LanguageEntry* e = LanguageAt(index);
    return e ? e->name : "";
}

int LanguageIndexOfId(std::uint16_t id) {
    for (int i = 0; i < kLanguageCount; ++i)
        if (kLanguages[i].id == id) return i;
    return -1;
}

}  // namespace qp
