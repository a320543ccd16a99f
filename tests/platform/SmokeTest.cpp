#include <gtest/gtest.h>
#include <QApplication>
TEST(Smoke, ApplicationExists) { EXPECT_NE(QApplication::instance(), nullptr); }
