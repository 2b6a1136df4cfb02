#include "platform/ui/GuiApplication.h"

#include <QApplication>

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace ui {

namespace {

bool hasEnvironment(const char* name)
{
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0';
}

void chooseOffscreenWithoutDisplay()
{
    if (!hasEnvironment("DISPLAY") && !hasEnvironment("WAYLAND_DISPLAY") && !hasEnvironment("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
}

std::filesystem::path executablePath()
{
    std::error_code error;
    std::filesystem::path path = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error && QCoreApplication::instance() != nullptr) {
        path = QCoreApplication::applicationFilePath().toStdString();
    }
    return path;
}

// Qt's warnings about the machine rather than the run: the offscreen platform
// warns about every window it cannot size as a screen would, and a server
// session has no runtime folder. They would bury the run's own messages on
// standard error.
bool isPlatformNoise(const QString& message)
{
    return message.startsWith(QLatin1String("This plugin does not support"))
        || message.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR not set"));
}

QtMessageHandler standardHandler = nullptr;

void dropPlatformNoise(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type == QtWarningMsg && isPlatformNoise(message)) {
        return;
    }
    if (standardHandler != nullptr) {
        standardHandler(type, context, message);
    }
}

} // namespace

GuiApplication::GuiApplication(int& argc, char** argv)
{
    chooseOffscreenWithoutDisplay();
    standardHandler = qInstallMessageHandler(dropPlatformNoise);
    application_ = std::make_unique<QApplication>(argc, argv);
    QApplication::setApplicationName(QString::fromStdString(Title()));
    // Windows of a run close when their command is done; the run, not Qt,
    // decides when the process ends.
    QApplication::setQuitOnLastWindowClosed(false);
}

GuiApplication::~GuiApplication()
{
    if (standardHandler != nullptr) {
        qInstallMessageHandler(standardHandler);
        standardHandler = nullptr;
    }
}

std::string GuiApplication::Title()
{
    return executablePath().stem().string();
}

std::string GuiApplication::ModuleName()
{
    return executablePath().filename().string();
}

bool GuiApplication::IsHeadless()
{
    QString platform;
    if (QGuiApplication::instance() != nullptr) {
        platform = QGuiApplication::platformName();
    } else if (hasEnvironment("QT_QPA_PLATFORM")) {
        platform = QString::fromLocal8Bit(std::getenv("QT_QPA_PLATFORM")).section(QLatin1Char(':'), 0, 0);
    } else {
        return !hasEnvironment("DISPLAY") && !hasEnvironment("WAYLAND_DISPLAY");
    }
    return platform == QLatin1String("offscreen") || platform == QLatin1String("minimal");
}

} // namespace ui
