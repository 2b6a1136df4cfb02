// The warning box of the detail page need the one application object.

#include <gtest/gtest.h>

#include "platform/ui/GuiApplication.h"

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    ui::GuiApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
