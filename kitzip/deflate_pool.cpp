// Pieces of files deflated on worker threads.
#include "kitzip/deflate_pool.h"

#include <zlib.h>

#include <algorithm>
#include <cstdlib>

namespace kitzip {

struct Deflater {
    z_stream z{};
    int level = -1;
    ~Deflater() {
        if (level >= 0) deflateEnd(&z);
    }
    bool Start(int want) {
        if (level == want) return deflateReset(&z) == Z_OK;
        if (level >= 0) deflateEnd(&z);
        level = -1;
        z = z_stream{};
        if (deflateInit2(&z, want, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK) return false;
        level = want;
        return true;
    }
};

namespace {

bool Deflate(Piece& p, Deflater& d) {
    if (!d.Start(p.level)) return false;
    z_stream& z = d.z;
    if (p.dict > 0 && deflateSetDictionary(&z, p.in.data(), static_cast<uInt>(p.dict)) != Z_OK) return false;
    const int flush = p.last ? Z_FINISH : Z_SYNC_FLUSH;
    // The bound covers a final block; a sync flush adds at most an empty stored block.
    p.out.resize(deflateBound(&z, static_cast<uLong>(p.DataSize())) + 16);
    z.next_in = const_cast<unsigned char*>(p.Data());
    z.avail_in = static_cast<uInt>(p.DataSize());
    std::size_t have = 0;
    for (;;) {
        z.next_out = p.out.data() + have;
        z.avail_out = static_cast<uInt>(p.out.size() - have);
        int rc = deflate(&z, flush);
        if (rc == Z_STREAM_ERROR) return false;
        have = p.out.size() - z.avail_out;
        if (p.last ? rc == Z_STREAM_END : z.avail_out != 0) break;
        p.out.resize(p.out.size() * 2);
    }
    p.out.resize(have);
    return true;
}

}  // namespace

void CompressPiece(Piece& p, Deflater& d) {
    p.crc = static_cast<std::uint32_t>(crc32(0, p.Data(), static_cast<uInt>(p.DataSize())));
    if (p.level > 0 && !Deflate(p, d)) {
        p.failed = true;
        p.out.clear();
    }
}

DeflatePool::DeflatePool(unsigned threads) : threads_(std::max(1u, threads)) {
    if (threads_ < 2) {
        inline_ = std::make_unique<Deflater>();
        return;
    }
    for (unsigned i = 0; i < threads_; ++i) workers_.emplace_back([this] { Work(); });
    // A thread that has not begun yet waits for the loader's lock on Windows; were the library
    // freed before, it would wait on the lock held by the unloading and then start in freed
    // code. Once all have begun, none needs that lock again until it ends.
    std::unique_lock<std::mutex> lock(mu_);
    done_cv_.wait(lock, [&] { return started_ == threads_; });
}

DeflatePool::~DeflatePool() {
    {
        std::lock_guard<std::mutex> lock(mu_);
        stop_ = true;
    }
    work_cv_.notify_all();
    for (std::thread& t : workers_)
        if (t.joinable()) t.join();
}

void DeflatePool::Abandon() {
    std::unique_lock<std::mutex> lock(mu_);
    for (const std::shared_ptr<Piece>& p : todo_) p->done = p->failed = true;
    todo_.clear();
    done_cv_.wait(lock, [&] { return busy_ == 0; });
    for (std::thread& t : workers_) t.detach();
    workers_.clear();
}

void DeflatePool::Submit(const std::shared_ptr<Piece>& p) {
    if (inline_) {
        CompressPiece(*p, *inline_);
        p->done = true;
        return;
    }
    {
        std::lock_guard<std::mutex> lock(mu_);
        todo_.push_back(p);
    }
    work_cv_.notify_one();
}

void DeflatePool::Wait(const Piece& p) {
    if (inline_) return;
    std::unique_lock<std::mutex> lock(mu_);
    done_cv_.wait(lock, [&] { return p.done; });
}

void DeflatePool::Work() {
    Deflater d;
    std::unique_lock<std::mutex> lock(mu_);
    ++started_;
    done_cv_.notify_all();
    for (;;) {
        work_cv_.wait(lock, [&] { return stop_ || !todo_.empty(); });
        if (todo_.empty()) return;  // stopping, and nothing left
        std::shared_ptr<Piece> p = std::move(todo_.front());
        todo_.pop_front();
        ++busy_;
        lock.unlock();
        CompressPiece(*p, d);
        lock.lock();
        --busy_;
        p->done = true;
        done_cv_.notify_all();
    }
}

unsigned ThreadsWanted(int asked) {
    constexpr unsigned kMost = 4;
    if (asked > 0) return std::min<unsigned>(static_cast<unsigned>(asked), kMost);
    if (const char* env = std::getenv("KITZIP_THREADS")) {
        char* end = nullptr;
        long n = std::strtol(env, &end, 10);
        if (end != env && *end == '\0' && n > 0) return std::min<unsigned>(static_cast<unsigned>(n), kMost);
    }
    unsigned cores = std::thread::hardware_concurrency();
    return std::min(std::max(cores, 1u), kMost);
}

}  // namespace kitzip
