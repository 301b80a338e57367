// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/busprobe.h"

#include <QLoggingCategory>
#include <QString>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <dbus/dbus.h>
#include <memory>
#include <mutex>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <utility>

using Clock = std::chrono::steady_clock;

namespace {

// libdbus rejects an address of an unknown kind without touching anything,
// so every call Qt makes on that bus fails at once, quietly.
constexpr const char *kNoBus = "disabled:";

enum class Bus { None, Session, Accessibility };
enum class Answer { Answered, Failed, Silent };

} // namespace

// Shared by the caller and the probing thread, which may outlive the
// caller's wait when a bus keeps it in a system call.
struct BusProbe::Probe {
    std::string sessionAddress;
    std::string accessibilityAddress;
    std::chrono::milliseconds budget{};
    // Counted from the thread's start, so that a start delayed on a busy
    // machine is not blamed on a bus.
    Clock::time_point deadline;
    std::mutex mutex;
    std::condition_variable changed;
    Bus waitingOn = Bus::None;
    Bus silent = Bus::None;
    bool started = false;
    bool done = false;
};

namespace {

using BusProbe::Probe;

std::string environment(const char *name)
{
    const char *value = std::getenv(name);
    return value ? value : "";
}

// Unset, libdbus (and so Qt) takes the login session's user bus where there
// is one.
std::string sessionAddress()
{
    std::string address = environment("DBUS_SESSION_BUS_ADDRESS");
    const std::string runtime = environment("XDG_RUNTIME_DIR");
    const std::string userBus = runtime + "/bus";
    struct stat info = {};
    if (address.empty() && !runtime.empty() && stat(userBus.c_str(), &info) == 0 && S_ISSOCK(info.st_mode)
        && info.st_uid == getuid()) {
        char *escaped = dbus_address_escape_value(userBus.c_str());
        address = std::string("unix:path=") + (escaped ? escaped : "");
        dbus_free(escaped);
    }
    return address;
}

int millisecondsLeft(Clock::time_point deadline)
{
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? int(left) : 1;
}

struct ConnectionCloser {
    void operator()(DBusConnection *connection) const
    {
        dbus_connection_close(connection);
        dbus_connection_unref(connection);
    }
};
using Connection = std::unique_ptr<DBusConnection, ConnectionCloser>;

Connection open(const std::string &address)
{
    DBusError error;
    dbus_error_init(&error);
    Connection connection(dbus_connection_open_private(address.c_str(), &error));
    dbus_error_free(&error);
    if (connection)
        dbus_connection_set_exit_on_disconnect(connection.get(), false);
    return connection;
}

DBusPendingCall *send(DBusConnection *connection, DBusMessage *message, Clock::time_point deadline)
{
    DBusPendingCall *pending = nullptr;
    if (message) {
        // Never start a service: Qt does not either, and a start would take
        // longer than the whole probe may.
        dbus_message_set_auto_start(message, false);
        dbus_connection_send_with_reply(connection, message, &pending, millisecondsLeft(deadline));
        dbus_message_unref(message);
    }
    return pending;
}

DBusMessage *busCall(const char *method)
{
    return dbus_message_new_method_call(DBUS_SERVICE_DBUS, DBUS_PATH_DBUS, DBUS_INTERFACE_DBUS, method);
}

// Waits for the reply, which is stolen into *reply if wanted. A timeout
// shows as NoReply on a connection that is still up; a bus that went away
// fails at once and is Qt's to handle.
Answer await(DBusConnection *connection, DBusPendingCall *pending, DBusMessage **reply = nullptr)
{
    if (!pending)
        return Answer::Failed;
    dbus_pending_call_block(pending);
    DBusMessage *message = dbus_pending_call_steal_reply(pending);
    dbus_pending_call_unref(pending);
    if (!message)
        return Answer::Failed;
    Answer answer = Answer::Answered;
    if (dbus_message_get_type(message) == DBUS_MESSAGE_TYPE_ERROR) {
        const bool noReply = dbus_message_is_error(message, DBUS_ERROR_NO_REPLY);
        answer = noReply && dbus_connection_get_is_connected(connection) ? Answer::Silent : Answer::Failed;
    }
    if (reply && answer == Answer::Answered)
        *reply = message;
    else
        dbus_message_unref(message);
    return answer;
}

// The accessibility bus's address as its launcher on the session bus tells it.
std::string addressIn(DBusMessage *reply)
{
    const char *address = nullptr;
    if (!reply)
        return {};
    if (!dbus_message_get_args(reply, nullptr, DBUS_TYPE_STRING, &address, DBUS_TYPE_INVALID))
        address = nullptr;
    std::string result = address ? address : "";
    dbus_message_unref(reply);
    return result;
}

// Returns the bus that did not answer in time, or Bus::None.
Bus check(Probe &probe)
{
    const auto waitOn = [&probe](Bus bus) {
        const std::lock_guard lock(probe.mutex);
        probe.waitingOn = bus;
    };
    std::string accessibility = probe.accessibilityAddress;
    if (const Connection session = probe.sessionAddress.empty() ? nullptr : open(probe.sessionAddress)) {
        DBusConnection *c = session.get();
        // The bus wants Hello first; the launcher's question can go in the
        // same write, so both are answered in one round trip.
        DBusPendingCall *hello = send(c, busCall("Hello"), probe.deadline);
        DBusPendingCall *where = accessibility.empty()
            ? send(c, dbus_message_new_method_call("org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus", "GetAddress"),
                   probe.deadline)
            : nullptr;
        const Answer helloAnswer = await(c, hello);
        if (helloAnswer == Answer::Silent) {
            if (where) {
                dbus_pending_call_cancel(where);
                dbus_pending_call_unref(where);
            }
            return Bus::Session;
        }
        waitOn(Bus::Accessibility);
        DBusMessage *reply = nullptr;
        if (where && await(c, where, &reply) == Answer::Silent)
            return Bus::Accessibility;
        if (where)
            accessibility = addressIn(reply);
    }
    waitOn(Bus::Accessibility);
    if (accessibility.empty())
        return Bus::None;
    const Connection bus = open(accessibility);
    if (bus && await(bus.get(), send(bus.get(), busCall("Hello"), probe.deadline)) == Answer::Silent)
        return Bus::Accessibility;
    return Bus::None;
}

void run(const std::shared_ptr<Probe> &probe)
{
    {
        const std::lock_guard lock(probe->mutex);
        probe->deadline = Clock::now() + probe->budget;
        probe->waitingOn = probe->sessionAddress.empty() ? Bus::Accessibility : Bus::Session;
        probe->started = true;
        probe->changed.notify_all();
    }
    const Bus silent = check(*probe);
    const std::lock_guard lock(probe->mutex);
    probe->silent = silent;
    probe->done = true;
    probe->changed.notify_all();
}

void leaveOut(Bus bus)
{
    // Without the session bus Qt cannot find the accessibility bus; one
    // named outright would not have been checked.
    if (bus == Bus::Session) {
        setenv("DBUS_SESSION_BUS_ADDRESS", kNoBus, 1);
        // Newer Qt's desktop themes would add lines of their own saying
        // that the session bus is missing.
        QLoggingCategory::setFilterRules(QStringLiteral("qt.qpa.theme.dbus.warning=false"));
    }
    setenv("AT_SPI_BUS_ADDRESS", kNoBus, 1);
    std::fputs(bus == Bus::Session
                   ? "tavelk: the session bus does not answer; starting without it and without accessibility\n"
                   : "tavelk: the accessibility bus does not answer; starting without accessibility\n",
               stderr);
}

} // namespace

void BusProbe::leaveOutStalledBuses(std::chrono::milliseconds budget)
{
    Check(budget).finish();
}

BusProbe::Check::Check(std::chrono::milliseconds budget)
{
    auto probe = std::make_shared<Probe>();
    probe->sessionAddress = sessionAddress();
    probe->accessibilityAddress = environment("AT_SPI_BUS_ADDRESS");
    if (probe->sessionAddress.empty() && probe->accessibilityAddress.empty())
        return;
    probe->budget = budget;
    std::thread([probe] { run(probe); }).detach();
    m_probe = std::move(probe);
}

void BusProbe::Check::finish()
{
    const std::shared_ptr<Probe> probe = std::exchange(m_probe, nullptr);
    if (!probe)
        return;
    std::unique_lock lock(probe->mutex);
    probe->changed.wait(lock, [&probe] { return probe->started; });
    // Past the deadline, the bus the thread still waits on is the silent
    // one (libdbus waits for a connection's authentication without a
    // timeout); the thread is left to finish on its own.
    const bool done = probe->changed.wait_until(lock, probe->deadline, [&probe] { return probe->done; });
    const Bus silent = done ? probe->silent : probe->waitingOn;
    lock.unlock();
    if (silent != Bus::None)
        leaveOut(silent);
}
