#pragma once

// A fake audio library for the player's tests: entry points that record their calls and a loader that
// hands them out by name, with modules that can be made missing.

#include "audio/FadeTimer.h"
#include "audio/MasterMixer.h"
#include "audio/ModuleLoader.h"
#include "audio/lib/BassTypes.h"

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace horavia::test {

struct FakeSync {
    bass::HSYNC handle;
    bass::DWORD channel;
    bass::DWORD type;
    bass::QWORD param;
    bass::SYNCPROC proc;
    bool removed = false;
};

struct FakeStreamCall {
    std::string entry;
    std::u16string name;
    bass::DWORD flags;
};

// The one fake library of a test; entry points reach it through FakeBass::Current().
class FakeBass final {
public:
    FakeBass();
    ~FakeBass();
    static FakeBass& Current();

    // configuration
    bool initResult = true;
    bass::DWORD volume = 100;
    bass::QWORD length = 1000000;
    bass::QWORD position = 0;
    bool playResult = true;
    bool mp4Accepts = true;   // BASS_MP4_StreamCreateFile gives a stream
    bool createFails = false; // every stream-creating call gives 0
    std::string icyTags;      // NUL-separated, as the library returns them; empty: none
    const char* metaTags = nullptr;
    bass::DOWNLOADPROC downloadProc = nullptr;
    void* downloadUser = nullptr;

    // record
    std::vector<FakeStreamCall> creates;
    std::vector<FakeSync> syncs;
    std::vector<bass::DWORD> stops;
    std::vector<bass::DWORD> plays;
    std::vector<bass::DWORD> freed;
    std::vector<bass::DWORD> volumeSets;
    int initCalls = 0;
    int freeCalls = 0;
    bass::DWORD nextHandle = 100;
    bass::DWORD lastStream = 0;

    // helpers for tests
    std::vector<FakeSync*> LiveSyncs(bass::DWORD kindMask, bass::DWORD kind);
    FakeSync* LivePositionMark();
    FakeSync* LiveEnd();
    void Fire(FakeSync& sync, bass::DWORD data = 0);
    bass::DWORD LastChannel() const { return lastStream; }

    // the entry points by name
    static std::map<std::string, void*> EntryPoints();
};

// Hands out FakeBass's entry points for the module names the player asks for.
class FakeLoader final : public ModuleLoader {
public:
    std::set<std::string> available;
    std::vector<std::string> loads;
    std::vector<std::string> unloads;

    FakeLoader();
    Handle Load(const std::string& fileName) override;
    void* Resolve(Handle module, const char* name) override;
    void Unload(Handle module) override;

private:
    std::map<std::string, std::unique_ptr<std::string>> handles_;
};

class FakeMixer final : public MasterMixer {
public:
    struct Line {
        bool works = true;
        int left = 40000;
        int right = 50000;
        bool mute = true;
        int muteClears = 0;
        int writes = 0;
    };
    explicit FakeMixer(std::shared_ptr<Line> line) : line_(std::move(line)) {}
    bool ReadMaster(int& left, int& right, bool& mute) override;
    bool WriteMaster(int left, int right, bool mute) override;
    bool SetMasterMute(bool mute) override;

private:
    std::shared_ptr<Line> line_;
};

// A fade timer that ticks only when the test says so.
class ManualFadeTimer final : public FadeTimer {
public:
    struct Probe {
        bool alive = false;
        bool enabled = false;
        int interval = 0;
    };
    explicit ManualFadeTimer(std::shared_ptr<Probe> probe) : probe_(std::move(probe)) { probe_->alive = true; }
    ~ManualFadeTimer() override { probe_->alive = false; }
    void SetHandler(std::function<void()> onTick) override { tick_ = std::move(onTick); }
    void SetInterval(int ms) override { probe_->interval = ms; }
    void SetEnabled(bool enabled) override { probe_->enabled = enabled; }
    bool Enabled() const override { return probe_->enabled; }
    // one period passes: the handler runs when the timer is enabled
    bool Tick() {
        if (!probe_->enabled) {
            { return false; }
        }
        tick_();
        return true;
    }

private:
    std::shared_ptr<Probe> probe_;
    std::function<void()> tick_;
};

} // namespace horavia::test
