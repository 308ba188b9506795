#include "glide2/draw_queue.h"

#include "glide2/card.h"
#include "glide2/draw_threads.h"

#include <atomic>
#include <condition_variable>
#include <cstdlib>
#include <deque>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace {

constexpr int bandRows = 16;
constexpr int bandCount = (screenHeight + bandRows - 1) / bandRows;
constexpr std::size_t queueLimit = 1 << 16; // triangles before a forced finish

struct QueuedTriangle {
    TriangleSetup setup;
    Target target;
    const Pipeline* pipeline;
    bool textured;
};

struct DrawQueue {
    std::vector<QueuedTriangle> triangles;
    std::vector<std::uint32_t> bands[bandCount]; // indices into triangles, in order
    std::deque<Pipeline> pipelines;              // stable addresses
    std::uint64_t lastGeneration = 0;
};

DrawQueue queue;

// Draws one band: physical rows [band * bandRows, +bandRows).
void drawBand(int band)
{
    int top = band * bandRows, bottom = top + bandRows < screenHeight ? top + bandRows : screenHeight;
    for (std::uint32_t index : queue.bands[band]) {
        const QueuedTriangle& t = queue.triangles[index];
        Target target = t.target;
        int first = t.target.lowerLeft ? screenHeight - bottom : top;
        int end = t.target.lowerLeft ? screenHeight - top : bottom;
        target.clipMinY = first > target.clipMinY ? first : target.clipMinY;
        target.clipMaxY = end < target.clipMaxY ? end : target.clipMaxY;
        if (target.clipMinY < target.clipMaxY)
            rasterize(*t.pipeline, t.setup, target, t.textured);
    }
}

// The helpers wait for a job; any thread takes the next undrawn band until
// none is left. A helper that wakes late finds the bands taken, or takes
// bands of a later job (the claim orders it after that job's queue).
struct DrawThreads {
    int requested = 0; // glide2SetThreadCount's value
    std::vector<std::thread> helpers;
    std::mutex mutex;
    std::condition_variable wake;
    std::uint64_t job = 0;
    bool stopping = false;
    std::atomic<int> nextBand{bandCount};
    std::atomic<int> bandsDone{bandCount};

    void drawBands()
    {
        for (;;) {
            int band = nextBand.fetch_add(1, std::memory_order_acq_rel);
            if (band >= bandCount)
                return;
            drawBand(band);
            bandsDone.fetch_add(1, std::memory_order_acq_rel);
        }
    }

    void helperLoop()
    {
        std::uint64_t seen = 0;
        for (;;) {
            {
                std::unique_lock<std::mutex> lock(mutex);
                wake.wait(lock, [&] { return stopping || job != seen; });
                if (stopping)
                    return;
                seen = job;
            }
            drawBands();
        }
    }

    void stop()
    {
        {
            std::lock_guard<std::mutex> lock(mutex);
            stopping = true;
        }
        wake.notify_all();
        for (std::thread& t : helpers)
            t.join();
        helpers.clear();
        stopping = false;
    }

    ~DrawThreads() { stop(); }
};

DrawThreads threads;

int wantedThreads()
{
    int n = threads.requested;
    if (n <= 0) {
        const char* env = std::getenv("ORBIVALE_GLIDE2_THREADS");
        n = env ? std::atoi(env) : 0;
    }
    if (n <= 0)
        n = static_cast<int>(std::thread::hardware_concurrency());
    return n < 1 ? 1 : (n > 16 ? 16 : n);
}

void clearQueue()
{
    queue.triangles.clear();
    for (auto& band : queue.bands)
        band.clear();
    queue.pipelines.clear();
    queue.lastGeneration = 0;
}

} // namespace

void queueTriangle(const Pipeline& p, const TriangleSetup& s, const Target& target, bool textured)
{
    if (threads.helpers.empty()) {
        rasterize(p, s, target, textured);
        return;
    }
    int first, end;
    triangleRows(s, first, end);
    first = first > target.clipMinY ? first : target.clipMinY;
    end = end < target.clipMaxY ? end : target.clipMaxY;
    if (first >= end)
        return;
    if (p.generation == 0 || p.generation != queue.lastGeneration) {
        queue.pipelines.push_back(p);
        queue.lastGeneration = p.generation;
    }
    auto index = static_cast<std::uint32_t>(queue.triangles.size());
    queue.triangles.push_back({s, target, &queue.pipelines.back(), textured});
    // The physical rows the triangle touches, and the bands holding them.
    int top = target.lowerLeft ? screenHeight - end : first;
    int bottom = target.lowerLeft ? screenHeight - first : end;
    for (int band = top / bandRows; band <= (bottom - 1) / bandRows; ++band)
        queue.bands[band].push_back(index);
    if (queue.triangles.size() >= queueLimit)
        finishDrawing();
}

void finishDrawing()
{
    if (queue.triangles.empty())
        return;
    threads.bandsDone.store(0, std::memory_order_relaxed);
    threads.nextBand.store(0, std::memory_order_release);
    {
        std::lock_guard<std::mutex> lock(threads.mutex);
        ++threads.job;
    }
    threads.wake.notify_all();
    threads.drawBands();
    while (threads.bandsDone.load(std::memory_order_acquire) < bandCount)
        std::this_thread::yield();
    clearQueue();
}

void startDrawThreads()
{
    stopDrawThreads();
    int n = wantedThreads();
    for (int i = 1; i < n; ++i) {
        try {
            threads.helpers.emplace_back([] { threads.helperLoop(); });
        } catch (const std::system_error&) {
            break; // the system has no more threads for us: draw with those we have
        }
    }
}

void stopDrawThreads()
{
    finishDrawing();
    threads.stop();
}

void glide2SetThreadCount(int count)
{
    threads.requested = count;
    if (card.open)
        startDrawThreads();
}

int glide2ThreadCount() { return static_cast<int>(threads.helpers.size()) + 1; }
