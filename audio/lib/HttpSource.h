#pragma once

#include "audio/lib/BassTypes.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace horavia::audiolib {

// The body of an "http://" stream, fetched on a thread of its own. Connecting and reading the response
// head are bounded by ConnectTimeoutMs so that the caller of BASS_StreamCreateURL never waits longer.
class HttpSource final {
public:
    static constexpr int ConnectTimeoutMs = 5000;
    static constexpr std::size_t MaxUrlLength = 2048;
    static constexpr std::size_t BufferLimit = 256 * 1024;

    // Connects and reads the head. Each head line goes to status (length 0); data blocks go to data.
    static std::shared_ptr<HttpSource> Connect(const char* url, bass::DOWNLOADPROC status, bass::DOWNLOADPROC data,
                                               void* user, int& error);
    ~HttpSource();
    HttpSource(const HttpSource&) = delete;
    HttpSource& operator=(const HttpSource&) = delete;

    std::string IcyTags() const { return icyTags_; }
    void OnMeta(std::function<void(const std::string&)> handler) { onMeta_ = std::move(handler); }
    // starts fetching the body
    void Start();
    // waits for body bytes; 0 at the end of the stream or after Abort
    int Read(std::uint8_t* buf, int size);
    // ends the fetch and wakes a waiting reader
    void Abort();

    // Name lookups that outlived their connect keep running on their own threads. Waits up to limit for
    // them; one still running after that keeps the module loaded for good, so that it never returns into
    // unmapped code.
    static void JoinLookups(std::chrono::milliseconds limit);

private:
    HttpSource() = default;
    void Run();
    void Deliver(const std::uint8_t* bytes, std::size_t n);

    int socket_ = -1;
    long metaInterval_ = 0;
    long untilMeta_ = 0;
    std::string metaBlock_;
    long metaLeft_ = -1; // -1: not inside a metadata block
    std::string icyTags_;
    std::vector<std::uint8_t> early_; // body bytes that came with the head
    bass::DOWNLOADPROC data_ = nullptr;
    void* user_ = nullptr;
    std::function<void(const std::string&)> onMeta_;

    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<std::uint8_t> buffer_;
    bool finished_ = false;
    std::atomic<bool> abort_{false};
    std::thread thread_;
};

} // namespace horavia::audiolib
