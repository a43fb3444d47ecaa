// The end-to-end conversion benchmark: generates a mixed plot and a strokes-only plot with the
// project's own seeded generator, converts each into a new sheet with the trazon program, runs
// the floor program (bench_floor) on the same plot for an output of the same size, and prints
// CPU seconds (user + system, the best of the runs), their ratio and the peak resident memory
// against the output's size. It then adds a one-statement plot to the sheet made from the mixed
// plot (the cost of loading and saving a large sheet) and, when hp2xx is installed, renders the
// strokes-only plot with it for comparison. Wall-clock time is not reported: CPU time is what
// stays repeatable on a shared machine.
//
// bench_convert [--mb N] [--runs N] [--trazon PATH] [--keep DIR]
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "PlotGenerator.h"

extern char** environ;

namespace fs = std::filesystem;

namespace {

struct Usage {
    bool ok = false;
    double cpu = 0.0;     // user + system seconds
    double peakMb = 0.0;  // largest resident set, MiB
};

// Runs argv with the environment env (null: this process's), standard output and error to
// logFile; the child's resource usage.
Usage runProgram(const std::vector<std::string>& argv, const std::vector<std::string>* env,
                 const std::string& logFile) {
    std::vector<char*> args;
    for (const std::string& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    std::vector<char*> envp;
    if (env != nullptr) {
        for (const std::string& e : *env)
            envp.push_back(const_cast<char*>(e.c_str()));
        envp.push_back(nullptr);
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, logFile.c_str(), O_WRONLY | O_CREAT | O_APPEND,
                                     0644);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    pid_t pid = 0;
    Usage u;
    const int rc = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(),
                                env != nullptr ? envp.data() : environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) return u;
    int status = 0;
    struct rusage ru {};
    if (wait4(pid, &status, 0, &ru) != pid) return u;
    u.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    u.cpu = static_cast<double>(ru.ru_utime.tv_sec + ru.ru_stime.tv_sec) +
            static_cast<double>(ru.ru_utime.tv_usec + ru.ru_stime.tv_usec) / 1e6;
    u.peakMb = static_cast<double>(ru.ru_maxrss) / 1024.0;
    return u;
}

// The best (least CPU) of runs; the peak memory is the largest seen. setup runs before each.
template <class Setup>
Usage best(int runs, Setup&& setup, const std::vector<std::string>& argv,
           const std::vector<std::string>* env, const std::string& log) {
    Usage b;
    double peak = 0.0;
    for (int i = 0; i < runs; ++i) {
        setup();
        const Usage u = runProgram(argv, env, log);
        if (!u.ok) return u;
        if (!b.ok || u.cpu < b.cpu) b = u;
        if (u.peakMb > peak) peak = u.peakMb;
    }
    b.peakMb = peak;
    return b;
}

double fileMb(const std::string& path) {
    std::error_code ec;
    const auto n = fs::file_size(path, ec);
    return ec ? 0.0 : static_cast<double>(n) / (1024.0 * 1024.0);
}

std::string findInPath(const std::string& name) {
    const char* path = std::getenv("PATH");
    std::string all = path != nullptr ? path : "/usr/bin:/bin";
    size_t start = 0;
    while (start <= all.size()) {
        const size_t end = all.find(':', start);
        const std::string dir =
            all.substr(start, end == std::string::npos ? std::string::npos : end - start);
        const std::string candidate = (dir.empty() ? "." : dir) + "/" + name;
        if (::access(candidate.c_str(), X_OK) == 0) return candidate;
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return {};
}

bool writeFile(const std::string& path, const std::string& text) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) return false;
    const bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
    return std::fclose(f) == 0 && ok;
}

struct Options {
    double mb = 20.0;
    int runs = 3;
    std::string trazon = TRAZON_PROGRAM;
    std::string keep;
};

}  // namespace

int main(int argc, char** argv) {
    Options opt;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--mb" && i + 1 < argc) {
            opt.mb = std::atof(argv[++i]);
        } else if (a == "--runs" && i + 1 < argc) {
            opt.runs = std::atoi(argv[++i]);
        } else if (a == "--trazon" && i + 1 < argc) {
            opt.trazon = argv[++i];
        } else if (a == "--keep" && i + 1 < argc) {
            opt.keep = argv[++i];
        } else {
            std::fprintf(stderr,
                         "usage: bench_convert [--mb N] [--runs N] [--trazon PATH] [--keep DIR]\n");
            return 2;
        }
    }
    if (opt.runs < 1) opt.runs = 1;

    std::string dir;
    if (!opt.keep.empty()) {
        dir = opt.keep;
        fs::create_directories(dir);
    } else {
        std::string tmpl = (fs::temp_directory_path() / "trazon-bench-XXXXXX").string();
        if (::mkdtemp(tmpl.data()) == nullptr) {
            std::perror("mkdtemp");
            return 1;
        }
        dir = tmpl;
    }
    const std::string home = dir + "/home";
    fs::create_directories(home + "/norvel/kv/log");
    const std::string log = dir + "/programs.log";
    const std::vector<std::string> env = {"QRXROOT=" + std::string(TRAZON_QRXROOT), "HOME=" + home,
                                          "QLANG=english", "SOURCE_DATE_EPOCH=1700000000",
                                          "PATH=/usr/bin:/bin"};

    const std::uint64_t bytes = static_cast<std::uint64_t>(opt.mb * 1024 * 1024);
    struct Plot {
        const char* name;
        PlotKind kind;
        std::uint64_t seed;
    };
    const Plot plots[] = {{"mixed", PlotKind::kMixed, 1}, {"strokes", PlotKind::kStrokes, 2}};

    std::printf("trazon: %s\nruns: %d (best CPU of each; peak RSS the largest)\n\n",
                opt.trazon.c_str(), opt.runs);
    std::printf("%-8s %9s %11s %10s %10s %7s %9s %9s %8s\n", "plot", "input MB", "trazon CPU",
                "floor CPU", "ratio", "out MB", "peak MB", "RSS/out", "status");
    const std::string hp2xx = findInPath("hp2xx");
    int failures = 0;
    std::string strokesPlot;
    double strokesCpu = 0.0;
    std::string mixedSheet;
    for (const Plot& p : plots) {
        const std::string plot = dir + "/" + p.name + ".hpgl";
        std::FILE* f = std::fopen(plot.c_str(), "wb");
        if (f == nullptr || !writePlot(f, p.kind, bytes, p.seed) || std::fclose(f) != 0) {
            std::fprintf(stderr, "cannot write %s\n", plot.c_str());
            return 1;
        }
        const std::string circuit = dir + "/" + p.name + ".cir";
        const std::string sheet = circuit + "/plot.sht";
        const Usage t = best(
            opt.runs, [&] { fs::remove_all(circuit); },
            {opt.trazon, "-m", "new", "-o", sheet, plot}, &env, log);
        const double outMb = fileMb(sheet);
        const std::string floorOut = dir + "/" + p.name + ".floor";
        const Usage fl = best(
            opt.runs, [&] { fs::remove(floorOut); },
            {TRAZON_FLOOR_PROGRAM, plot, floorOut,
             std::to_string(static_cast<std::uint64_t>(outMb * 1024 * 1024 + 0.5))},
            nullptr, log);
        const bool ok = t.ok && fl.ok;
        if (!ok) ++failures;
        std::printf("%-8s %9.1f %10.3fs %9.3fs %9.2fx %7.1f %9.1f %8.2fx %8s\n", p.name,
                    fileMb(plot), t.cpu, fl.cpu, fl.cpu > 0 ? t.cpu / fl.cpu : 0.0, outMb, t.peakMb,
                    outMb > 0 ? t.peakMb / outMb : 0.0, ok ? "ok" : "FAILED");
        if (p.kind == PlotKind::kStrokes) {
            strokesPlot = plot;
            strokesCpu = t.cpu;
        } else {
            mixedSheet = sheet;
        }
    }

    // Loading and saving the large sheet again: a plot of one statement added to it.
    const std::string tiny = dir + "/tiny.hpgl";
    writeFile(tiny, "IN;\n");
    const std::string copy = dir + "/mixed-copy.sht";
    fs::copy_file(mixedSheet, copy, fs::copy_options::overwrite_existing);
    const Usage r = best(
        opt.runs, [&] { fs::copy_file(copy, mixedSheet, fs::copy_options::overwrite_existing); },
        {opt.trazon, "-o", mixedSheet, tiny}, &env, log);
    const double sheetMb = fileMb(mixedSheet);
    if (!r.ok) ++failures;
    std::printf(
        "\nload + save of the mixed sheet (%.1f MB): %.3fs CPU, peak %.1f MB = %.2fx the "
        "sheet%s\n",
        sheetMb, r.cpu, r.peakMb, sheetMb > 0 ? r.peakMb / sheetMb : 0.0, r.ok ? "" : "  FAILED");

    if (hp2xx.empty()) {
        std::printf("hp2xx: not installed, comparison skipped (Debian package hp2xx)\n");
    } else {
        const std::string svg = dir + "/strokes.svg";
        const Usage h = best(
            opt.runs, [&] { fs::remove(svg); }, {hp2xx, "-q", "-m", "svg", "-f", svg, strokesPlot},
            nullptr, log);
        if (h.ok) {
            std::printf("hp2xx -m svg on the strokes plot: %.3fs CPU = %.1fx trazon's\n", h.cpu,
                        strokesCpu > 0 ? h.cpu / strokesCpu : 0.0);
        } else {
            std::printf("hp2xx -m svg on the strokes plot: failed (see %s)\n", log.c_str());
        }
    }
    if (opt.keep.empty()) fs::remove_all(dir);
    return failures == 0 ? 0 : 1;
}
