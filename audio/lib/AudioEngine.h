#pragma once

#include "audio/lib/BassTypes.h"
#include "audio/lib/Channel.h"
#include "audio/lib/Decoder.h"

#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>

namespace horavia::audiolib {

class SyncDispatcher;

// The state behind the exported entry points: the output device, the streams and their notifications.
// One per loaded core module. The mixer runs on the output's thread and takes the same lock as the calls.
class AudioEngine final {
public:
    static AudioEngine& Instance();

    bool Init(int device, bass::DWORD freq);
    bool Free();
    bass::DWORD GetVolume() const { return volume_.load(); }
    bool SetVolume(bass::DWORD volume);

    bass::HSTREAM CreateFile(bool mem, const void* file, bass::DWORD offset, bass::DWORD length, bass::DWORD flags,
                             FormatFamily family);
    bass::HSTREAM CreateUrl(const char* url, bass::DWORD offset, bass::DWORD flags, bass::DOWNLOADPROC proc,
                            void* user);
    bool StreamFree(bass::HSTREAM handle);
    const char* GetTags(bass::DWORD handle, bass::DWORD tags);

    bass::HSYNC SetSync(bass::DWORD handle, bass::DWORD type, bass::QWORD param, bass::SYNCPROC proc, void* user);
    bool RemoveSync(bass::DWORD handle, bass::HSYNC sync);
    bass::QWORD GetLength(bass::DWORD handle);
    bass::QWORD GetPosition(bass::DWORD handle);
    double Bytes2Seconds(bass::DWORD handle, bass::QWORD pos);
    bool GetInfo(bass::DWORD handle, bass::BASS_CHANNELINFO* info);
    bool Play(bass::DWORD handle, bool restart);
    bool Stop(bass::DWORD handle);

    // Called by the output for every buffer it needs: fills it with the mix of the playing streams.
    void Mix(std::uint8_t* out, int bytes);
    // A network stream's reader reports a new stream title.
    void MetaChanged(bass::HSTREAM handle, const std::string& title);

    static void SetError(int code);
    static int LastError();

private:
    AudioEngine() = default;
    std::shared_ptr<Channel> Find(bass::DWORD handle); // lock held
    bass::HSTREAM Adopt(std::shared_ptr<Channel> ch);
    void DecodeLoop(const std::shared_ptr<Channel>& ch);
    static void StopThread(Channel& ch, std::unique_lock<std::mutex>& lock);

    struct Output;
    std::mutex mutex_;
    std::map<bass::DWORD, std::shared_ptr<Channel>> channels_;
    std::unique_ptr<Output> output_;
    std::unique_ptr<SyncDispatcher> dispatcher_;
    std::atomic<bass::DWORD> volume_{100};
    bass::DWORD nextHandle_ = 1;
    bool initialised_ = false;
    std::mutex lifeMutex_; // serialises Init and Free, which start and stop threads
};

} // namespace horavia::audiolib
