// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

// Whole-program benchmark. Starts the real program under the current X
// display (run it inside xvfb-run), drives it with xdotool clicks at the
// designed screen positions, and reads the timestamps the program writes
// when TAVELK_BENCH_LOG names a file. Between sessions it runs the bare
// timer baseline, so both see the same machine load.
//
//   tavelk_sessionbench --program PATH --baretimer PATH [--sessions N] [--runs N]
//   tavelk_sessionbench --program PATH --baretimer PATH --starts N
//
// One session: start, N automatic runs of 1000 draws (each followed by
// 初期化), the graph window opened and closed, the help window opened and
// closed, then the peak resident memory is read and the program ended.
// --starts N instead starts the program, the bare window and the floor
// window (baretimer --window, --floor) N times each, interleaved in turn so
// that all three see the same load, each until its window has painted its
// first frame, and prints the start-up ratios.
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

extern char **environ;

namespace {

long long monotonicNs()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec * 1'000'000'000LL + ts.tv_nsec;
}

void sleepMs(int ms)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

// Screen positions: window client origin plus the centre of the control.
struct Point {
    int x;
    int y;
};
constexpr Point kMain{232, 136};
constexpr Point at(Point origin, int x, int y, int w, int h)
{
    return {origin.x + x + w / 2, origin.y + y + h / 2};
}
constexpr Point kCommand4 = at(kMain, 56, 208, 145, 33); // 自動 Start
constexpr Point kCommand6 = at(kMain, 512, 0, 57, 25);   // 初期化
constexpr Point kCommand7 = at(kMain, 56, 296, 145, 25); // グラフ表示
constexpr Point kCommand8 = at(kMain, 456, 0, 57, 25);   // HELP
constexpr Point kGraphClose = at(Point{211, 113}, 584, 0, 65, 25);
constexpr Point kHelpClose = at(Point{232, 149}, 504, 0, 57, 25);

bool click(Point p)
{
    const std::string cmd = "xdotool mousemove " + std::to_string(p.x) + " " + std::to_string(p.y) + " click 1";
    return std::system(cmd.c_str()) == 0;
}

struct LogLine {
    std::string event;
    long long monoNs = 0;
    long long cpuNs = 0;
    std::string detail;
};

// Follows the program's log file line by line.
class LogReader {
public:
    explicit LogReader(std::string path) : m_path(std::move(path)) {}

    // Waits for the next line (after those already consumed) that matches.
    std::optional<LogLine> waitFor(const std::function<bool(const LogLine &)> &match, int timeoutMs = 15000)
    {
        const long long deadline = monotonicNs() + timeoutMs * 1'000'000LL;
        while (monotonicNs() < deadline) {
            readNew();
            while (m_next < m_lines.size()) {
                const LogLine &line = m_lines[m_next++];
                if (match(line))
                    return line;
            }
            sleepMs(2);
        }
        return std::nullopt;
    }

private:
    void readNew()
    {
        std::ifstream in(m_path);
        in.seekg(std::streamoff(m_offset));
        std::string text;
        while (std::getline(in, text)) {
            if (in.eof())
                break; // an unfinished line: read it again next time
            m_offset += text.size() + 1;
            std::istringstream fields(text);
            LogLine line;
            fields >> line.event >> line.monoNs >> line.cpuNs;
            std::getline(fields >> std::ws, line.detail);
            m_lines.push_back(line);
        }
    }

    std::string m_path;
    std::size_t m_offset = 0;
    std::size_t m_next = 0;
    std::vector<LogLine> m_lines;
};

auto exposed(const std::string &title)
{
    return [title](const LogLine &l) { return l.event == "expose" && l.detail == title; };
}

auto painted(const std::string &title)
{
    return [title](const LogLine &l) { return l.event == "painted" && l.detail == title; };
}

auto eventIs(const std::string &name)
{
    return [name](const LogLine &l) { return l.event == name; };
}

long peakResidentKb(pid_t pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string key;
    while (status >> key) {
        if (key == "VmHWM:") {
            long kb = 0;
            status >> kb;
            return kb;
        }
        status.ignore(1 << 16, '\n');
    }
    return -1;
}

struct Samples {
    std::string name;
    std::vector<double> values;
};

struct Results {
    Samples draws{"program: draws/s, 自動 Start click to stop", {}};
    Samples bare{"bare 1 ms QTimer, same set-up: ticks/s", {}};
    Samples bareDefault{"bare 1 ms QTimer, Qt defaults: ticks/s", {}};
    Samples bareTick{"bare TickTimer, same set-up: ticks/s", {}};
    Samples cpu{"program CPU during a run: % of one core", {}};
    Samples startup{"start-up to the first frame: ms", {}};
    Samples bareStartup{"bare Qt window, same set-up: start-up ms", {}};
    // Less sensitive to other load on the machine than the wall time.
    Samples startupCpu{"start-up to the first frame: CPU ms", {}};
    Samples bareStartupCpu{"bare Qt window: start-up CPU ms", {}};
    Samples peak{"peak resident memory of a session: MB", {}};
};

[[noreturn]] void fail(const std::string &why)
{
    std::fprintf(stderr, "tavelk_sessionbench: %s\n", why.c_str());
    std::exit(1);
}

struct Launched {
    pid_t pid = 0;
    long long launchedNs = 0;
    std::string logPath;
};

// Starts a program with TAVELK_BENCH_LOG set to a fresh file, its stderr
// (no audio device and the like) thrown away.
Launched launchLogged(const std::string &program, const std::vector<std::string> &args)
{
    char logPath[] = "/tmp/tavelk-bench-XXXXXX";
    const int fd = mkstemp(logPath);
    if (fd < 0)
        fail("cannot create a log file");
    close(fd);
    const std::string logVar = std::string("TAVELK_BENCH_LOG=") + logPath;

    std::vector<std::string> env;
    for (char **e = environ; *e; ++e) {
        if (std::strncmp(*e, "TAVELK_BENCH_LOG=", 17) != 0 && std::strncmp(*e, "QT_QPA_PLATFORM=", 16) != 0)
            env.emplace_back(*e);
    }
    env.push_back(logVar);
    std::vector<char *> envp;
    for (std::string &s : env)
        envp.push_back(s.data());
    envp.push_back(nullptr);
    std::vector<std::string> words{program};
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char *> argv;
    for (std::string &w : words)
        argv.push_back(w.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    Launched launched;
    launched.logPath = logPath;
    launched.launchedNs = monotonicNs();
    if (posix_spawn(&launched.pid, program.c_str(), &actions, nullptr, argv.data(), envp.data()) != 0)
        fail("cannot start " + program);
    posix_spawn_file_actions_destroy(&actions);
    return launched;
}

// One start until the window titled `title` has painted its first frame: its
// wall time from the spawn and the process's CPU time, in ms, and the CPU
// time when the expose arrived, before that painting.
void timeStart(const std::string &program, const std::vector<std::string> &args, const std::string &title,
               Samples &into, Samples &cpu, Samples *cpuAtExpose = nullptr)
{
    const Launched started = launchLogged(program, args);
    LogReader log(started.logPath);
    const std::optional<LogLine> expose = log.waitFor(exposed(title));
    const std::optional<LogLine> first = expose ? log.waitFor(painted(title)) : std::nullopt;
    kill(started.pid, SIGTERM);
    waitpid(started.pid, nullptr, 0);
    std::remove(started.logPath.c_str());
    if (!first)
        fail("timed out waiting for the window " + title);
    into.values.push_back(double(first->monoNs - started.launchedNs) / 1e6);
    cpu.values.push_back(double(first->cpuNs) / 1e6);
    if (cpuAtExpose)
        cpuAtExpose->values.push_back(double(expose->cpuNs) / 1e6);
}

// The platform's limit for start-up: a Qt window of the main window's size
// with one button, shown by an application with the program's process set-up.
void runBareWindow(const std::string &baretimer, Samples &into, Samples &cpu)
{
    timeStart(baretimer, {"--window"}, "bare", into, cpu);
}

void runSession(const std::string &program, int runs, Results &results)
{
    const Launched launched = launchLogged(program, {});
    const pid_t pid = launched.pid;
    const std::string logPath = launched.logPath;
    LogReader log(logPath);
    const auto need = [&](const std::optional<LogLine> &line, const char *what) {
        if (!line) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
            fail(std::string("timed out waiting for ") + what);
        }
        return *line;
    };

    need(log.waitFor(exposed("Tavelk")), "the main window");
    const LogLine first = need(log.waitFor(painted("Tavelk")), "the main window's first frame");
    results.startup.values.push_back(double(first.monoNs - launched.launchedNs) / 1e6);
    results.startupCpu.values.push_back(double(first.cpuNs) / 1e6);
    sleepMs(300);

    for (int r = 0; r < runs; ++r) {
        click(kCommand4);
        const LogLine start = need(log.waitFor(eventIs("start")), "the run to start");
        const LogLine stop = need(log.waitFor(eventIs("stop")), "the run to end");
        const double seconds = double(stop.monoNs - start.monoNs) / 1e9;
        results.draws.values.push_back(1000.0 / seconds);
        results.cpu.values.push_back(100.0 * double(stop.cpuNs - start.cpuNs) / double(stop.monoNs - start.monoNs));
        sleepMs(150);
        // 初期化 disables the graph button, so the last run is left on show.
        if (r + 1 < runs) {
            click(kCommand6);
            sleepMs(150);
        }
    }

    click(kCommand7);
    need(log.waitFor(exposed("グラフ")), "the graph window");
    sleepMs(300);
    click(kGraphClose);
    sleepMs(300);
    click(kCommand8);
    need(log.waitFor([](const LogLine &l) { return l.event == "expose" && l.detail.rfind("Tavelk＿", 0) == 0; }),
         "the help window");
    sleepMs(300);
    click(kHelpClose);
    need(log.waitFor(exposed("Tavelk")), "the main window to come back");
    sleepMs(300);

    const long kb = peakResidentKb(pid);
    results.peak.values.push_back(double(kb) / 1024.0);
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
    std::remove(logPath.c_str());
}

void runBare(const std::string &baretimer, const std::string &args, int runs, Samples &into)
{
    const std::string cmd = baretimer + " --runs " + std::to_string(runs) + " " + args + " 2>/dev/null";
    FILE *out = popen(cmd.c_str(), "r");
    if (!out)
        fail("cannot start " + baretimer);
    double seconds = 0;
    while (std::fscanf(out, "%lf", &seconds) == 1)
        into.values.push_back(1000.0 / seconds);
    pclose(out);
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

void printRow(const Samples &s)
{
    if (s.values.empty())
        return;
    const auto [lo, hi] = std::minmax_element(s.values.begin(), s.values.end());
    // Width by code points, so the Japanese names line up too.
    std::size_t width = 0;
    for (unsigned char c : s.name)
        width += (c & 0xC0) != 0x80 ? 1 : 0;
    std::printf("%s%*s %10.1f %10.1f %10.1f %4zu\n", s.name.c_str(), int(46 - std::min<std::size_t>(width, 46)), "",
                median(s.values), *lo, *hi, s.values.size());
}

double ratio(const Samples &a, const Samples &b)
{
    return median(a.values) / median(b.values);
}

// The median of the ratios of the starts made one after the other.
double pairedRatio(const Samples &a, const Samples &b)
{
    std::vector<double> r;
    for (std::size_t i = 0; i < std::min(a.values.size(), b.values.size()); ++i)
        r.push_back(a.values[i] / b.values[i]);
    return median(r);
}

void runStarts(const std::string &program, const std::string &baretimer, int starts)
{
    Samples wall[3] = {{"tavelk: start-up to the first frame, wall ms", {}},
                       {"floor window: wall ms", {}},
                       {"bare window (one button): wall ms", {}}};
    Samples cpu[3] = {{"tavelk: start-up to the first frame, CPU ms", {}},
                      {"floor window: CPU ms", {}},
                      {"bare window (one button): CPU ms", {}}};
    Samples exposeCpu[3] = {{"tavelk: CPU ms when the first expose arrives", {}},
                            {"floor window: CPU ms at the expose", {}},
                            {"bare window (one button): CPU ms at the expose", {}}};
    for (int i = 0; i < starts; ++i) {
        std::fprintf(stderr, "start %d/%d\n", i + 1, starts);
        // Each of the three goes first in turn.
        for (int k = 0; k < 3; ++k) {
            const int which = (i + k) % 3;
            if (which == 0)
                timeStart(program, {}, "Tavelk", wall[0], cpu[0], &exposeCpu[0]);
            else if (which == 1)
                timeStart(baretimer, {"--floor"}, "floor", wall[1], cpu[1], &exposeCpu[1]);
            else
                timeStart(baretimer, {"--window"}, "bare", wall[2], cpu[2], &exposeCpu[2]);
        }
    }
    std::printf("\n%d interleaved starts of each; %ld cores\n\n", starts, sysconf(_SC_NPROCESSORS_ONLN));
    std::printf("%-46s %10s %10s %10s %4s\n", "measure", "median", "min", "max", "n");
    for (const Samples *s :
         {&wall[0], &wall[1], &wall[2], &cpu[0], &cpu[1], &cpu[2], &exposeCpu[0], &exposeCpu[1], &exposeCpu[2]})
        printRow(*s);
    std::printf("\n%-34s %14s %14s\n", "ratio", "of medians", "median paired");
    const auto row = [](const char *name, const Samples &a, const Samples &b) {
        std::printf("%-34s %14.3f %14.3f\n", name, ratio(a, b), pairedRatio(a, b));
    };
    row("wall: tavelk / bare", wall[0], wall[2]);
    row("wall: tavelk / floor", wall[0], wall[1]);
    row("wall: floor / bare", wall[1], wall[2]);
    row("CPU: tavelk / bare", cpu[0], cpu[2]);
    row("CPU: tavelk / floor", cpu[0], cpu[1]);
    row("CPU: floor / bare", cpu[1], cpu[2]);
}

} // namespace

int main(int argc, char **argv)
{
    std::string program;
    std::string baretimer;
    int sessions = 5;
    int runs = 3;
    int starts = 0;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string arg = argv[i];
        if (arg == "--program")
            program = argv[i + 1];
        else if (arg == "--baretimer")
            baretimer = argv[i + 1];
        else if (arg == "--sessions")
            sessions = std::atoi(argv[i + 1]);
        else if (arg == "--runs")
            runs = std::atoi(argv[i + 1]);
        else if (arg == "--starts")
            starts = std::atoi(argv[i + 1]);
    }
    if (program.empty() || baretimer.empty() || !std::getenv("DISPLAY"))
        fail("usage: tavelk_sessionbench --program PATH --baretimer PATH [--sessions N] [--runs N] [--starts N], "
             "under X");
    if (starts > 0) {
        runStarts(program, baretimer, starts);
        return 0;
    }

    Results results;
    for (int s = 0; s < sessions; ++s) {
        std::fprintf(stderr, "session %d/%d\n", s + 1, sessions);
        runSession(program, runs, results);
        runBare(baretimer, "", runs, results.bare);
        runBare(baretimer, "--default-dispatcher", runs, results.bareDefault);
        runBare(baretimer, "--timer tick", runs, results.bareTick);
        runBareWindow(baretimer, results.bareStartup, results.bareStartupCpu);
    }

    std::printf("\n%d sessions, %d automatic runs each; %ld cores\n\n", sessions, runs, sysconf(_SC_NPROCESSORS_ONLN));
    std::printf("%-46s %10s %10s %10s %4s\n", "measure", "median", "min", "max", "n");
    for (const Samples *s :
         {&results.draws, &results.bare, &results.bareDefault, &results.bareTick, &results.cpu, &results.startup,
          &results.bareStartup, &results.startupCpu, &results.bareStartupCpu, &results.peak})
        printRow(*s);
    if (!results.draws.values.empty() && !results.bare.values.empty())
        std::printf("\nprogram / bare QTimer (medians): %.3f\n",
                    median(results.draws.values) / median(results.bare.values));
    return 0;
}
