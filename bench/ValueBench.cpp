// Speed of the value model's hot paths: element-wise addition of two long vectors and
// appending numbers to a list, beside numpy and CPython lists measured in the same run.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "Values/QvArithmetic.h"
#include "Values/QvListValue.h"
#include "Values/QvNumberValue.h"
#include "Values/QvVectorValue.h"

namespace {

using Clock = std::chrono::steady_clock;

// The best of `rounds` timings of `work`, in milliseconds.
template <class Work>
double bestMilliseconds(int rounds, Work&& work) {
    double best = 1e300;
    for (int i = 0; i < rounds; ++i) {
        Clock::time_point start = Clock::now();
        work();
        best = std::min(best, std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    return best;
}

std::vector<double> ramp(size_t count, double step) {
    std::vector<double> numbers(count);
    for (size_t i = 0; i < count; ++i)
        numbers[i] = double(i) * step;
    return numbers;
}

void vectorAddition(size_t count, int rounds) {
    QvValueRef left = new QvVectorValue(ramp(count, 0.5));
    QvValueRef right = new QvVectorValue(ramp(count, 0.25));
    double fresh = bestMilliseconds(rounds, [&] {
        QvValueRef sum;
        QvArithmetic::Add(sum, left, right, false);
    });
    QvValueRef reused;
    double intoResult = bestMilliseconds(rounds, [&] { QvArithmetic::Add(reused, left, right, false); });
    QvValueRef target = new QvVectorValue(ramp(count, 1));
    double inPlace = bestMilliseconds(rounds, [&] { QvArithmetic::Add(target, target, right, true); });
    std::printf("quarvel  vector add, %zu elements: new result %.2f ms, reused result %.2f ms, in place %.2f ms\n",
                count, fresh, intoResult, inPlace);
}

void listAppend(int count, int rounds) {
    double milliseconds = bestMilliseconds(rounds, [&] {
        QvListValue list;
        for (int i = 0; i < count; ++i)
            list.Append(new QvNumberValue(i));
    });
    std::printf("quarvel  list append, %d numbers: %.2f ms\n", count, milliseconds);
}

// Runs the same measurements in python3 (or the interpreter named by QV_PYTHON);
// reports and moves on when it or numpy is missing.
void pythonReference(size_t vectorCount, int listCount, int rounds) {
    const char* chosen = std::getenv("QV_PYTHON");
    std::string python = chosen && *chosen ? chosen : "python3";
    std::fflush(stdout);
    if (std::system((python + " -c '' >/dev/null 2>&1").c_str()) != 0) {
        std::printf("%s not found: no reference figures\n", python.c_str());
        return;
    }
    std::string script =
        "import time\n"
        "def best(f, n):\n"
        "    b = 1e300\n"
        "    for _ in range(n):\n"
        "        s = time.perf_counter(); f(); b = min(b, (time.perf_counter() - s) * 1000)\n"
        "    return b\n"
        "def append():\n"
        "    l = []\n"
        "    for i in range(" + std::to_string(listCount) + "):\n"
        "        l.append(float(i))\n"
        "print('cpython  list append, " + std::to_string(listCount) + " numbers: %.2f ms' % best(append, " +
        std::to_string(rounds) + "))\n"
        "try:\n"
        "    import numpy\n"
        "except ImportError:\n"
        "    print('numpy not importable: no vector reference figures')\n"
        "else:\n"
        "    a = numpy.arange(" + std::to_string(vectorCount) + ") * 0.5\n"
        "    b = numpy.arange(" + std::to_string(vectorCount) + ") * 0.25\n"
        "    out = numpy.empty_like(a)\n"
        "    fresh = best(lambda: a + b, " + std::to_string(rounds) + ")\n"
        "    into = best(lambda: numpy.add(a, b, out=out), " + std::to_string(rounds) + ")\n"
        "    print('numpy    vector add, " + std::to_string(vectorCount) +
        " elements: new result %.2f ms, into existing %.2f ms' % (fresh, into))\n";
    std::string command = python + " -c \"$QV_BENCH_SCRIPT\"";
    setenv("QV_BENCH_SCRIPT", script.c_str(), 1);
    if (std::system(command.c_str()) != 0)
        std::printf("python3 reference run failed\n");
}

}  // namespace

int main(int argc, char** argv) {
    size_t vectorCount = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 1000000;
    int listCount = argc > 2 ? std::atoi(argv[2]) : 100000;
    const int rounds = 20;
    vectorAddition(vectorCount, rounds);
    listAppend(listCount, rounds);
    pythonReference(vectorCount, listCount, rounds);
    return 0;
}
