#include <QApplication>

#include <gtest/gtest.h>

// The notifier's windows need a QApplication on the thread that runs the tests. They come up on
// two screens, the primary one away from the origin, as on a desktop whose second monitor stands
// on the left.
int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" NOTIFIER_SCREENS);
    QApplication application(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
