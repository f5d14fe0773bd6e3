// Cold starts of the launcher, of the bare browser window and, when given, of
// chromium --app, alternating, each opening the same login page of the site
// server on 127.0.0.1; then the launcher's own steps before its page load.
// bench/measure-startup.sh runs it in a display with a window manager.
// Prints its figures and never judges them; it fails only when a program
// does not show the login page.
#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "bench/clock.h"
#include "bench/program_run.h"
#include "bench/run_folder.h"
#include "bench/sample_spread.h"
#include "bench/site_server_process.h"
#include "bench/window_watch.h"

namespace {

constexpr char kUsage[] =
    "usage: startup_bench --site-server PATH --vantor PATH --bare-browser PATH --steps PATH\n"
    "                     [--chromium PATH] [--starts N]\n";

constexpr char kLoginPath[] = "/Account/LogOn";
// Every title of the site server's login page starts so.
constexpr char kCaptionStart[] = "登录 pid=";
constexpr auto kStartTimeout = std::chrono::seconds(60);
constexpr auto kMemoryDelay = std::chrono::seconds(2);
constexpr auto kEndGrace = std::chrono::seconds(3);

struct Options {
    std::string siteServer;
    std::string vantor;
    std::string bareBrowser;
    std::string steps;
    std::string chromium;
    int starts = 7;
};

bool ParseOptions(int argc, char** argv, Options& options)
{
    const std::map<std::string, std::string*> paths = {
        {"--site-server", &options.siteServer}, {"--vantor", &options.vantor},
        {"--bare-browser", &options.bareBrowser}, {"--steps", &options.steps},
        {"--chromium", &options.chromium}};
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string name = argv[i];
        if (name == "--starts") {
            options.starts = std::atoi(argv[i + 1]);
        } else if (paths.count(name)) {
            *paths.at(name) = argv[i + 1];
        } else {
            return false;
        }
    }
    return argc % 2 == 1 && options.starts > 0 && !options.siteServer.empty()
        && !options.vantor.empty() && !options.bareBrowser.empty() && !options.steps.empty();
}

// What every start reads while it waits.
struct Instruments {
    WindowWatch& windows;
    SiteServerProcess& server;
};

// Takes in window events and server log lines until `done` holds (true) or
// the deadline passes (false).
bool WaitUntil(Instruments& instruments, Clock::time_point deadline, const std::function<bool()>& done)
{
    for (;;) {
        instruments.windows.ReadEvents();
        instruments.server.ReadLog();
        if (done())
            return true;
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0)
            return false;
        // A short slice, so that `done` also sees what arrives elsewhere.
        pollfd sources[] = {{instruments.windows.Descriptor(), POLLIN, 0},
                            {instruments.server.Descriptor(), POLLIN, 0}};
        poll(sources, 2, static_cast<int>(std::min<long long>(left.count(), 20)));
    }
}

double Seconds(Clock::duration duration)
{
    return std::chrono::duration<double>(duration).count();
}

// The order of Contenders(): vantor, the two bare windows, then chromium if given.
enum ContenderIndex : std::size_t { kVantor, kBareWindow, kBareSoftware };

struct Contender {
    std::string name;
    std::function<std::vector<std::string>(const RunFolder& folder)> commandLine;
    bool startsInOffice = false;  // in the office folder, with its QLX32-bs.ini
};

struct StartFigures {
    double shown = 0;      // exec to the first window mapped
    double requested = 0;  // exec to the login page's request at the server
    double caption = 0;    // exec to the caption showing the page's title
    std::optional<double> reported;  // exec to the device report's arrival
    TreeMemory memory;     // kMemoryDelay after the caption
};

int OpenLog(const std::filesystem::path& path)
{
    return open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
}

void PrintLogTail(const std::filesystem::path& path)
{
    std::ifstream file(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(file, line);)
        lines.push_back(line);
    const std::size_t first = lines.size() > 30 ? lines.size() - 30 : 0;
    std::fprintf(stderr, "--- the end of its output:\n");
    for (std::size_t i = first; i < lines.size(); ++i)
        std::fprintf(stderr, "%s\n", lines[i].c_str());
}

std::optional<StartFigures> StartOnce(Instruments& instruments, const Contender& contender)
{
    RunFolder folder;
    if (!folder.Created()
        || (contender.startsInOffice && !folder.WriteConfiguration(instruments.server.Port()))) {
        std::fprintf(stderr, "startup_bench: cannot prepare a temporary folder\n");
        return std::nullopt;
    }
    const std::filesystem::path logPath = folder.Root() / "output.log";
    SpawnRequest request;
    request.arguments = contender.commandLine(folder);
    request.environment = folder.Environment();
    request.folder = (contender.startsInOffice ? folder.Office() : folder.Root()).string();
    request.output = OpenLog(logPath);

    instruments.windows.StartOver(kCaptionStart);
    const Clock::time_point exec = Clock::now();
    ProgramRun run(request, instruments.server.Pid());
    close(request.output);

    WindowWatch& windows = instruments.windows;
    SiteServerProcess& server = instruments.server;
    WaitUntil(instruments, exec + kStartTimeout, [&] { return windows.CaptionShown() || run.Exited(); });
    // The page is requested before its title can show; its log line may
    // still be on its way.
    const auto requested = [&] { return server.FirstRequest("GET", kLoginPath, exec); };
    WaitUntil(instruments, Clock::now() + std::chrono::seconds(5), [&] { return requested().has_value(); });
    if (!windows.CaptionShown() || !requested() || !windows.FirstShown()) {
        const std::string ending = run.Exited() ? "; it ended with " + run.HowItEnded()
                                                : "; it was still running";
        std::fprintf(stderr, "startup_bench: %s %s after %.1f s%s\n", contender.name.c_str(),
                     !requested() ? "had not requested the login page"
                                  : "had not shown the login page's title as its caption",
                     Seconds(Clock::now() - exec), ending.c_str());
        run.End(kEndGrace);
        PrintLogTail(logPath);
        return std::nullopt;
    }

    WaitUntil(instruments, *windows.CaptionShown() + kMemoryDelay, [] { return false; });
    StartFigures figures;
    figures.memory = run.Memory();
    run.End(kEndGrace);
    figures.shown = Seconds(*windows.FirstShown() - exec);
    figures.requested = Seconds(*requested() - exec);
    figures.caption = Seconds(*windows.CaptionShown() - exec);
    if (const std::optional<Clock::time_point> report = server.FirstRequest("POST", kLoginPath, exec))
        figures.reported = Seconds(*report - exec);
    return figures;
}

// One run of the steps program: its "name seconds" lines.
std::optional<std::map<std::string, double>> TimeSteps(Instruments& instruments,
                                                       const std::string& program,
                                                       const std::string& mode)
{
    RunFolder folder;
    if (!folder.Created() || !folder.WriteConfiguration(instruments.server.Port())) {
        std::fprintf(stderr, "startup_bench: cannot prepare a temporary folder\n");
        return std::nullopt;
    }
    const std::filesystem::path logPath = folder.Root() / "output.log";
    SpawnRequest request;
    request.arguments = {program, mode};
    request.environment = folder.Environment();
    request.folder = folder.Office().string();
    request.output = OpenLog(logPath);
    ProgramRun run(request, instruments.server.Pid());
    close(request.output);
    WaitUntil(instruments, Clock::now() + kStartTimeout, [&] { return run.Exited(); });
    run.End(kEndGrace);
    if (!run.ExitedCleanly()) {
        std::fprintf(stderr, "startup_bench: %s %s failed (%s)\n", program.c_str(), mode.c_str(),
                     run.HowItEnded().c_str());
        PrintLogTail(logPath);
        return std::nullopt;
    }
    std::map<std::string, double> seconds;
    std::ifstream log(logPath);
    std::string name;
    double value = 0;
    while (log >> name >> value)
        seconds[name] = value;
    return seconds;
}

std::string LoginUrl(int port)
{
    // Query values shaped like the launcher's: two digests and a time token.
    return "http://127.0.0.1:" + std::to_string(port) + kLoginPath
        + "?version=1.20140927&id=9F86D081884C7D659A2FEAA0C55AD015"
          "&pid=A3F390D88E4C41F2747BFA2F1B5F87DB&cpu=1A2B3C4D";
}

std::vector<Contender> Contenders(const Options& options, const std::string& url)
{
    std::vector<Contender> contenders;
    contenders.push_back({"vantor", [&options](const RunFolder&) {
                              return std::vector<std::string>{options.vantor};
                          }, true});
    contenders.push_back({"bare window", [&options, url](const RunFolder&) {
                              return std::vector<std::string>{options.bareBrowser, url};
                          }});
    contenders.push_back({"bare, software", [&options, url](const RunFolder&) {
                              return std::vector<std::string>{options.bareBrowser, "--software-compositing", url};
                          }});
    if (!options.chromium.empty()) {
        contenders.push_back({"chromium --app", [&options, url](const RunFolder& folder) {
                                  std::vector<std::string> line = {
                                      options.chromium, "--app=" + url,
                                      "--user-data-dir=" + (folder.Root() / "chromium").string(),
                                      "--no-first-run", "--no-default-browser-check",
                                      "--password-store=basic", "--start-maximized"};
                                  // As the launcher: no sandbox only where it cannot run.
                                  if (geteuid() == 0)
                                      line.push_back("--no-sandbox");
                                  return line;
                              }});
    }
    return contenders;
}

// One measured figure of a start: a time in seconds or a memory size in KiB.
struct Figure {
    const char* heading;
    const char* name;
    double (*value)(const StartFigures& figures);
    bool isMemory;
};

const Figure kFigures[] = {
    {"window shown, s", "window shown", [](const StartFigures& f) { return f.shown; }, false},
    {"page requested, s", "page requested", [](const StartFigures& f) { return f.requested; }, false},
    {"caption = title, s", "caption = title", [](const StartFigures& f) { return f.caption; }, false},
    {"RSS sum, MiB", "RSS sum",
     [](const StartFigures& f) { return static_cast<double>(f.memory.rssKiB); }, true},
    {"PSS, MiB", "PSS", [](const StartFigures& f) { return static_cast<double>(f.memory.pssKiB); }, true},
};

std::vector<double> Column(const std::vector<StartFigures>& starts, const Figure& figure)
{
    std::vector<double> values;
    for (const StartFigures& figures : starts)
        values.push_back(figure.value(figures));
    return values;
}

double MedianOf(const std::vector<StartFigures>& starts, const Figure& figure)
{
    return SpreadOf(Column(starts, figure)).median;
}

// "median (fastest-slowest)": seconds with milliseconds, memory in MiB.
std::string Cell(const std::vector<double>& values, bool isMemory)
{
    const SampleSpread spread = SpreadOf(values);
    const double scale = isMemory ? 1.0 / 1024 : 1.0;
    char cell[64];
    std::snprintf(cell, sizeof cell, isMemory ? "%.0f (%.0f-%.0f)" : "%.3f (%.3f-%.3f)",
                  spread.median * scale, spread.lowest * scale, spread.highest * scale);
    return cell;
}

void PrintStarts(const std::vector<Contender>& contenders,
                 const std::vector<std::vector<StartFigures>>& starts)
{
    std::printf("\n%-16s", "");
    for (const Figure& figure : kFigures)
        std::printf(" %-22s", figure.heading);
    std::printf(" processes\n");
    for (std::size_t contender = 0; contender < contenders.size(); ++contender) {
        std::printf("%-16s", contenders[contender].name.c_str());
        for (const Figure& figure : kFigures)
            std::printf(" %-22s", Cell(Column(starts[contender], figure), figure.isMemory).c_str());
        std::vector<double> processes;
        for (const StartFigures& figures : starts[contender])
            processes.push_back(figures.memory.processes);
        std::printf(" %.0f\n", SpreadOf(processes).median);
    }

    for (const std::size_t baseline : {kBareWindow, kBareSoftware}) {
        std::printf("\n");
        for (std::size_t contender = 0; contender < contenders.size(); ++contender) {
            if (contender == kBareWindow || contender == baseline)
                continue;
            std::printf("%s / %s, medians:", contenders[contender].name.c_str(),
                        contenders[baseline].name.c_str());
            const char* separator = "";
            for (const Figure& figure : kFigures) {
                std::printf("%s %s %.2fx", separator, figure.name,
                            MedianOf(starts[contender], figure) / MedianOf(starts[baseline], figure));
                separator = ",";
            }
            std::printf("\n");
        }
    }

    std::vector<double> reported;
    int reportFirst = 0;
    for (const StartFigures& figures : starts[kVantor]) {
        if (!figures.reported)
            continue;
        reported.push_back(*figures.reported);
        reportFirst += *figures.reported <= figures.requested;
    }
    if (reported.empty()) {
        std::printf("\nvantor: no device report arrived\n");
    } else {
        std::printf("\nvantor: device report arrived %s s after exec; before the login page's request in "
                    "%d of %zu starts\n", Cell(reported, false).c_str(), reportFirst, starts[kVantor].size());
    }
}

bool PrintSteps(Instruments& instruments, const std::string& program, int runs)
{
    std::map<std::string, std::vector<double>> seconds;
    for (int run = 0; run < runs; ++run) {
        for (const char* mode : {"steps", "together"}) {
            const std::optional<std::map<std::string, double>> times = TimeSteps(instruments, program, mode);
            if (!times)
                return false;
            for (const auto& [name, value] : *times)
                seconds[name].push_back(value * 1000);
        }
    }
    std::vector<double> sums;
    for (int run = 0; run < runs; ++run) {
        sums.push_back(seconds["configuration"][run] + seconds["identity"][run] + seconds["libcurl"][run]
                       + seconds["report"][run]);
    }
    seconds["sum of the four"] = sums;

    std::printf("\nvantor's own steps before its page load, ms, median (fastest-slowest), at their first call "
                "in a fresh process\n(%d processes per line), site server on 127.0.0.1:\n", runs);
    const std::pair<const char*, const char*> rows[] = {
        {"configuration", "configuration: start-up's and the report's reads of QLX32-bs.ini"},
        {"identity", "identity: account, domain and the device values"},
        {"libcurl", "libcurl: loading it, on the report's worker in vantor"},
        {"report", "report: the device report's HTTP exchange"},
        {"sum of the four", "sum of the four"},
        {"together", "together: the server entry and PrepareStartUrl, as start-up calls them"},
    };
    for (const auto& [name, label] : rows) {
        const SampleSpread spread = SpreadOf(seconds[name]);
        std::printf("  %-72s %7.2f (%.2f-%.2f)\n", label, spread.median, spread.lowest, spread.highest);
    }
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    Options options;
    if (!ParseOptions(argc, argv, options)) {
        std::fprintf(stderr, "%s", kUsage);
        return 2;
    }
    // Processes a program leaves behind become this one's children, so that
    // every run is ended whole.
    prctl(PR_SET_CHILD_SUBREAPER, 1);

    WindowWatch windows;
    if (!windows.Connected()) {
        std::fprintf(stderr, "startup_bench: needs an X display (DISPLAY) with a window manager\n");
        return 2;
    }
    SiteServerProcess server(options.siteServer);
    if (!server.Listening()) {
        std::fprintf(stderr, "startup_bench: the site server %s did not start\n", options.siteServer.c_str());
        return 1;
    }
    Instruments instruments{windows, server};
    const std::string url = LoginUrl(server.Port());
    const std::vector<Contender> contenders = Contenders(options, url);

    std::printf("Start-up: %d cold starts of each program, alternating, after one uncounted start of each.\n"
                "Site server: tools/site_server on 127.0.0.1:%d; the login page %s\n"
                "(vantor composes its own query, in a fresh office folder with QLX32-bs.ini).\n"
                "Each start: a fresh HOME and XDG folders (empty profile and cache); "
                "times from exec, in seconds;\n"
                "memory %lld s after the caption, over the whole process tree, from smaps_rollup: RSS summed\n"
                "(pages shared inside the tree counted in each process) and PSS (shared pages split among\n"
                "all their users, so it also falls when other programs of the machine map the same libraries).\n"
                "bare window: Qt's defaults, its pages drawn through OpenGL on the UI thread (under Xvfb\n"
                "OpenGL is Mesa's llvmpipe, a software rasteriser); bare, software: the engine composites\n"
                "in software, as vantor chooses where OpenGL is a software rasteriser.\n"
                "Cells: median (fastest-slowest).\n",
                options.starts, server.Port(), url.c_str(), static_cast<long long>(kMemoryDelay.count()));
    std::fflush(stdout);

    for (const Contender& contender : contenders) {
        if (!StartOnce(instruments, contender))
            return 1;
    }
    std::vector<std::vector<StartFigures>> starts(contenders.size());
    for (int round = 0; round < options.starts; ++round) {
        // Each round begins with the next program, so none is always first.
        for (std::size_t turn = 0; turn < contenders.size(); ++turn) {
            const std::size_t index = (static_cast<std::size_t>(round) + turn) % contenders.size();
            const std::optional<StartFigures> figures = StartOnce(instruments, contenders[index]);
            if (!figures)
                return 1;
            starts[index].push_back(*figures);
        }
    }
    PrintStarts(contenders, starts);
    return PrintSteps(instruments, options.steps, options.starts) ? 0 : 1;
}
