#pragma once

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <unistd.h>
#include <vector>

// Prints every run as the console reporter does, and keeps the counters of
// each run so that a summary after all runs can set a measured case beside
// its baselines. Benchmarks are named "<role>/<case>", for example
// "splitter/lines_4KiB_reads" and "baseline/lines_4KiB_reads".
class RatioReporter : public benchmark::ConsoleReporter
{
public:
    RatioReporter() : ConsoleReporter(isatty(STDOUT_FILENO) ? OO_ColorTabular : OO_Tabular) {}

    void ReportRuns(const std::vector<Run> &runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run &run : runs) {
            if (run.run_type != Run::RT_Iteration || run.error_occurred)
                continue;
            const std::string &name = run.run_name.function_name;
            const std::size_t slash = name.find('/');
            if (slash == std::string::npos)
                continue;
            const std::string role = name.substr(0, slash);
            const std::string caseName = name.substr(slash + 1);
            if (!m_counters.contains(caseName))
                m_caseOrder.push_back(caseName);
            std::map<std::string, double> &values = m_counters[caseName][role];
            for (const auto &[counterName, counter] : run.counters)
                values[counterName] = counter.value;
        }
    }

    // The cases in the order they first ran.
    [[nodiscard]] const std::vector<std::string> &cases() const { return m_caseOrder; }

    // A counter of one role's run of a case, or a negative value when that
    // run did not happen or has no such counter.
    [[nodiscard]] double value(const std::string &caseName, const std::string &role,
                               const std::string &counter) const
    {
        const auto c = m_counters.find(caseName);
        if (c == m_counters.end())
            return -1;
        const auto r = c->second.find(role);
        if (r == c->second.end())
            return -1;
        const auto v = r->second.find(counter);
        return v == r->second.end() ? -1 : v->second;
    }

    [[nodiscard]] double megabytesPerSecond(const std::string &caseName,
                                            const std::string &role) const
    {
        const double bytesPerSecond = value(caseName, role, "bytes_per_second");
        return bytesPerSecond < 0 ? -1 : bytesPerSecond / 1e6;
    }

    // One line per case that has both roles: their rates in MB (10^6 bytes)
    // per second and how many times longer the subject takes per byte.
    void printRatioTable(const std::string &subject, const std::string &baseline) const
    {
        std::printf("\n%-24s %14s %14s %8s\n", "case", (subject + " MB/s").c_str(),
                    (baseline + " MB/s").c_str(), "ratio");
        for (const std::string &caseName : m_caseOrder) {
            const double measured = megabytesPerSecond(caseName, subject);
            const double reference = megabytesPerSecond(caseName, baseline);
            if (measured <= 0 || reference <= 0)
                continue;
            std::printf("%-24s %14.1f %14.1f %7.1fx\n", caseName.c_str(), measured, reference,
                        reference / measured);
        }
        std::printf("ratio = %s time per byte / %s time per byte\n", subject.c_str(),
                    baseline.c_str());
    }

private:
    std::vector<std::string> m_caseOrder;
    // case -> role -> counter -> value (rates already per second)
    std::map<std::string, std::map<std::string, std::map<std::string, double>>> m_counters;
};
