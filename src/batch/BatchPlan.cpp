#include "batch/BatchPlan.h"

#include "base/StringUtil.h"

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <system_error>

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kPlotExtensions[] = {".plt", ".hpgl", ".hgl", ".hpg",
                                                ".hp",  ".hp2",  ".gl",  ".gl2"};

void searchFolder(const fs::path& folder, std::vector<fs::path>& found,
                  std::vector<std::string>& problems) {
    std::error_code ec;
    fs::recursive_directory_iterator it(folder, fs::directory_options::none, ec);
    if (ec) {
        problems.push_back("cannot read the folder " + folder.string() + ": " + ec.message());
        return;
    }
    for (const fs::recursive_directory_iterator end; it != end; it.increment(ec)) {
        if (ec) {
            problems.push_back("cannot read the folder " + folder.string() + ": " + ec.message());
            return;
        }
        const std::string name = it->path().filename().string();
        if (name.starts_with(".")) {
            if (it->is_directory(ec)) it.disable_recursion_pending();
            continue;
        }
        if (hasPlotExtension(name) && it->is_regular_file(ec)) found.push_back(it->path());
    }
}

void addInput(const std::string& input, std::vector<fs::path>& found,
              std::vector<std::string>& problems) {
    std::error_code ec;
    const fs::path path = absolutePath(input);
    if (fs::is_directory(path, ec))
        searchFolder(path, found, problems);
    else
        found.push_back(path);
}

// Modification time in nanoseconds, or -1 when the file cannot be looked at.
long long modified(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return -1;
    return static_cast<long long>(st.st_mtim.tv_sec) * 1000000000LL + st.st_mtim.tv_nsec;
}

}  // namespace

std::string absolutePath(const std::string& path) {
    std::error_code ec;
    fs::path p = fs::absolute(path, ec).lexically_normal();
    if (!p.has_filename() && p.has_relative_path()) p = p.parent_path();
    return p.string();
}

bool hasPlotExtension(std::string_view name) {
    const std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos || dot == 0) return false;
    const std::string_view ext = name.substr(dot);
    return std::any_of(std::begin(kPlotExtensions), std::end(kPlotExtensions),
                       [ext](std::string_view e) { return compareNoCase(ext, e) == 0; });
}

std::vector<std::string> findPlots(const std::vector<std::string>& inputs, std::istream& list,
                                   std::vector<std::string>& problems) {
    std::vector<fs::path> found;
    for (const std::string& input : inputs) {
        if (input != "-") {
            addInput(input, found, problems);
            continue;
        }
        for (std::string line; std::getline(list, line);) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            if (line.find_first_not_of(" \t") != std::string::npos) addInput(line, found, problems);
        }
    }
    // Each file once, however it was reached (named twice, through a link, or found in a
    // folder and named as well).
    std::vector<std::string> plots;
    std::set<fs::path> seen;
    std::sort(found.begin(), found.end());
    for (const fs::path& p : found) {
        std::error_code ec;
        fs::path key = fs::weakly_canonical(p, ec);
        if (ec) key = p;
        if (seen.insert(key).second) plots.push_back(p.string());
    }
    return plots;
}

std::vector<BatchJob> planJobs(const BatchConfig& config, const std::vector<std::string>& plots) {
    const fs::path folder = absolutePath(config.output);
    const bool sheets = config.target == BatchTarget::Sheets;

    // A name that a plot has of its own is never handed to another plot as a numbered name.
    std::set<std::string> ownNames;
    for (const std::string& plot : plots)
        ownNames.insert(fs::path(plot).stem().string());

    std::set<std::string> taken;
    std::vector<BatchJob> jobs;
    jobs.reserve(plots.size());
    for (const std::string& plot : plots) {
        const std::string stem = fs::path(plot).stem().string();
        std::string name = stem;
        for (int n = 2; taken.count(name) != 0 || (name != stem && ownNames.count(name) != 0); ++n)
            name = stem + "-" + std::to_string(n);
        taken.insert(name);
        BatchJob job;
        job.plot = plot;
        job.name = name;
        job.output = (folder / (name + (sheets ? ".sht" : ".smb"))).string();
        const long long outputTime = modified(job.output);
        job.skip = !config.redo && outputTime >= 0 && outputTime > modified(plot);
        jobs.push_back(std::move(job));
    }
    return jobs;
}
