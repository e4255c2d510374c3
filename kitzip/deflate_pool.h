// Deflate on worker threads: a file goes into the archive as pieces of at most kPieceSize bytes,
// each deflated on its own (primed with the last 32 KiB of the piece before it) and ended with
// a sync flush, the last with a final block, so that the pieces laid end to end are one deflate
// stream. Where a piece is compressed does not change a byte of it: one thread and many give
// the same archive.
#pragma once
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace kitzip {

constexpr std::size_t kPieceSize = 256 * 1024;
constexpr std::size_t kWindowSize = 32 * 1024;

struct Piece {
    // The first `dict` bytes of `in` are the tail of the piece before, the rest is data.
    std::vector<unsigned char> in;
    std::size_t dict = 0;
    int level = 0;      // 0: the data is only checksummed
    bool last = true;   // last piece of its file: ends the deflate stream
    // Results.
    std::vector<unsigned char> out;  // deflated data (level > 0)
    std::uint32_t crc = 0;           // CRC-32 of the data part of `in`
    bool failed = false;             // the compressor refused (out of memory)
    bool done = false;

    std::size_t DataSize() const { return in.size() - dict; }
    const unsigned char* Data() const { return in.data() + dict; }
};

// Deflates one piece; `z` is the thread's own compressor, kept from piece to piece.
struct Deflater;
void CompressPiece(Piece& p, Deflater& z);

// Worker threads taking pieces in the order they are submitted. With fewer than two threads
// there are no workers: Submit compresses at once on the calling thread.
class DeflatePool {
public:
    explicit DeflatePool(unsigned threads);
    ~DeflatePool();  // waits for the pieces in hand and stops the workers
    DeflatePool(const DeflatePool&) = delete;
    DeflatePool& operator=(const DeflatePool&) = delete;

    void Submit(const std::shared_ptr<Piece>& p);
    // Blocks until the piece is compressed.
    void Wait(const Piece& p);
    unsigned Threads() const { return threads_; }
    // For a library being unloaded, where waiting for a thread to end would never return:
    // queued pieces are dropped (marked failed), and once no worker holds one the workers are
    // left waiting, never to be woken again.
    void Abandon();

private:
    void Work();

    unsigned threads_;
    std::unique_ptr<Deflater> inline_;
    std::mutex mu_;
    std::condition_variable work_cv_, done_cv_;
    std::deque<std::shared_ptr<Piece>> todo_;
    std::vector<std::thread> workers_;
    unsigned busy_ = 0;
    unsigned started_ = 0;
    bool stop_ = false;
};

// Worker threads wanted: `asked` when nonzero, else the environment's KITZIP_THREADS when it is
// a number, else as many as there are cores; never more than 4.
unsigned ThreadsWanted(int asked);

}  // namespace kitzip
