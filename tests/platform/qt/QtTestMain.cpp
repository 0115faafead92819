// The Qt tests run headless, with their own runtime and configuration
// folders so that a program the user is running is not disturbed.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFont>
#include <cstdlib>
#include <filesystem>

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    char dir[] = "/tmp/pq-qt-tests-XXXXXX";
    if (!mkdtemp(dir)) return 2;
    setenv("XDG_RUNTIME_DIR", dir, 1);
    setenv("XDG_CONFIG_HOME", dir, 1);
    int result = 0;
    {
        QApplication app(argc, argv);
        QApplication::setQuitOnLastWindowClosed(false);
        QFont::insertSubstitution(QStringLiteral("Arial"), QStringLiteral("Liberation Sans"));
        ::testing::InitGoogleTest(&argc, argv);
        result = RUN_ALL_TESTS();
    }
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
    return result;
}
