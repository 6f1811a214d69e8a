#pragma once
// What the benchmark programs share: a temporary folder for their data files, their size flags,
// benchmark names, and a reporter that keeps each run's time for the ratios printed at the end.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

// One temporary folder for the whole run, removed with everything in it.
class CBenchWorkspace {
public:
    CBenchWorkspace() {
        std::string pattern = (std::filesystem::temp_directory_path() / "carvelle-bench-XXXXXX").string();
        if (!mkdtemp(pattern.data()))
            throw std::runtime_error("cannot make a temporary folder");
        m_Folder = pattern;
    }
    ~CBenchWorkspace() {
        std::error_code ignored;
        std::filesystem::remove_all(m_Folder, ignored);
    }
    CBenchWorkspace(const CBenchWorkspace&) = delete;
    CBenchWorkspace& operator=(const CBenchWorkspace&) = delete;

    std::string Path(const std::string& name) const { return m_Folder + "/" + name; }

    // A fresh copy of the template under that name.
    std::string FreshFile(const std::string& name, const std::string& templatePath) const {
        const std::string path = Path(name);
        std::error_code ignored;
        std::filesystem::remove(path + "-journal", ignored);
        std::filesystem::copy_file(templatePath, path, std::filesystem::copy_options::overwrite_existing);
        return path;
    }

private:
    std::string m_Folder;
};

// "10000,100000" as sizes; zero and unreadable items are left out.
inline std::vector<std::size_t> ParseSizes(const std::string& text) {
    std::vector<std::size_t> sizes;
    std::stringstream in(text);
    std::string item;
    while (std::getline(in, item, ',')) {
        if (const unsigned long long value = std::strtoull(item.c_str(), nullptr, 10); value > 0)
            sizes.push_back(static_cast<std::size_t>(value));
    }
    return sizes;
}

// Takes our own size flags ("--n=1000,10000") out of the arguments before Google Benchmark reads
// the rest, which are returned.
inline std::vector<char*> TakeSizeFlags(int argc, char** argv,
                                        const std::map<std::string, std::vector<std::size_t>*>& flags) {
    std::vector<char*> rest;
    for (int i = 0; i < argc; ++i) {
        const std::string arg = argv[i];
        bool taken = false;
        for (const auto& [flag, sizes] : flags) {
            if (arg.rfind(flag, 0) == 0) {
                *sizes = ParseSizes(arg.substr(flag.size()));
                taken = true;
            }
        }
        if (!taken)
            rest.push_back(argv[i]);
    }
    return rest;
}

// The sizes to run: the defaults, replaced by CARVELLE_BENCH_N and then by "--n=" (taken out of
// the arguments; the rest are returned in rest). False, with a message, when no size is left.
inline bool ChooseSizes(int argc, char** argv, std::vector<std::size_t>& sizes, std::vector<char*>& rest) {
    if (const char* env = std::getenv("CARVELLE_BENCH_N"))
        sizes = ParseSizes(env);
    rest = TakeSizeFlags(argc, argv, {{"--n=", &sizes}});
    if (sizes.empty()) {
        std::fprintf(stderr, "no sizes given (--n=10000,100000 or CARVELLE_BENCH_N)\n");
        return false;
    }
    return true;
}

// "Load/1000"; built by appending (GCC 12 warns falsely on "literal" + std::string).
inline std::string BenchName(const char* what, std::size_t n) {
    std::string name(what);
    name += '/';
    name += std::to_string(n);
    return name;
}

// Keeps the mean time per iteration (seconds) of every run while the console shows them; where a
// benchmark repeats, the median of its repetitions, which one slow round on a shared machine does
// not move.
class CollectingReporter : public benchmark::ConsoleReporter {
public:
    struct Time {
        double real = 0.0;
        double cpu = 0.0;
    };

    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            if ((run.run_type == Run::RT_Iteration || median) && run.iterations > 0 && !run.error_occurred) {
                const auto iterations = static_cast<double>(run.iterations);
                seconds[run.run_name.function_name] = {run.real_accumulated_time / iterations,
                                                       run.cpu_accumulated_time / iterations};
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }

    std::map<std::string, Time> seconds;
};

// Runs the benchmark a fixed number of rounds, three times over, in milliseconds.
inline void Repeated(benchmark::internal::Benchmark* bench, benchmark::IterationCount rounds) {
    bench->Unit(benchmark::kMillisecond)->Iterations(rounds)->Repetitions(3)->ReportAggregatesOnly(false);
}

// Each measured figure against the "Load" floor of the same size, real and CPU time.
inline void PrintAgainstLoad(const CollectingReporter& reporter, const std::vector<std::size_t>& sizes,
                             const std::vector<const char*>& measured, const char* floor = "Load") {
    int width = 0;
    for (const char* what : measured)
        width = std::max(width, static_cast<int>(std::string(what).size()));
    for (std::size_t n : sizes) {
        const auto load = reporter.seconds.find(BenchName(floor, n));
        if (load == reporter.seconds.end() || load->second.real <= 0 || load->second.cpu <= 0)
            continue;
        std::printf("  N=%-7zu %s: real %9.3f ms, cpu %9.3f ms\n", n, floor, load->second.real * 1e3,
                    load->second.cpu * 1e3);
        for (const char* what : measured) {
            const auto found = reporter.seconds.find(BenchName(what, n));
            if (found == reporter.seconds.end())
                continue;
            std::printf("    %-*s real %9.3f ms, ratio %.2f;  cpu %9.3f ms, ratio %.2f\n", width, what,
                        found->second.real * 1e3, found->second.real / load->second.real,
                        found->second.cpu * 1e3, found->second.cpu / load->second.cpu);
        }
    }
}
