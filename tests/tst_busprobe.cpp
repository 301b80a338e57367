// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/busprobe.h"

#include <QTemporaryDir>
#include <QtTest>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

// Which bus the program starts without. A socket that is listened on and
// never read behaves as a bus daemon that hangs: the connection is taken,
// nothing is answered. A bus that fails at once is left to Qt, which gives
// up on it as quickly by itself. With no session bus named, the login
// session's user bus ($XDG_RUNTIME_DIR/bus) is the one Qt would take.
class TestBusProbe : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void leaveOut_data();
    void leaveOut();

private:
    QTemporaryDir m_dir;
    int m_silent = -1;
    QByteArray address(const QString &kind) const;
};

void TestBusProbe::initTestCase()
{
    QVERIFY(m_dir.isValid());
    sockaddr_un place{};
    place.sun_family = AF_UNIX;
    const QByteArray path = QFile::encodeName(m_dir.filePath(QStringLiteral("bus")));
    QVERIFY(size_t(path.size()) < sizeof place.sun_path);
    std::copy(path.begin(), path.end(), place.sun_path);
    m_silent = socket(AF_UNIX, SOCK_STREAM, 0);
    QVERIFY(m_silent >= 0);
    QCOMPARE(bind(m_silent, reinterpret_cast<sockaddr *>(&place), sizeof place), 0);
    QCOMPARE(listen(m_silent, 16), 0);
}

void TestBusProbe::cleanupTestCase()
{
    close(m_silent);
}

QByteArray TestBusProbe::address(const QString &kind) const
{
    if (kind.isEmpty() || kind == QLatin1String("user bus"))
        return {};
    // "refused": nothing listens at that place.
    return "unix:path="
        + QFile::encodeName(m_dir.filePath(kind == QLatin1String("silent") ? QStringLiteral("bus") : kind));
}

void TestBusProbe::leaveOut_data()
{
    QTest::addColumn<QString>("session");
    QTest::addColumn<QString>("accessibility");
    QTest::addColumn<bool>("withoutSession");
    QTest::addColumn<bool>("withoutAccessibility");
    const QString none, refused = QStringLiteral("refused"), silent = QStringLiteral("silent");
    QTest::newRow("no bus named") << none << none << false << false;
    QTest::newRow("session refused") << refused << none << false << false;
    QTest::newRow("session silent") << silent << none << true << true;
    QTest::newRow("user bus silent") << QStringLiteral("user bus") << none << true << true;
    QTest::newRow("session silent, accessibility named") << silent << refused << true << true;
    QTest::newRow("accessibility refused") << none << refused << false << false;
    QTest::newRow("accessibility silent") << none << silent << false << true;
    QTest::newRow("session refused, accessibility silent") << refused << silent << false << true;
}

void TestBusProbe::leaveOut()
{
    QFETCH(QString, session);
    QFETCH(QString, accessibility);
    QFETCH(bool, withoutSession);
    QFETCH(bool, withoutAccessibility);
    const auto name = [](const char *variable, const QByteArray &value) {
        if (value.isEmpty())
            qunsetenv(variable);
        else
            qputenv(variable, value);
    };
    name("DBUS_SESSION_BUS_ADDRESS", address(session));
    name("AT_SPI_BUS_ADDRESS", address(accessibility));
    const bool userBus = session == QLatin1String("user bus");
    name("XDG_RUNTIME_DIR", QFile::encodeName(userBus ? m_dir.path() : m_dir.filePath(QStringLiteral("none"))));

    BusProbe::leaveOutStalledBuses(std::chrono::milliseconds(200));

    // An address of no known kind: Qt's calls on that bus fail at once.
    const QByteArray none("disabled:");
    QCOMPARE(qgetenv("DBUS_SESSION_BUS_ADDRESS"), withoutSession ? none : address(session));
    QCOMPARE(qgetenv("AT_SPI_BUS_ADDRESS"), withoutAccessibility ? none : address(accessibility));
}

QTEST_GUILESS_MAIN(TestBusProbe)
#include "tst_busprobe.moc"
