#pragma once

#include "audio/AudioModules.h"
#include "audio/BassEntryPoints.h"
#include "audio/PlayerState.h"
#include "audio/lib/BassTypes.h"

#include <QString>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

namespace horavia {

class FadeTimer;
class MasterMixer;
class ModuleLoader;

// Station data of a network stream, from its ICY headers.
struct TBroadcastInfo {
    std::string StationName; // text after "icy-name:"
    std::string BitRate;     // text after "icy-br:"
};

// Plays the alarm sound: a local file or an "http://" stream, through the audio library loaded at run time.
// It never raises an error to its callers and never makes them wait on a sound source: opening a file
// (which may be a FIFO or lie on a hung network mount) and connecting a stream happen on the player's own
// worker thread. SetFileName hands the source to that thread, which opens it once; Play asks it to start
// the sound as soon as the source is open, and State is psPlaying from then on. A source that cannot be
// opened or started is logged, State falls back to psStopped and OnPlayEnd(false) tells the owner that the
// sound it was given is over. Without the library nothing is opened and Play returns false. The end,
// progress, metadata and download routines run on the library's threads; they reach the player only
// through SoundPlayer and call the events there.
class TRsySoundPlayer final {
public:
    using PlayEndEvent = std::function<void(bool aborted)>;
    using ProgressEvent = std::function<void(int percent)>;
    using DownloadStatusEvent = std::function<void(const std::string& text)>;
    using MetaDataEvent = std::function<void(const char* meta)>;

    // What the player reaches outside itself; tests give fakes. An empty entry means the real one.
    struct Dependencies {
        ModuleLoader* loader = nullptr;
        std::function<std::unique_ptr<MasterMixer>()> makeMixer;
        std::function<std::unique_ptr<FadeTimer>()> makeFadeTimer;
        // Open and start on the caller's thread instead of the worker; for a fake library that never blocks,
        // so that tests see each call's whole effect when it returns.
        bool openOnCallerThread = false;
    };

    static constexpr int FadeIntervalMs = 10;
    static constexpr double MinProgressStep = 131072.0; // bytes of decoded data between two progress marks

    // Create: loads the audio library and opens the output for the given window.
    explicit TRsySoundPlayer(void* windowHandle);
    TRsySoundPlayer(void* windowHandle, Dependencies deps);
    // Destroy: stops, puts the mixer and output volume back and releases the library.
    ~TRsySoundPlayer();
    TRsySoundPlayer(const TRsySoundPlayer&) = delete;
    TRsySoundPlayer& operator=(const TRsySoundPlayer&) = delete;

    // Selects a local file as the source (forgetting any stream address) and has it opened; an "http://"
    // address (any case) goes to SetURL. Returns at once.
    void SetFileName(const QString& name);
    // Stores the network address and has it connected as a stream. Returns at once.
    void SetURL(const std::string& url);
    // Starts the current source, opening it again when it has already played or failed. False when there
    // is nothing to play (no library, no address, an extension outside the list) or the start has already
    // failed; otherwise the start is under way and State is psPlaying. Returns at once.
    bool Play();
    // Stops the sound; OnPlayEnd is not raised.
    void Stop();
    // Lowers the output volume by one step per tick, then stops and restores the volume.
    void FadeOut();
    // The library's output volume, 0..100; 0 without the library.
    bass::DWORD GetVolume() const;
    void SetVolume(bass::DWORD volume);

    TPlayerState State() const { return state_.load(); }
    // Filled by the open; 0 and empty until then.
    std::int32_t LengthMs() const { return lengthMs_.load(); }
    bass::BASS_CHANNELINFO ChannelInfo() const;
    TBroadcastInfo BroadcastInfo() const;
    const QString& FileName() const { return fileName_; }
    const std::string& URL() const { return url_; }
    bool LibraryLoaded() const { return lib_ != nullptr; }
    bool Fading() const { return fading_; }
    // The fade timer, once the first fade made it; tests drive its ticks.
    FadeTimer* FadeTimerForTest() const { return fadeTimer_.get(); }

    // Takes station name and bit rate from an ICY header list (NUL-terminated strings ending with an empty
    // one). The prefixes are matched exactly; the walk is bounded.
    static TBroadcastInfo ParseBroadcastInfo(const char* icyTags);

    // Events; assign them before the first sound is opened: they are called on the library's threads and on
    // the player's worker.
    PlayEndEvent OnPlayEnd;
    ProgressEvent OnProgress;
    DownloadStatusEvent OnDownloadStatus;
    MetaDataEvent OnMetaData;

private:
    struct Worker;
    struct Source;
    using Lock = std::unique_lock<std::mutex>;

    void Request(const Source* source);
    bool CurrentSource(Source& source) const;
    void Kick(Lock& lock);
    static void WorkerMain(std::shared_ptr<Worker> worker, TRsySoundPlayer* self);
    bool Step(Worker& w, Lock& lock);
    bool OpenSource(Worker& w, Lock& lock, const Source& source);
    bool CreateFromFile(Worker& w, Lock& lock, const Source& source, bass::HSTREAM& handle, int& error);
    bool CreateFromUrl(Worker& w, Lock& lock, const Source& source, bass::HSTREAM& handle, int& error);
    void Install(Worker& w, Lock& lock, const Source& source, bass::HSTREAM handle);
    void StartChannel(Worker& w, Lock& lock);
    void RaisePlayEnd(Lock& lock);
    void ArmNotifications();
    void ClearMasterMute();
    void FadeTick();

    static void EndRoutine(bass::HSYNC handle, bass::DWORD channel, bass::DWORD data, void* user);
    static void ProgressRoutine(bass::HSYNC handle, bass::DWORD channel, bass::DWORD data, void* user);
    static void MetaRoutine(bass::HSYNC handle, bass::DWORD channel, bass::DWORD data, void* user);
    static void DownloadRoutine(const void* buffer, bass::DWORD length, void* user);
    static void LibraryLog(int level, const char* text);
    void HandleEnd(bass::DWORD channel);
    void HandleProgress(bass::DWORD channel);

    ModuleLoader& loader_;
    Dependencies deps_;
    // The core and the plug-ins, loaded by the format table's rows; the worker loads plug-ins as it opens.
    AudioModules modules_;
    void* lib_ = nullptr; // the core, held by modules_; null when it could not be loaded
    TBassEntryPoints api_;

    // Shared with the worker thread; it outlives the player when the worker is stuck in a blocking call.
    std::shared_ptr<Worker> worker_;
    bool workerAbandoned_ = false;

    std::atomic<bass::HSTREAM> channel_{0};
    QString fileName_; // caller's thread only
    std::string url_;  // caller's thread only
    std::atomic<std::int32_t> lengthMs_{0};
    std::atomic<TPlayerState> state_{psStopped};
    bass::BASS_CHANNELINFO channelInfo_{}; // the worker's lock guards it and broadcastInfo_
    std::unique_ptr<MasterMixer> mixer_;
    std::int32_t savedMasterVolume_ = 0; // 0..65535
    std::int32_t savedMasterMute_ = 0;
    bass::DWORD savedOutputVolume_ = 0; // 0..100
    TBroadcastInfo broadcastInfo_;
    std::atomic<bass::HSYNC> endSync_{0};
    std::atomic<bass::HSYNC> progressSync_{0};
    std::unique_ptr<FadeTimer> fadeTimer_;
    bass::DWORD volumeBeforeFade_ = 0;
    bool fading_ = false;
};

// The program's one player: created by the main window on the first alarm that plays a sound, freed when
// the window closes. The library's notification routines find the player here, from their own threads.
extern std::atomic<TRsySoundPlayer*> SoundPlayer;

} // namespace horavia
