#pragma once

#include <QApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// main() of the tests that need widgets: the offscreen platform (also when ctest only lists the
// tests), and a private configuration folder so no test reads or writes the user's settings.
#define HORAVIA_GUI_TEST_MAIN()                                                                                        \
    int main(int argc, char** argv) {                                                                                  \
        qputenv("QT_QPA_PLATFORM", "offscreen");                                                                       \
        QTemporaryDir config;                                                                                          \
        qputenv("XDG_CONFIG_HOME", config.path().toUtf8());                                                            \
        QApplication app(argc, argv);                                                                                  \
        ::testing::InitGoogleTest(&argc, argv);                                                                        \
        return RUN_ALL_TESTS();                                                                                        \
    }
