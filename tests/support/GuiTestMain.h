#pragma once

#include <QApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// main() of the tests that need widgets: the offscreen platform (also when ctest only lists the
// tests), a private configuration folder so no test reads or writes the user's settings, and a Chinese
// locale, so that a first run shows the Chinese interface the tests read whatever locale they run under.
#define HORAVIA_GUI_TEST_MAIN()                                                                                        \
    int main(int argc, char** argv) {                                                                                  \
        qputenv("QT_QPA_PLATFORM", "offscreen");                                                                       \
        qunsetenv("LC_ALL");                                                                                           \
        qunsetenv("LC_MESSAGES");                                                                                      \
        qputenv("LANG", "zh_CN.UTF-8");                                                                                \
        QTemporaryDir config;                                                                                          \
        qputenv("XDG_CONFIG_HOME", config.path().toUtf8());                                                            \
        QApplication app(argc, argv);                                                                                  \
        ::testing::InitGoogleTest(&argc, argv);                                                                        \
        return RUN_ALL_TESTS();                                                                                        \
    }
