#include <gtest/gtest.h>

#include <QRadioButton>

#include "platform/ui/RadioGroup.h"

namespace ui {
namespace {

TEST(RadioGroup, ChoosesOneItemByIndex)
{
    RadioGroup group(QStringLiteral("Тип"));
    EXPECT_EQ(group.ItemIndex(), -1);
    group.AddItem(QStringLiteral("Объекты"));
    group.AddItem(QStringLiteral("Процедуры"));
    EXPECT_EQ(group.Count(), 2);
    EXPECT_EQ(group.ItemText(1), QStringLiteral("Процедуры"));
    EXPECT_EQ(group.ItemIndex(), -1);

    group.SetItemIndex(1);
    EXPECT_EQ(group.ItemIndex(), 1);
    EXPECT_TRUE(group.Button(1)->isChecked());
    group.Button(0)->click();
    EXPECT_EQ(group.ItemIndex(), 0);
    EXPECT_FALSE(group.Button(1)->isChecked());
    group.SetItemIndex(-1);
    EXPECT_EQ(group.ItemIndex(), -1);
    EXPECT_EQ(group.Button(5), nullptr);
}

TEST(RadioGroup, ReportsEachChange)
{
    RadioGroup group;
    group.AddItem(QStringLiteral("a"));
    group.AddItem(QStringLiteral("b"));
    std::vector<int> reported;
    QObject::connect(&group, &RadioGroup::itemIndexChanged, [&](int index) { reported.push_back(index); });
    group.SetItemIndex(0);
    group.Button(1)->click();
    group.SetItemIndex(1); // no change, no report
    group.SetItemIndex(-1);
    EXPECT_EQ(reported, (std::vector<int>{0, 1, -1}));
}

} // namespace
} // namespace ui
