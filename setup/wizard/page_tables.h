// The control tables of the wizard pages and the in-memory dialog template built from them.
// Both are plain data and bytes, so the layout of every page is tested without a window.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace qp::wiz {

// Predefined class atoms; kClassNamed means the class name follows as text.
constexpr std::uint16_t kClassButton = 0x80;
constexpr std::uint16_t kClassEdit = 0x81;
constexpr std::uint16_t kClassStatic = 0x82;
constexpr std::uint16_t kClassListBox = 0x83;
constexpr std::uint16_t kClassNamed = 200;

struct ControlRecord {
    const char* key;         // key-table name of the control's text; "" = none (key id 0)
    std::uint16_t cls;
    const char* class_name;  // for kClassNamed
    std::int32_t id;
    std::int32_t left, top, right, bottom;  // dialog units
    std::uint32_t style, ex_style;
};

// The controls of page `page` in template order (the nine shared controls first on interior
// pages, with the page's own title and comment keys); empty for a number without a page.
// Page 12 here is the restart page itself; the switch chooses 12 or 13.
std::vector<ControlRecord> PageControls(int page);
// Title and comment keys of an interior page (both empty for exterior pages).
const char* PageTitleKey(int page);
const char* PageCommentKey(int page);

// The extended dialog template of a page. `text` gives a control's text in UTF-16 from its key
// (the empty text for ""); the caller converts with the ANSI code page.
using WideText = std::function<std::u16string(const std::string& key)>;
std::vector<std::uint8_t> BuildTemplate(const std::vector<ControlRecord>& controls,
                                        const WideText& text);

// Control ids shared by several pages.
constexpr int kIdNext = 1003;
constexpr int kIdBack = 1004;
constexpr int kIdCancel = 2;
constexpr int kIdTitle = 1033;
constexpr int kIdComment = 1034;
constexpr int kIdBottomLine = 1035;
constexpr int kIdHeaderLine = 1036;
constexpr int kIdPanel = 1037;  // the white header band, or the whole white face of an exterior page
constexpr int kIdHeaderBitmap = 1041;
constexpr int kIdSideBitmap = 1044;
constexpr int kIdNone = -1;  // a label nobody addresses

// Control ids of one page each.
constexpr int kIdLicenseText = 1007;
constexpr int kIdReadmeText = 1031;
constexpr int kIdUserName = 1006;
constexpr int kIdCompany = 1009;
constexpr int kIdSerial = 1010;
constexpr int kIdDestination = 1014;
constexpr int kIdBrowse = 1011;
constexpr int kIdSetupTypes = 1020;
constexpr int kIdSetupTypeDescription = 1021;
constexpr int kIdComponentTree = 1023;
constexpr int kIdComponentDescription = 1022;
constexpr int kIdRequiredSpace = 1027;
constexpr int kIdAvailableSpace = 1028;
constexpr int kIdProgramFolder = 1012;
constexpr int kIdExistingFolders = 1013;
constexpr int kIdSettingsSummary = 1045;
constexpr int kIdStatus = 1032;
constexpr int kIdFileName = 1025;
constexpr int kIdProgress = 1024;
constexpr int kIdReport = 1026;
constexpr int kIdRestartYes = 1017;
constexpr int kIdRestartNo = 1018;
constexpr int kIdRestartText = 1039;
constexpr int kIdRemoveDiskText = 1040;
constexpr int kIdModify = 1028;  // the add/remove page's radios
constexpr int kIdRepair = 1029;
constexpr int kIdRemove = 1030;
constexpr std::uint32_t kPageStyle = 0x80C800C4;

}  // namespace qp::wiz
