// Page sequence of normal and maintenance runs.
#include <gtest/gtest.h>

#include "setup/wizard/page_sequence.h"
#include "setup/wizard/wizard_state.h"

using namespace qp::wiz;

namespace {
SequenceInput Mask(std::uint32_t mask) {
    SequenceInput in;
    in.page_mask = mask;
    return in;
}
}  // namespace

TEST(PageSequence, AllPagesWithoutSetupTypesSkipSixAndSeven) {
    SequenceInput in = Mask(0x1FF);
    std::vector<int> seen;
    for (int p = FirstNormalPage(in); p != 0 && p < 12; p = NextNormalPage(in, p, Button::Next))
        seen.push_back(p);
    EXPECT_EQ(seen, (std::vector<int>{1, 2, 3, 4, 5, 8, 9, 10, 11}));
    EXPECT_EQ(NextNormalPage(in, 11, Button::Next), 12);
    EXPECT_EQ(NextNormalPage(in, 8, Button::Back), 5);
}

TEST(PageSequence, ComponentPageOnlyAfterATypeThatAllowsIt) {
    SequenceInput in = Mask(0x1FF);
    in.has_setup_types = true;
    EXPECT_EQ(NextNormalPage(in, 5, Button::Next), 6);
    EXPECT_EQ(NextNormalPage(in, 6, Button::Next), 8);  // no type selected yet
    in.setup_type_selected = true;
    EXPECT_EQ(NextNormalPage(in, 6, Button::Next), 8);  // type without the component step
    in.setup_type_component_step = true;
    EXPECT_EQ(NextNormalPage(in, 6, Button::Next), 7);
    EXPECT_EQ(NextNormalPage(in, 8, Button::Back), 7);
}

TEST(PageSequence, OnlyBitsAbovePageNineStartOnTheInstallPage) {
    SequenceInput in = Mask(0xFFFFFE00u);
    EXPECT_EQ(FirstNormalPage(in), 10);
    EXPECT_EQ(FirstNormalPage(Mask(0)), 10);
}

TEST(PageSequence, FirstPageIsTheLowestShownAndBackFromItEnds) {
    SequenceInput in = Mask(0x18);  // pages 4 and 5
    EXPECT_EQ(FirstNormalPage(in), 4);
    EXPECT_EQ(NextNormalPage(in, 4, Button::Back), 0);
    // A setup-type bit alone without setup types is not a first page.
    EXPECT_EQ(FirstNormalPage(Mask(0x20)), 10);
}

TEST(PageSequence, CancelAndTheEnd) {
    SequenceInput in = Mask(0x1FF);
    EXPECT_EQ(NextNormalPage(in, 3, Button::Cancel), 0);
    EXPECT_FALSE(PageExists(NextNormalPage(in, 12, Button::Next)));
    EXPECT_FALSE(PageExists(NextNormalPage(in, 13, Button::Next)));
    EXPECT_EQ(FinalPage(true), 12);
    EXPECT_EQ(FinalPage(false), 13);
    EXPECT_FALSE(PageExists(14));
    EXPECT_FALSE(PageExists(19));
    EXPECT_TRUE(PageExists(18));
}

TEST(PageSequence, Maintenance) {
    EXPECT_EQ(FirstMaintenancePage(kActionNone), 17);
    EXPECT_EQ(FirstMaintenancePage(kActionModify), 17);
    EXPECT_EQ(FirstMaintenancePage(kActionRepair), 10);
    EXPECT_EQ(FirstMaintenancePage(kActionRemove), 18);
    EXPECT_EQ(NextMaintenancePage(17, Button::Next, kActionModify), 7);
    EXPECT_EQ(NextMaintenancePage(17, Button::Next, kActionRepair), 10);
    EXPECT_EQ(NextMaintenancePage(17, Button::Next, kActionRemove), 18);
    EXPECT_EQ(NextMaintenancePage(7, Button::Next, kActionModify), 10);
    EXPECT_EQ(NextMaintenancePage(18, Button::Next, kActionRemove), 11);
    EXPECT_EQ(NextMaintenancePage(11, Button::Next, kActionRemove), 0);
    EXPECT_EQ(NextMaintenancePage(7, Button::Back, kActionModify), 17);
    EXPECT_EQ(NextMaintenancePage(17, Button::Back, kActionModify), 0);
}

TEST(PageSequence, SetupTypeSelectsItsComponentsWithoutTheComponentPage) {
    Component root;
    root.AddChild("Program");
    root.AddChild("Help");
    LinkTree(root);
    std::vector<SetupType> types(2);
    types[0].components = {"Program", "Help"};
    types[1].components = {"program"};
    WizardState s;
    s.setup_type = 1;
    TakeSetupType(s, root, types);
    EXPECT_EQ(root.children[0]->selected, 1);
    EXPECT_EQ(root.children[1]->selected, 0);
    // The component page built afterwards keeps the user's changes.
    root.children[1]->selected = 1;
    TakeSetupType(s, root, types);
    EXPECT_EQ(root.children[1]->selected, 1);
    // A type chosen, left with Back (nothing applied) and confirmed on a later visit applies.
    s.setup_type = 0;
    s.setup_type_at_open = 0;
    TakeSetupType(s, root, types);
    EXPECT_EQ(root.children[1]->selected, 1);
    EXPECT_EQ(root.children[0]->selected, 1);
    s.setup_type = 1;
    TakeSetupType(s, root, types);
    EXPECT_EQ(root.children[1]->selected, 0);
}

TEST(PageSequence, UpgradeShowsTheWelcomeThenThePagesFromTheDestinationOn) {
    WizardState s;
    s.upgrade = true;
    s.setup_type = 0;
    std::vector<SetupType> types(1);
    types[0].component_step = true;
    for (const auto& [mask, pages] : std::vector<std::pair<std::uint32_t, std::vector<int>>>{
             {0x1FF, {1, 5, 8, 9, 10, 11}},
             {0x000, {1, 10, 11}},    // the welcome page says which version replaces which
             {0x00E, {1, 10, 11}},    // licence, readme and user information: accepted before
             {0x1F0, {1, 5, 8, 9, 10, 11}},  // no setup type, no components: the earlier choice
         }) {
        const SequenceInput in = SequenceOf(s, mask, types);
        std::vector<int> seen;
        for (int p = FirstNormalPage(in); p != 0 && p < 12; p = NextNormalPage(in, p, Button::Next))
            seen.push_back(p);
        EXPECT_EQ(seen, pages) << std::hex << mask;
    }
    EXPECT_EQ(UpgradePageMask(0x1FF), 0x191u);
}
