// rb.RunFile of large sources against the interpreter's own load of the same
// file: the time, and the peak resident memory of a process that runs it.
#include <ruby.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "child_process.h"
#include "suite.h"

namespace bench {
namespace {

// The sources live in a directory of their own, removed when the process exits.
class SourceDirectory {
public:
    SourceDirectory()
    {
        char pattern[] = "/tmp/kestrel-bench.XXXXXX";
        if (mkdtemp(pattern) != nullptr)
            path_ = pattern;
    }
    ~SourceDirectory()
    {
        for (const std::string& file : files_)
            std::remove(file.c_str());
        if (!path_.empty())
            rmdir(path_.c_str());
    }

    // Writes `text` to a file named `name`; returns its path, or "" when it could not.
    std::string Write(const std::string& name, const std::string& text)
    {
        std::string file = path_ + "/" + name;
        std::ofstream out(file, std::ios::binary);
        if (path_.empty() || !(out << text))
            return "";
        files_.push_back(file);
        return file;
    }

private:
    std::string path_;
    std::vector<std::string> files_;
};

enum class Kind { Comments, Statements };

// One line in fifty is of the other kind.
std::string Line(Kind kind, std::size_t number)
{
    bool comment = (kind == Kind::Comments) != (number % 50 == 49);
    if (comment)
        return "# " + std::string(60, static_cast<char>('a' + number % 26)) + "\n";
    return number % 2 == 0 ? "x = 1\n" : "y = :y\n";
}

// Exactly `size` bytes of whole lines: the last is a comment that fills the rest.
std::string Source(Kind kind, std::size_t size)
{
    std::string text;
    text.reserve(size);
    for (std::size_t number = 0; text.size() + 2 * 64 < size; ++number)
        text += Line(kind, number);
    return text + "#" + std::string(size - text.size() - 2, '-') + "\n";
}

// The peak resident memory of a process of its own that opened the module and
// ran the file `how` says ("run-file" or "load"): a fresh interpreter, so the
// figure does not hang on what earlier benchmarks left. Taken once for each;
// negative when the process failed.
double PeakOf(const std::string& how, const std::string& path)
{
    static std::map<std::string, double> peaks;
    auto known = peaks.find(how + " " + path);
    if (known != peaks.end())
        return known->second;
    std::string output;
    double peak = RunProcess(ChildCommand({how, path}), &output) < 0 ? -1 : std::strtod(output.c_str(), nullptr);
    return peaks[how + " " + path] = peak;
}

Step RunFile(const std::string& path)
{
    BenchHost& host = Host();
    standin::ModuleFunction runFile = host.Member("RunFile");
    // RunFile gives 1 also for a file it could not read: the notice tells them apart.
    return Timed([&host, runFile, path] {
        std::size_t notices = host.notices;
        return host.Call(runFile, path.c_str()) == 1 && host.notices == notices;
    });
}

Step Load(const std::string& path)
{
    return Timed([path] {
        int failed = 0;
        rb_load_protect(rb_str_new_cstr(path.c_str()), 0, &failed);
        rb_set_errinfo(Qnil);
        return failed == 0;
    });
}

void CompareFile(SourceDirectory& directory, Kind kind, std::size_t size)
{
    std::string kindName = kind == Kind::Comments ? "comments" : "statements";
    std::string path = directory.Write(kindName + "_" + SizeKey(size) + ".rb", Source(kind, size));
    Figure figure;
    figure.name = "file/" + kindName + "_" + SizeKey(size);
    figure.kestrel = {"RunFile of " + SizeName(size) + ", mostly " +
                          (kind == Kind::Comments ? "comments" : "short statements"),
                      RunFile(path)};
    figure.baseline = {"rb_load_protect", Load(path)};
    figure.amount = static_cast<double>(size);
    figure.goal = 1.10;
    figure.unit = benchmark::kMillisecond;
    if (kind == Kind::Statements && size > (1u << 20))
        figure.repetitions = 3;  // some seconds each: the median of three will do
    figure.peaks = [path] { return std::make_pair(PeakOf("run-file", path), PeakOf("load", path)); };
    Compare(figure);
}

}  // namespace

void RegisterFileBenchmarks()
{
    static SourceDirectory directory;
    for (Kind kind : {Kind::Comments, Kind::Statements}) {
        for (std::size_t size : Sizes({1u << 20, 20u << 20}))
            CompareFile(directory, kind, size);
    }
}

}  // namespace bench
