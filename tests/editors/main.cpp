// The editors' windows and message boxes need the one application object.
// Window placements go to a settings folder of the run's own, never to the
// user's.

#include <gtest/gtest.h>

#include <QSettings>
#include <QTemporaryDir>

#include "platform/ui/GuiApplication.h"

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    ui::GuiApplication application(argc, argv);
    QTemporaryDir settings;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settings.path());
    return RUN_ALL_TESTS();
}
