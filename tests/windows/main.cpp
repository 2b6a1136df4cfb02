// The windows under test need the one application object of the process, and
// the placement they keep goes to a folder of the test run, not the user's.

#include <gtest/gtest.h>

#include <QSettings>

#include "platform/ui/GuiApplication.h"
#include "support/TempDir.h"

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    ui::GuiApplication application(argc, argv);
    testsupport::TempDir settings;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, QString::fromStdString(settings.Path().string()));
    return RUN_ALL_TESTS();
}
