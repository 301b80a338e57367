// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/platformchoice.h"

#include <QtTest>

// Which platform the program asks Qt for in each kind of session.
class TestPlatformChoice : public QObject {
    Q_OBJECT
private slots:
    void choose_data();
    void choose();
};

void TestPlatformChoice::choose_data()
{
    QTest::addColumn<QByteArray>("qpaPlatform");
    QTest::addColumn<QByteArray>("display");
    QTest::addColumn<QByteArray>("waylandDisplay");
    QTest::addColumn<QByteArray>("platform");
    QTest::addColumn<bool>("notice");
    QTest::newRow("X11 session") << QByteArray() << QByteArray(":0") << QByteArray() << QByteArray("xcb") << false;
    QTest::newRow("Wayland with XWayland")
        << QByteArray() << QByteArray(":0") << QByteArray("wayland-0") << QByteArray("xcb") << false;
    QTest::newRow("Wayland only") << QByteArray() << QByteArray() << QByteArray("wayland-0") << QByteArray("wayland")
                                  << true;
    QTest::newRow("no display") << QByteArray() << QByteArray() << QByteArray() << QByteArray() << false;
    QTest::newRow("user chose wayland") << QByteArray("wayland") << QByteArray(":0") << QByteArray("wayland-0")
                                        << QByteArray() << false;
    QTest::newRow("user chose offscreen")
        << QByteArray("offscreen") << QByteArray() << QByteArray() << QByteArray() << false;
}

void TestPlatformChoice::choose()
{
    QFETCH(QByteArray, qpaPlatform);
    QFETCH(QByteArray, display);
    QFETCH(QByteArray, waylandDisplay);
    QFETCH(QByteArray, platform);
    QFETCH(bool, notice);
    const PlatformChoice::Choice choice = PlatformChoice::choose({qpaPlatform, display, waylandDisplay});
    QCOMPARE(choice.platform, platform);
    QCOMPARE(choice.positionsLeftToCompositor, notice);
}

QTEST_GUILESS_MAIN(TestPlatformChoice)
#include "tst_platformchoice.moc"
