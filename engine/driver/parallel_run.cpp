#include "engine/driver/parallel_run.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <thread>

#include "engine/random/chunk_generator.h"
#include "engine/transport/tabulated_transport.h"

namespace velmora {

namespace {

struct Task {
    int bin = 0;
    int batch = 0;
    std::int64_t histories = 0;
    int previousOfBatch = -1;  // the task of the same batch that must finish first
};

// Tasks in bin-major order, so that every worker's memo of Kahn trials serves
// many tasks of one energy before it moves on.
std::vector<Task> planTasks(const StudyInputs& inputs) {
    std::vector<Task> tasks;
    std::vector<int> lastOfBatch(kBatches, -1);
    const int lastBin = std::min(inputs.spectrum.binLimit, kSpectrumBins);
    for (int bin = 2; bin <= lastBin; ++bin) {
        const std::int64_t histories = historiesInBin(inputs.spectrum.weight[bin], inputs.parameters.photonCount);
        if (histories <= 0) continue;
        for (int batch = 0; batch < kBatches; ++batch) {
            const std::int64_t part = historiesInBatch(histories, batch);
            if (part == 0) continue;
            tasks.push_back(Task{bin, batch, part, lastOfBatch[batch]});
            lastOfBatch[batch] = static_cast<int>(tasks.size()) - 1;
        }
    }
    return tasks;
}

class TaskBoard {
public:
    explicit TaskBoard(std::size_t count) : done_(count, false) {}

    void waitFor(int task) {
        if (task < 0) return;
        std::unique_lock lock(mutex_);
        finished_.wait(lock, [&] { return done_[task]; });
    }
    void finish(int task) {
        {
            std::lock_guard lock(mutex_);
            done_[task] = true;
        }
        finished_.notify_all();
    }

private:
    std::mutex mutex_;
    std::condition_variable finished_;
    std::vector<bool> done_;
};

// The Kahn memos of the bins being run, shared by the workers: created by the
// first task of a bin, freed when its last task ends.
class MemoBoard {
public:
    explicit MemoBoard(const std::vector<Task>& tasks) {
        for (const Task& task : tasks) ++remaining_[task.bin];
    }

    IncoherentMemo& acquire(int bin, const TabulatedTransport& transport) {
        std::lock_guard lock(mutex_);
        auto& memo = memos_[bin];
        if (!memo) memo = transport.makeMemo(binEnergy(bin));
        return *memo;
    }
    void release(int bin) {
        std::lock_guard lock(mutex_);
        if (--remaining_[bin] == 0) memos_.erase(bin);
    }

private:
    std::mutex mutex_;
    std::map<int, int> remaining_;
    std::map<int, std::unique_ptr<IncoherentMemo>> memos_;
};

}  // namespace

ParallelResult runParallel(const StudyInputs& inputs, const StudyGeometry& geometry, int threads,
                           const std::function<void(const ParallelProgress&)>& report) {
    if (threads <= 0) threads = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    const std::vector<Task> tasks = planTasks(inputs);
    const StudyTables tables(inputs.data, geometry.beam, geometry.box);
    std::vector<DoseTally> batches(kBatches, DoseTally(inputs.parameters.couchThickness));

    ParallelResult result{RunTotals{}, DoseTally(inputs.parameters.couchThickness), {}, {}};
    int previousBin = 0;
    for (const Task& task : tasks) {
        if (task.bin != previousBin) {
            // The air kerma counts every history of the bin, exactly as the reference run does.
            const std::int64_t histories =
                historiesInBin(inputs.spectrum.weight[task.bin], inputs.parameters.photonCount);
            result.totals.airKermaSum = addBinToAirKerma(result.totals.airKermaSum,
                                                         airCoefficient(inputs.data.air, task.bin), histories,
                                                         binEnergy(task.bin));
            result.totals.historiesRun += histories;
            previousBin = task.bin;
        }
    }

    TaskBoard board(tasks.size());
    MemoBoard memos(tasks);
    std::atomic<std::size_t> nextTask{0};
    std::atomic<std::int64_t> historiesDone{0};
    auto worker = [&] {
        TabulatedTransport transport(tables);
        for (std::size_t i = nextTask++; i < tasks.size(); i = nextTask++) {
            const Task& task = tasks[i];
            board.waitFor(task.previousOfBatch);
            ChunkGenerator generator(task.bin, task.batch);
            transport.runBin(memos.acquire(task.bin, transport), task.histories, generator, batches[task.batch]);
            memos.release(task.bin);
            historiesDone += task.histories;
            board.finish(static_cast<int>(i));
        }
    };

    const auto start = std::chrono::steady_clock::now();
    std::vector<std::thread> pool;
    for (int t = 0; t < threads; ++t) pool.emplace_back(worker);
    if (report) {
        // Report until every task has been claimed and finished.
        for (;;) {
            std::this_thread::sleep_for(std::chrono::milliseconds(500));
            const std::int64_t done = historiesDone.load();
            report(ParallelProgress{done, result.totals.historiesRun,
                                    std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count()});
            if (done >= result.totals.historiesRun) break;
        }
    }
    for (std::thread& t : pool) t.join();

    for (const DoseTally& batch : batches) result.tally.add(batch);

    result.standardError.assign(3 * static_cast<std::size_t>(DoseTally::kCellsPerComponent), 0.0f);
    std::vector<double> values(kBatches);
    for (int component = 0; component <= 2; ++component) {
        for (int x = 1; x <= DoseTally::kXBins; ++x) {
            for (int y = 1; y <= DoseTally::kYBins; ++y) {
                for (int b = 0; b < kBatches; ++b) {
                    const DoseTally& batch = batches[b];
                    values[b] = component == 0 ? static_cast<double>(batch.cell(1, x, y)) + batch.cell(2, x, y)
                                               : batch.cell(component, x, y);
                }
                result.standardError[(static_cast<std::size_t>(component) * DoseTally::kXBins + (x - 1)) *
                                         DoseTally::kYBins +
                                     (y - 1)] = static_cast<float>(standardErrorOfSum(values));
            }
        }
    }
    result.batches = std::move(batches);
    return result;
}

double standardErrorOfSum(const std::vector<double>& replicaValues) {
    const double n = static_cast<double>(replicaValues.size());
    double sum = 0;
    for (double v : replicaValues) sum += v;
    const double mean = sum / n;
    double squares = 0;
    for (double v : replicaValues) squares += (v - mean) * (v - mean);
    return std::sqrt(n * squares / (n - 1));
}

}  // namespace velmora
