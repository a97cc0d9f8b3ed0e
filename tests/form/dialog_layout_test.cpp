// The dialog's layout table as both views read it: access keys, captions that name controls,
// and the font units.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "form/dialog_layout.h"

namespace {

using K = TDialogItemKind;

// Every caption of a control or of the label before one has its own access key; only the
// group boxes that name no control (their controls have captions of their own) go without.
TEST(DialogLayout, EveryCaptionHasAnAccessKeyNoneTwice) {
    std::set<char> keys;
    for (const TDialogItem& item : kSettingsLayout) {
        if (!item.Caption || item.Kind == K::NumberLabel || item.Kind == K::PreviewPanel) continue;
        SCOPED_TRACE(item.Caption);
        const char key = AccessKey(item.Caption);
        const bool namesAControl = item.Kind != K::GroupBox || ((&item + 1)->Control && LabelOf(*(&item + 1)->Control));
        if (!namesAControl) continue;
        ASSERT_NE(key, 0);
        EXPECT_TRUE(keys.insert(key).second) << "the key '" << key << "' twice";
    }
    EXPECT_NE(AccessKey(kAboutLayout.OkCaption), 0);
    // Each list and track bar is named by the caption just before it.
    for (const TDialogItem& item : kSettingsLayout) {
        if (item.Kind != K::ComboBox && item.Kind != K::TrackBar) continue;
        SCOPED_TRACE(item.Name);
        ASSERT_NE(LabelOf(*item.Control), nullptr);
    }
    EXPECT_STREQ(LabelOf(TDialogControl::ComboBoxThemes), "&Theme");
    EXPECT_STREQ(LabelOf(TDialogControl::TrackBarFishCount), "&Fish Count");
    EXPECT_EQ(LabelOf(TDialogControl::ButtonOk), nullptr);
}

TEST(DialogLayout, AccessKeyMarkersInEachToolkitsForm) {
    EXPECT_EQ(AccessKey("D&efault"), 'e');
    EXPECT_EQ(AccessKey("Run As E&XE"), 'x');
    EXPECT_EQ(AccessKey("Fish && Chips"), 0);
    EXPECT_EQ(AccessKey("Trailing&"), 0);
    EXPECT_EQ(WithoutAccessKey("Fish && &Chips"), "Fish & Chips");
    EXPECT_EQ(WithUnderscoreKey("Fish && &Chips_1"), "Fish & _Chips__1");
    EXPECT_EQ(WithUnderscoreKey("Trailing&"), "Trailing");
}

// A font no larger than the design's keeps the design's size; a larger one grows the layout by
// its own width and height, each edge rounded once so that shared edges stay shared.
TEST(DialogLayout, UnitsFollowTheFontAndNeverShrinkTheLayout) {
    const TDialogUnits design = TDialogUnits::FromFont(52 * 5.5, 12);
    EXPECT_EQ(design.X, 1.0);
    EXPECT_EQ(design.Y, 1.0);
    const TDialogUnits large = TDialogUnits::FromFont(52 * 9.0, 19.5);
    EXPECT_DOUBLE_EQ(large.X, 1.5);
    EXPECT_DOUBLE_EQ(large.Y, 1.5);
    const TDialogRect rect = large.Scaled({8, 12, 320, 240});
    EXPECT_EQ(rect.Left, 12);
    EXPECT_EQ(rect.Top, 18);
    EXPECT_EQ(rect.Width, 480);
    EXPECT_EQ(rect.Height, 360);
    const TDialogUnits odd{1.3, 1.3};
    const TDialogRect left = odd.Scaled({0, 0, 7, 7}), right = odd.Scaled({7, 7, 7, 7});
    EXPECT_EQ(left.Left + left.Width, right.Left);
    EXPECT_EQ(left.Top + left.Height, right.Top);
}

// The help page describes the dialog as it is: every caption and every "Monitors:" choice.
TEST(DialogLayout, TheHelpPageNamesEveryControlAndChoice) {
    std::ifstream in(std::string(TIDEWELL_SOURCE_DIR) + "/help/3DTidewell.html", std::ios::binary);
    const std::string page{std::istreambuf_iterator<char>(in), {}};
    ASSERT_FALSE(page.empty());
    std::vector<std::string> names(std::begin(kMonitorItems), std::end(kMonitorItems));
    for (const TDialogItem& item : kSettingsLayout)
        if (item.Caption && item.Kind != K::NumberLabel && item.Kind != K::PreviewPanel) names.push_back(WithoutAccessKey(item.Caption));
    for (std::string name : names) {
        if (name.back() == ':') name.pop_back();
        EXPECT_NE(page.find(name), std::string::npos) << name;
    }
}

}  // namespace
