// The key table byte for byte: ids, names and default texts as stored string tables expect them.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "common/keytable.h"

namespace {

struct Expected {
    int id;
    const char* name;
    const char* value;
};

// Written out independently of the table in the library, so that a slip in either shows.
const Expected kExpected[] = {
    {0, "NOT_RES", ""},
    {1, "DLG_WELCOME_TITLE", "Welcome to the Quillpacker Wizard for %P"},
    {2, "DLG_WELCOME_COMMENT", "The Quillpacker Wizard will install %P on your computer.  To continue, click Next."},
    {3, "DLG_WELCOME_TEXT1", ""},
    {4, "DLG_LICENSE_TITLE", "License Agreement"},
    {5, "DLG_LICENSE_COMMENT", "Please read the following license agreement carefully."},
    {6, "DLG_LICENSE_TEXT1", "Press the PAGE DOWN key to see the rest of the agreement"},
    {7, "DLG_LICENSE_TEXT2", "Do you accept all the terms of the preceding License Agreement?  If you choose No,  the setup will close.  To install %p, you must accept this agreement."},
    {8, "DLG_README_TITLE", "Information"},
    {9, "DLG_README_COMMENT", "Please read the following text."},
    {10, "DLG_README_TEXT1", ""},
    {11, "DLG_USERINFO_TITLE", "Customer Information"},
    {12, "DLG_USERINFO_COMMENT", "Please enter your information."},
    {13, "DLG_USERINFO_TEXT1", "Please enter your name, the name of the company for whom you work and the product serial number."},
    {14, "DLG_USERINFO_TEXT_USER", "&User Name:"},
    {15, "DLG_USERINFO_TEXT_COMPUTER", "&Company Name:"},
    {16, "DLG_USERINFO_TEXT_SERIAL", "&Serial Number:"},
    {17, "DLG_SELECTDIRECTORY_TITLE", ""},
    {18, "DLG_SELECTDIRECTORY_COMMENT", "Select folder where Setup will install files."},
    {19, "DLG_SELECTDIRECTORY_TEXT1", "Setup will install %P in the following folder.\n\nTo install to this folder, click Next. To install to a different folder, click Browse and select another folder."},
    {20, "DLG_SELECTDIRECTORY_CAPTION_DEST", "Destination Folder"},
    {21, "DLG_SELECTDIRECTORY_BUT_BROWSE", "B&rowse..."},
    {22, "DLG_SETUPTYPE_TITLE", "Setup Type"},
    {23, "DLG_SETUPTYPE_COMMENT", "Choose the setup type that best suits your needs."},
    {24, "DLG_SETUPTYPE_CAPTION_DESCRIPTION", "Click the type of Setup you prefer, then click Next."},
    {25, "DLG_SETUPTYPE_TEXT1", "Click the type of Setup you prefer."},
    {26, "", ""},
    {27, "DLG_SELECTCOMPONENT_TITLE", "Select Components"},
    {28, "DLG_SELECTCOMPONENT_COMMENT", "Choose the components Setup will install."},
    {29, "DLG_SELECTCOMPONENT_TEXT1", "Select the components you want to install, clear the components you do not want to install."},
    {30, "DLG_SELECTCOMPONENT_CAPTION_DESCRIPTION", "Description"},
    {31, "DLG_SELECTCOMPONENT_SPACEREQUIRED", "Required:"},
    {32, "DLG_SELECTCOMPONENT_SPACEAVAILABLE", "Available:"},
    {33, "DLG_SELECTFOLDER_TITLE", "Select Program Folder"},
    {34, "DLG_SELECTFOLDER_COMMENT", "Select the location where setup is to create new shortcuts."},
    {35, "DLG_SELECTFOLDER_CAPTION_DESCRIPTION", "Setup will add program shortcuts to the Program Folder listed below. You may type a new folder name, or select one from the Existing Folders list.  Click Next to continue."},
    {36, "DLG_SELECTFOLDER_PROGFOLDER", "&Program Folder:"},
    {37, "DLG_SELECTFOLDER_EXISTINGFOLDERS", "E&xisting Folders:"},
    {38, "DLG_CONFIRMSETINGS_TITLE", "Start Copying Files"},
    {39, "DLG_CONFIRMSETINGS_COMMENT", "Review settings before copying files."},
    {40, "DLG_CONFIRMSETINGS_TEXT1", "Setup has enough information to start copying the program files.  If you want to review or change any settings, click Back.  If you are satisfied with the settings, click Next to begin copying files."},
    {41, "DLG_CONFIRMSETINGS_TEXT2", "Current Settings:"},
    {42, "DLG_INSTALL_TITLE", "Setup Status"},
    {43, "DLG_INSTALL_COMMENT", ""},
    {44, "DLG_INSTALL_TEXT1", "%P Setup is performing the requested operations."},
    {45, "DLG_INSTALL_COMPNAME", ""},
    {46, "DLG_REPORT_TITLE", ""},
    {47, "DLG_REPORT_COMMENT", ""},
    {48, "DLG_REPORT_TEXT1", ""},
    {49, "DLG_REPORT_TEXT2", ""},
    {50, "DLG_ADDREMOVE_TITLE", ""},
    {51, "DLG_ADDREMOVE_COMMENT", ""},
    {52, "DLG_ADDREMOVE_MODIFY", ""},
    {53, "DLG_ADDREMOVE_REPAIR", ""},
    {54, "DLG_ADDREMOVE_REMOVE", ""},
    {55, "DLG_ADDREMOVE_DESCRIPTION", ""},
    {56, "DLG_FINISH_TITLE", "Restarting Windows"},
    {57, "DLG_FINISH_TEXTRESTART", "Setup has finished copying files to your computer.  Before you can use the program, you must restart your computer.\n\nChoose one of the following options and click OK to finish setup."},
    {58, "DLG_FINISH_RDRESTART_YES", "Yes, I want to restart my computer now."},
    {59, "DLG_FINISH_RDRESTART_NO", "No, I will restart my computer later."},
    {60, "DLG_FINISH_REMOVE_DISK", "Remove any disks from their drives, and then click Finish to complete setup."},
    {61, "DLG_COMPLETE_TITLE", "Quillpacker Wizard Complete"},
    {62, "DLG_COMPLETE_TEXT", "The Quillpacker Wizard has successfully installed %P.  Click Finish to exit the wizard."},
    {63, "NEXTBUT", "&Next"},
    {64, "PREVBUT", "&Previous"},
    {65, "CANCELBUT", "Cance"},
    {66, "YESBUT", "Yes"},
    {67, "NOBUT", "No"},
    {68, "RESUMEBUT", "Resume"},
    {69, "EXITBUT", "E&xit"},
    {70, "FINISH", "Finish"},
    {71, "REMOVEAPPQUESTION", ""},
    {72, "SPACEREQ", ""},
    {73, "SPACEAV", "Available:"},
    {74, "DESCRIPTION", ""},
};

TEST(KeyTable, EveryEntryByteForByte) {
    ASSERT_EQ(sizeof(kExpected) / sizeof(kExpected[0]), static_cast<size_t>(qp::kKeyCount));
    for (const Expected& e : kExpected) {
        SCOPED_TRACE(e.id);
        ASSERT_NE(qp::KeyName(e.id), nullptr);
        ASSERT_NE(qp::KeyDefault(e.id), nullptr);
        EXPECT_EQ(std::string(qp::KeyName(e.id)), e.name);
        EXPECT_EQ(std::string(qp::KeyDefault(e.id)), e.value);
        EXPECT_LT(std::strlen(qp::KeyName(e.id)), static_cast<size_t>(qp::kKeyNameMax));
        EXPECT_LT(std::strlen(qp::KeyDefault(e.id)), static_cast<size_t>(qp::kKeyDefaultMax));
    }
}

TEST(KeyTable, LineFeedsAreSingleBytesAndKnownTyposStay) {
    std::string text19 = qp::KeyDefault(19);
    EXPECT_NE(text19.find("folder.\n\nTo install"), std::string::npos);
    EXPECT_EQ(text19.find('\r'), std::string::npos);
    EXPECT_STREQ(qp::KeyDefault(65), "Cance");
    EXPECT_STREQ(qp::KeyName(38), "DLG_CONFIRMSETINGS_TITLE");
    EXPECT_NE(std::string(qp::KeyDefault(7)).find("install %p,"), std::string::npos);
}

TEST(KeyTable, UnknownIdsAndReservedSlot) {
    EXPECT_EQ(qp::KeyName(-1), nullptr);
    EXPECT_EQ(qp::KeyName(75), nullptr);
    EXPECT_EQ(qp::KeyDefault(75), nullptr);
    EXPECT_STREQ(qp::KeyName(26), "");
    EXPECT_STREQ(qp::KeyDefault(26), "");
    EXPECT_EQ(qp::KeyId(""), -1);
    EXPECT_EQ(qp::KeyId(nullptr), -1);
    EXPECT_EQ(qp::KeyId("NOT_RES"), 0);
    EXPECT_EQ(qp::KeyId("DESCRIPTION"), 74);
    EXPECT_EQ(qp::KeyId("description"), -1);
}

}  // namespace
