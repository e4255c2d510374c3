// The wizard's page tables and the dialog template builder.
#include "setup/wizard/page_tables.h"

#include <initializer_list>

#include "common/byteio.h"
#include "setup/wizard/page_sequence.h"

namespace qp::wiz {
namespace {

constexpr std::uint16_t B = kClassButton, E = kClassEdit, S = kClassStatic, L = kClassListBox;

// Both the label style and the exterior pages' transparent texts are WS_VISIBLE only; the
// template adds WS_CHILD to every control.
// Rows that several pages share: the buttons, and the exterior pages' bottom line, white face
// and side picture.
const ControlRecord kNextButton = {"NEXTBUT", B, nullptr, kIdNext, 215, 195, 265, 209, 0x50010001, 0};
const ControlRecord kBackButton = {"PREVBUT", B, nullptr, kIdBack, 166, 195, 216, 209, 0x50010000, 0};
const ControlRecord kCancelButton = {"CANCELBUT", B, nullptr, kIdCancel, 272, 195, 322, 209, 0x50010000, 0};
const ControlRecord kExteriorBottomLine = {"", S, nullptr, kIdBottomLine, 0, 185, 330, 186, 0x50001007, 0};
const ControlRecord kEndPanel = {"", S, nullptr, kIdPanel, 1, 0, 330, 184, 0x50000006, 0};
const ControlRecord kSidePicture = {"", B, nullptr, kIdSideBitmap, 0, 0, 100, 185, 0x5001000B, 0};

const std::vector<ControlRecord> kCommon = {
    kNextButton,
    kBackButton,
    kCancelButton,
    {"", S, nullptr, kIdHeaderLine, 0, 37, 330, 38, 0x50001007, 0},
    {"", S, nullptr, kIdBottomLine, 0, 185, 289, 186, 0x50001007, 0},
    {"", S, nullptr, kIdPanel, 0, 0, 330, 37, 0x50000006, 0},
    {"", S, nullptr, kIdTitle, 5, 3, 307, 18, 0x50000000, 0x20},
    {"", S, nullptr, kIdComment, 21, 14, 307, 34, 0x50000000, 0x20},
    {"", B, nullptr, kIdHeaderBitmap, 290, 0, 330, 37, 0x5000000B, 0},
};

// The two last pages: the buttons, the line and the white face, the page's own texts, and the
// side picture last.
std::vector<ControlRecord> EndPage(std::initializer_list<ControlRecord> own) {
    std::vector<ControlRecord> all = {kNextButton, kBackButton, kCancelButton, kExteriorBottomLine, kEndPanel};
    all.insert(all.end(), own.begin(), own.end());
    all.push_back(kSidePicture);
    return all;
}

std::vector<ControlRecord> Own(int page) {
    switch (page) {
    case 1:
        return {
            {"", S, nullptr, kIdPanel, 1, 0, 330, 185, 0x50000006, 0},
            kExteriorBottomLine,
            kNextButton,
            kBackButton,
            kCancelButton,
            {"DLG_WELCOME_TITLE", S, nullptr, kIdTitle, 120, 17, 325, 50, 0x50000000, 0x20},
            {"DLG_WELCOME_COMMENT", S, nullptr, kIdComment, 120, 60, 325, 80, 0x50000000, 0x20},
            kSidePicture,
        };
    case 2:
        return {
            {"", E, nullptr, kIdLicenseText, 25, 47, 307, 140, 0x502100C4, 0x20000},
            {"DLG_LICENSE_TEXT1", S, nullptr, kIdNone, 13, 143, 307, 151, 0x50000000, 0},
            {"DLG_LICENSE_TEXT2", S, nullptr, kIdNone, 13, 155, 307, 181, 0x50000000, 0},
        };
    case 3:
        return {{"DLG_README_TEXT1", E, nullptr, kIdReadmeText, 25, 42, 307, 175, 0x502100C4, 0x20000}};
    case 4:
        return {
            {"", E, nullptr, kIdUserName, 70, 81, 307, 93, 0x50010000, 0x20000},
            {"", E, nullptr, kIdCompany, 70, 103, 307, 115, 0x50010000, 0x20000},
            {"", E, nullptr, kIdSerial, 70, 126, 307, 138, 0x50010080, 0x20000},
            {"DLG_USERINFO_TEXT_USER", S, nullptr, kIdNone, 2, 82, 65, 94, 0x50000000, 0},
            {"DLG_USERINFO_TEXT_COMPUTER", S, nullptr, kIdNone, 2, 105, 65, 117, 0x50000000, 0},
            {"DLG_USERINFO_TEXT_SERIAL", S, nullptr, kIdNone, 2, 129, 65, 141, 0x50000000, 0},
            {"DLG_USERINFO_TEXT1", S, nullptr, kIdNone, 2, 47, 307, 71, 0x50000000, 0},
        };
    case 5:
        return {
            {"", E, nullptr, kIdDestination, 28, 155, 247, 167, 0x50000080, 0x20000},
            {"DLG_SELECTDIRECTORY_CAPTION_DEST", B, nullptr, kIdNone, 22, 142, 303, 179, 0x50000007, 0},
            {"DLG_SELECTDIRECTORY_BUT_BROWSE", B, nullptr, kIdBrowse, 250, 155, 300, 169, 0x50000000, 0},
            {"DLG_SELECTDIRECTORY_TEXT1", S, nullptr, kIdNone, 25, 47, 297, 140, 0x50000000, 0},
        };
    case 6:
        return {
            {"DLG_SETUPTYPE_CAPTION_DESCRIPTION", S, nullptr, kIdNone, 25, 42, 307, 62, 0x50000000, 0},
            {"", L, nullptr, kIdSetupTypes, 25, 64, 307, 122, 0x10A10101, 0x200},
            {"", B, nullptr, kIdNone, 25, 125, 307, 176, 0x50000007, 0},
            {"", S, nullptr, kIdSetupTypeDescription, 29, 131, 303, 171, 0x50000000, 0},
        };
    case 7:
        return {
            {"DLG_SELECTCOMPONENT_CAPTION_DESCRIPTION", B, nullptr, kIdNone, 163, 40, 305, 150, 0x50000007, 0},
            {"", S, nullptr, kIdComponentDescription, 167, 52, 301, 148, 0x50000000, 0},
            {"", kClassNamed, "SysTreeView32", kIdComponentTree, 25, 40, 151, 150, 0x50810007, 0},
            {"", S, nullptr, kIdRequiredSpace, 17, 159, 267, 170, 0x50000000, 0},
            {"", S, nullptr, kIdAvailableSpace, 17, 171, 267, 182, 0x50000000, 0},
        };
    case 8:
        return {
            {"", L, nullptr, kIdExistingFolders, 25, 112, 307, 179, 0x10A10103, 0x200},
            {"", E, nullptr, kIdProgramFolder, 25, 85, 307, 95, 0x50010000, 0x20000},
            {"DLG_SELECTFOLDER_EXISTINGFOLDERS", S, nullptr, kIdNone, 25, 100, 118, 109, 0x50000000, 0},
            {"DLG_SELECTFOLDER_PROGFOLDER", S, nullptr, kIdNone, 25, 70, 118, 84, 0x50000000, 0},
            {"DLG_SELECTFOLDER_CAPTION_DESCRIPTION", S, nullptr, kIdNone, 25, 40, 307, 69, 0x50000000, 0},
        };
    case 9:
        return {
            {"", E, nullptr, kIdSettingsSummary, 25, 87, 307, 180, 0x50010884, 0x20000},
            {"DLG_CONFIRMSETINGS_TEXT1", S, nullptr, kIdNone, 25, 38, 307, 67, 0x50000000, 0},
            {"DLG_CONFIRMSETINGS_TEXT2", S, nullptr, kIdNone, 25, 70, 307, 84, 0x50000000, 0},
        };
    case 10:
    case 18:
        return {
            {"", S, nullptr, kIdStatus, 25, 80, 307, 100, 0x50000000, 0},
            {"", S, nullptr, kIdFileName, 25, 110, 307, 130, 0x50000000, 0},
            {"DLG_INSTALL_TEXT1", S, nullptr, kIdNone, 25, 39, 307, 67, 0x50000000, 0},
            {"", kClassNamed, "msctls_progress32", kIdProgress, 25, 135, 307, 145, 0x10000001, 0x200},
        };
    case 11:
        return {{"", E, nullptr, kIdReport, 25, 47, 307, 180, 0x503100C4, 0x20000}};
    case 12:
        return EndPage({
            {"DLG_FINISH_RDRESTART_YES", B, nullptr, kIdRestartYes, 105, 92, 298, 103, 0x50020009, 0x20},
            {"DLG_FINISH_RDRESTART_NO", B, nullptr, kIdRestartNo, 105, 111, 298, 122, 0x50000009, 0x20},
            {"DLG_FINISH_TEXTRESTART", S, nullptr, kIdRestartText, 103, 52, 309, 87, 0x50000000, 0},
            {"DLG_FINISH_REMOVE_DISK", S, nullptr, kIdRemoveDiskText, 98, 140, 299, 164, 0x50000000, 0},
        });
    case 13:
        return EndPage({
            {"DLG_COMPLETE_TITLE", S, nullptr, kIdTitle, 120, 17, 307, 60, 0x50000000, 0},
            {"DLG_COMPLETE_TEXT", S, nullptr, kIdComment, 120, 70, 307, 160, 0x50000000, 0},
        });
    case 17:
        return {
            {"DLG_ADDREMOVE_MODIFY", B, nullptr, kIdModify, 23, 76, 307, 86, 0x10020009, 0},
            {"DLG_ADDREMOVE_REPAIR", B, nullptr, kIdRepair, 23, 108, 307, 118, 0x10000009, 0},
            {"DLG_ADDREMOVE_REMOVE", B, nullptr, kIdRemove, 23, 139, 307, 149, 0x10000009, 0},
        };
    default: return {};
    }
}

void Align4(ByteWriter& w) {
    while (w.Size() % 4) w.U8(0);
}

void Wide(ByteWriter& w, const std::u16string& s) {
    for (char16_t ch : s) w.U16(static_cast<std::uint16_t>(ch));
    w.U16(0);
}

}  // namespace

const char* PageTitleKey(int page) {
    switch (page) {
    case 2: return "DLG_LICENSE_TITLE";
    case 3: return "DLG_README_TITLE";
    case 4: return "DLG_USERINFO_TITLE";
    case 5: return "DLG_SELECTDIRECTORY_TITLE";
    case 6: return "DLG_SETUPTYPE_TITLE";
    case 7: return "DLG_SELECTCOMPONENT_TITLE";
    case 8: return "DLG_SELECTFOLDER_TITLE";
    case 9: return "DLG_CONFIRMSETINGS_TITLE";
    case 10: return "DLG_INSTALL_TITLE";
    case 11: return "DLG_REPORT_TITLE";
    case 17:
    case 18: return "DLG_ADDREMOVE_TITLE";
    default: return "";
    }
}

const char* PageCommentKey(int page) {
    switch (page) {
    case 2: return "DLG_LICENSE_COMMENT";
    case 3: return "DLG_README_COMMENT";
    case 4: return "DLG_USERINFO_COMMENT";
    case 5: return "DLG_SELECTDIRECTORY_COMMENT";
    case 6: return "DLG_SETUPTYPE_COMMENT";
    case 7: return "DLG_SELECTCOMPONENT_COMMENT";
    case 8: return "DLG_SELECTFOLDER_COMMENT";
    case 9: return "DLG_CONFIRMSETINGS_COMMENT";
    case 10: return "DLG_INSTALL_COMMENT";
    case 11: return "DLG_REPORT_COMMENT";
    case 17:
    case 18: return "DLG_ADDREMOVE_COMMENT";
    default: return "";
    }
}

std::vector<ControlRecord> PageControls(int page) {
    std::vector<ControlRecord> own = Own(page);
    if (own.empty() || !IsInteriorPage(page)) return own;
    std::vector<ControlRecord> all = kCommon;
    for (ControlRecord& c : all) {
        if (c.id == kIdTitle) c.key = PageTitleKey(page);
        else if (c.id == kIdComment) c.key = PageCommentKey(page);
    }
    all.insert(all.end(), own.begin(), own.end());
    return all;
}

std::vector<std::uint8_t> BuildTemplate(const std::vector<ControlRecord>& controls,
                                        const WideText& text) {
    ByteWriter w;
    w.U16(1);
    w.U16(0xFFFF);
    w.U32(0);  // help id
    w.U32(0);  // extended style
    w.U32(kPageStyle);
    w.U16(static_cast<std::uint16_t>(controls.size()));
    w.U16(20);
    w.U16(10);
    w.U16(332);
    w.U16(220);
    w.U16(0);  // no menu
    w.U16(0);  // default class
    Wide(w, u"Setup");
    w.U16(8);  // point size
    w.U16(0);  // weight
    w.U8(0);   // italic
    w.U8(0);   // character set
    Wide(w, u"MS Sans Serif");
    for (const ControlRecord& c : controls) {
        Align4(w);
        w.U32(0);
        w.U32(c.ex_style);
        w.U32(c.style | 0x40000000u);
        w.U16(static_cast<std::uint16_t>(c.left));
        w.U16(static_cast<std::uint16_t>(c.top));
        w.U16(static_cast<std::uint16_t>(c.right - c.left));
        w.U16(static_cast<std::uint16_t>(c.bottom - c.top));
        w.U32(static_cast<std::uint32_t>(c.id));
        if (c.cls >= kClassNamed) {
            std::u16string name;
            for (const char* p = c.class_name; p && *p; ++p) name += static_cast<char16_t>(*p);
            Wide(w, name);
        } else {
            w.U16(0xFFFF);
            w.U16(c.cls);
        }
        Wide(w, c.key && *c.key ? text(c.key) : std::u16string());
        w.U16(0);  // no creation data
    }
    Align4(w);
    return std::move(w.Data());
}

}  // namespace qp::wiz
