#include "audio/lib/HttpSource.h"

#include "audio/lib/IcyHeaderParser.h"
#include "audio/lib/LibraryLog.h"

#include <arpa/inet.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <list>

namespace horavia::audiolib {

namespace {

using Clock = std::chrono::steady_clock;

struct Address {
    std::string host;
    std::string port = "80";
    std::string path = "/";
};

bool ParseUrl(const char* url, Address& a) {
    const std::string_view text(url, strnlen(url, HttpSource::MaxUrlLength + 1));
    if (text.size() > HttpSource::MaxUrlLength || text.size() < 8) {
        return false;
    }
    for (std::size_t i = 0; i < 7; ++i) {
        if (std::tolower(static_cast<unsigned char>(text[i])) != "http://"[i]) {
            return false;
        }
    }
    std::string_view rest = text.substr(7);
    for (char c : rest) {
        if (static_cast<unsigned char>(c) <= 0x20 || c == 0x7f) {
            return false; // no spaces or line breaks may reach the request line
        }
    }
    const auto slash = rest.find('/');
    std::string_view authority = rest.substr(0, slash);
    if (slash != std::string_view::npos) {
        a.path = std::string(rest.substr(slash));
    }
    if (authority.find('@') != std::string_view::npos) {
        return false;
    }
    const auto colon = authority.rfind(':');
    if (colon != std::string_view::npos && authority.find(']') == std::string_view::npos) {
        a.port = std::string(authority.substr(colon + 1));
        authority = authority.substr(0, colon);
        if (a.port.empty() || a.port.size() > 5 || !std::all_of(a.port.begin(), a.port.end(), ::isdigit)) {
            return false;
        }
    }
    a.host = std::string(authority);
    return !a.host.empty();
}

int RemainingMs(Clock::time_point deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

// One name lookup on its own thread. The caller stops waiting at its deadline; the thread cannot be
// interrupted inside getaddrinfo, so it is kept (never detached) until it ends and is joined.
struct Lookup {
    std::mutex m;
    std::condition_variable cv;
    bool done = false;      // the result is in
    bool abandoned = false; // the caller gave up; the thread frees its own result
    addrinfo* result = nullptr;
    bool finished = false; // the thread has nothing left to do but return; guarded by the late list's lock
    std::thread thread;
};

// Lookups whose caller gave up, joined later: at the next lookup or when the library is freed.
struct LateLookups {
    std::mutex m;
    std::condition_variable cv;
    std::list<std::shared_ptr<Lookup>> list;
};

LateLookups& Late() {
    static LateLookups late;
    return late;
}

// Joins the late lookups that have ended; the rest stay listed. The late list's lock is held.
void ReapFinished(LateLookups& late) {
    for (auto it = late.list.begin(); it != late.list.end();) {
        if ((*it)->finished) {
            (*it)->thread.join();
            it = late.list.erase(it);
        } else {
            ++it;
        }
    }
}

// Keeps this module in memory until the process ends.
void PinModule() {
    Dl_info info{};
    if (::dladdr(reinterpret_cast<void*>(&PinModule), &info) != 0 && info.dli_fname) {
        (void)::dlopen(info.dli_fname, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
    }
}

// Resolves on a helper thread so that a slow name server cannot hold the caller past the deadline.
addrinfo* Resolve(const Address& a, Clock::time_point deadline) {
    {
        std::lock_guard lock(Late().m);
        ReapFinished(Late());
    }
    auto lookup = std::make_shared<Lookup>();
    // the thread holds the record too: once detached it may outlive every other holder
    lookup->thread = std::thread([l = lookup, host = a.host, port = a.port] {
        addrinfo hints{};
        hints.ai_family = AF_UNSPEC;
        hints.ai_socktype = SOCK_STREAM;
        addrinfo* res = nullptr;
        if (getaddrinfo(host.c_str(), port.c_str(), &hints, &res) != 0) {
            res = nullptr;
        }
        {
            std::lock_guard lock(l->m);
            if (l->abandoned) {
                if (res) {
                    freeaddrinfo(res);
                }
            } else {
                l->result = res;
            }
            l->done = true;
            l->cv.notify_all();
        }
        std::lock_guard lock(Late().m);
        l->finished = true;
        Late().cv.notify_all();
    });
    std::unique_lock lock(lookup->m);
    if (lookup->cv.wait_until(lock, deadline, [&] { return lookup->done; })) {
        lock.unlock();
        lookup->thread.join();
        return lookup->result;
    }
    lookup->abandoned = true;
    lock.unlock();
    Log(LogWarning, "name lookup of %s timed out", a.host.c_str());
    std::lock_guard late(Late().m);
    Late().list.push_back(std::move(lookup));
    return nullptr;
}

int ConnectSocket(const Address& a, Clock::time_point deadline, int& error) {
    addrinfo* list = Resolve(a, deadline);
    if (!list) {
        error = RemainingMs(deadline) == 0 ? bass::BASS_ERROR_TIMEOUT : bass::BASS_ERROR_NONET;
        return -1;
    }
    int fd = -1;
    error = bass::BASS_ERROR_NONET;
    for (addrinfo* ai = list; ai && fd < 0; ai = ai->ai_next) {
        fd = ::socket(ai->ai_family, ai->ai_socktype | SOCK_CLOEXEC | SOCK_NONBLOCK, ai->ai_protocol);
        if (fd < 0) {
            continue;
        }
        if (::connect(fd, ai->ai_addr, ai->ai_addrlen) == 0) {
            break;
        }
        pollfd p{fd, POLLOUT, 0};
        int soError = 0;
        socklen_t len = sizeof soError;
        if (errno != EINPROGRESS || ::poll(&p, 1, RemainingMs(deadline)) != 1 ||
            getsockopt(fd, SOL_SOCKET, SO_ERROR, &soError, &len) != 0 || soError != 0) {
            error = RemainingMs(deadline) == 0 ? bass::BASS_ERROR_TIMEOUT : bass::BASS_ERROR_NONET;
            ::close(fd);
            fd = -1;
        }
    }
    freeaddrinfo(list);
    return fd;
}

bool SendAll(int fd, const std::string& text, Clock::time_point deadline) {
    std::size_t sent = 0;
    while (sent < text.size()) {
        pollfd p{fd, POLLOUT, 0};
        if (::poll(&p, 1, RemainingMs(deadline)) != 1) {
            return false;
        }
        const ssize_t n = ::send(fd, text.data() + sent, text.size() - sent, MSG_NOSIGNAL);
        if (n < 0 && errno != EAGAIN && errno != EINTR) {
            return false;
        }
        if (n > 0) {
            sent += static_cast<std::size_t>(n);
        }
    }
    return true;
}

} // namespace

std::shared_ptr<HttpSource> HttpSource::Connect(const char* url, bass::DOWNLOADPROC status, bass::DOWNLOADPROC data,
                                                void* user, int& error) {
    Address a;
    if (!ParseUrl(url, a)) {
        error = bass::BASS_ERROR_ILLPARAM;
        return nullptr;
    }
    const auto deadline = Clock::now() + std::chrono::milliseconds(ConnectTimeoutMs);
    const int fd = ConnectSocket(a, deadline, error);
    if (fd < 0) {
        return nullptr;
    }
    std::shared_ptr<HttpSource> src(new HttpSource);
    src->socket_ = fd;
    const std::string request = "GET " + a.path + " HTTP/1.0\r\nHost: " + a.host +
                                "\r\nUser-Agent: Horavia\r\nIcy-MetaData: 1\r\nConnection: close\r\n\r\n";
    if (!SendAll(fd, request, deadline)) {
        error = bass::BASS_ERROR_TIMEOUT;
        return nullptr;
    }
    IcyHeaderParser parser;
    char buf[4096];
    while (parser.Result() == IcyHeaderParser::Status::NeedMore) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, RemainingMs(deadline)) != 1) {
            error = bass::BASS_ERROR_TIMEOUT;
            return nullptr;
        }
        const ssize_t n = ::recv(fd, buf, sizeof buf, 0);
        if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
            continue;
        }
        if (n <= 0) {
            break;
        }
        std::size_t used = 0;
        parser.Feed(buf, static_cast<std::size_t>(n), used);
        if (parser.Result() == IcyHeaderParser::Status::Done) {
            src->early_.assign(buf + used, buf + n);
        }
    }
    if (parser.Result() != IcyHeaderParser::Status::Done) {
        error = bass::BASS_ERROR_FILEFORM;
        return nullptr;
    }
    if (status) {
        for (const auto& line : parser.Lines()) {
            status(line.c_str(), 0, user);
        }
    }
    src->icyTags_ = parser.IcyTags();
    src->metaInterval_ = parser.MetaInterval();
    src->untilMeta_ = src->metaInterval_;
    src->data_ = data;
    src->user_ = user;
    error = bass::BASS_OK;
    return src;
}

HttpSource::~HttpSource() {
    Abort();
    if (thread_.joinable()) {
        thread_.join();
    }
    if (socket_ >= 0) {
        ::close(socket_);
    }
}

void HttpSource::JoinLookups(std::chrono::milliseconds limit) {
    LateLookups& late = Late();
    std::unique_lock lock(late.m);
    late.cv.wait_for(lock, limit, [&] {
        return std::all_of(late.list.begin(), late.list.end(), [](auto& l) { return l->finished; });
    });
    ReapFinished(late);
    if (late.list.empty()) {
        return;
    }
    Log(LogWarning, "%zu name lookups still running; the audio library stays loaded", late.list.size());
    PinModule();
    for (auto& l : late.list) {
        l->thread.detach();
    }
    late.list.clear();
}

void HttpSource::Start() {
    thread_ = std::thread([this] { Run(); });
}

void HttpSource::Abort() {
    abort_ = true;
    std::lock_guard lock(mutex_);
    changed_.notify_all();
}

int HttpSource::Read(std::uint8_t* buf, int size) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return abort_.load() || finished_ || !buffer_.empty(); });
    if (abort_ || buffer_.empty()) {
        return 0;
    }
    const auto n = std::min<std::size_t>(static_cast<std::size_t>(size), buffer_.size());
    std::memcpy(buf, buffer_.data(), n);
    buffer_.erase(buffer_.begin(), buffer_.begin() + static_cast<std::ptrdiff_t>(n));
    changed_.notify_all();
    return static_cast<int>(n);
}

// Splits the body into audio and the metadata blocks that a server with icy-metaint interleaves.
void HttpSource::Deliver(const std::uint8_t* bytes, std::size_t n) {
    std::size_t i = 0;
    while (i < n) {
        if (metaInterval_ > 0 && untilMeta_ == 0) {
            if (metaLeft_ < 0) {
                metaLeft_ = static_cast<long>(bytes[i++]) * 16;
                metaBlock_.clear();
            }
            const auto take = std::min<std::size_t>(static_cast<std::size_t>(metaLeft_), n - i);
            metaBlock_.append(reinterpret_cast<const char*>(bytes + i), take);
            i += take;
            metaLeft_ -= static_cast<long>(take);
            if (metaLeft_ == 0) {
                metaLeft_ = -1;
                untilMeta_ = metaInterval_;
                const auto end = metaBlock_.find('\0');
                if (end != std::string::npos) {
                    metaBlock_.resize(end);
                }
                if (!metaBlock_.empty() && onMeta_) {
                    onMeta_(metaBlock_);
                }
            }
            continue;
        }
        std::size_t take = n - i;
        if (metaInterval_ > 0) {
            take = std::min<std::size_t>(take, static_cast<std::size_t>(untilMeta_));
        }
        if (data_) {
            data_(bytes + i, static_cast<bass::DWORD>(take), user_);
        }
        std::unique_lock lock(mutex_);
        // the decoder takes the audio at playing speed; the fetch waits rather than hoarding memory
        changed_.wait(lock, [this] { return abort_.load() || buffer_.size() < BufferLimit; });
        if (abort_) {
            return;
        }
        buffer_.insert(buffer_.end(), bytes + i, bytes + i + take);
        changed_.notify_all();
        lock.unlock();
        i += take;
        if (metaInterval_ > 0) {
            untilMeta_ -= static_cast<long>(take);
        }
    }
}

void HttpSource::Run() {
    Deliver(early_.data(), early_.size());
    early_.clear();
    std::uint8_t buf[16384];
    while (!abort_) {
        pollfd p{socket_, POLLIN, 0};
        const int rc = ::poll(&p, 1, 200);
        if (rc == 0 || (rc < 0 && errno == EINTR)) {
            continue;
        }
        if (rc < 0) {
            break;
        }
        const ssize_t n = ::recv(socket_, buf, sizeof buf, 0);
        if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
            continue;
        }
        if (n <= 0) {
            break;
        }
        Deliver(buf, static_cast<std::size_t>(n));
    }
    if (data_ && !abort_) {
        data_(nullptr, 0, user_); // end of the download
    }
    std::lock_guard lock(mutex_);
    finished_ = true;
    changed_.notify_all();
}

} // namespace horavia::audiolib
