#include "paint/detail/Workers.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace workers {
namespace {

class CPool {
public:
    ~CPool() {
        {
            std::lock_guard<std::mutex> lock(m_Mutex);
            m_fQuit = true;
        }
        m_Wake.notify_all();
        for (std::thread& t : m_aThreads) {
            t.join();
        }
    }

    void Run(int32_t parts, void (*work)(void*, int32_t), void* context) {
        // One call at a time: the pool has one job slot.
        std::lock_guard<std::mutex> call(m_CallMutex);
        Grow(std::min(parts, kMaxThreads) - 1);
        {
            std::lock_guard<std::mutex> lock(m_Mutex);
            m_pWork = work;
            m_pContext = context;
            m_nParts = parts;
            m_nNext.store(0);
            m_nDone = 0;
            ++m_nGeneration;
        }
        m_Wake.notify_all();
        const int32_t mine = Take();
        std::unique_lock<std::mutex> lock(m_Mutex);
        m_nDone += mine;
        // Every worker out of Take() too, so none reaches into the next call.
        m_Finished.wait(lock, [&] { return m_nDone == m_nParts && m_nBusy == 0; });
        m_pWork = nullptr;
    }

private:
    // Works through the parts left; how many it did.
    int32_t Take() {
        int32_t done = 0;
        for (;;) {
            const int32_t part = m_nNext.fetch_add(1);
            if (part >= m_nParts) {
                return done;
            }
            m_pWork(m_pContext, part);
            ++done;
        }
    }

    void Grow(int32_t wanted) {
        while (int32_t(m_aThreads.size()) < wanted) {
            try {
                m_aThreads.emplace_back([this] { Loop(); });
            } catch (const std::system_error&) {
                return; // the caller and the workers there are take its parts
            }
        }
    }

    void Loop() {
        uint64_t seen = 0;
        std::unique_lock<std::mutex> lock(m_Mutex);
        for (;;) {
            m_Wake.wait(lock, [&] { return m_fQuit || (m_nGeneration != seen && m_pWork); });
            if (m_fQuit) {
                return;
            }
            seen = m_nGeneration;
            ++m_nBusy;
            lock.unlock();
            const int32_t did = Take();
            lock.lock();
            --m_nBusy;
            m_nDone += did;
            if (m_nDone == m_nParts && m_nBusy == 0) {
                m_Finished.notify_all();
            }
        }
    }

    std::mutex m_CallMutex;
    std::mutex m_Mutex;
    std::condition_variable m_Wake;
    std::condition_variable m_Finished;
    std::vector<std::thread> m_aThreads;
    void (*m_pWork)(void*, int32_t) = nullptr;
    void* m_pContext = nullptr;
    int32_t m_nParts = 0;
    std::atomic<int32_t> m_nNext{0};
    int32_t m_nDone = 0;
    int32_t m_nBusy = 0; // workers inside Take()
    uint64_t m_nGeneration = 0;
    bool m_fQuit = false;
};

CPool& Pool() {
    static CPool pool;
    return pool;
}

} // namespace

int32_t Available() {
    static const int32_t n =
        std::clamp(int32_t(std::thread::hardware_concurrency()), 1, kMaxThreads);
    return n;
}

void RunParts(int32_t parts, void (*work)(void*, int32_t), void* context) {
    if (parts <= 1) {
        if (parts == 1) {
            work(context, 0);
        }
        return;
    }
    Pool().Run(parts, work, context);
}

} // namespace workers
