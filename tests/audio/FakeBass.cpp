#include "FakeBass.h"

#include "audio/AudioFormats.h"

#include <algorithm>
#include <iterator>
#include <utility>

namespace horavia::test {

namespace {

using namespace horavia::bass;

FakeBass* current = nullptr;

std::u16string Wide(const void* p) {
    return p ? std::u16string(static_cast<const char16_t*>(p)) : std::u16string();
}

HSTREAM Create(const char* entry, const void* file, DWORD flags) {
    FakeBass& f = FakeBass::Current();
    f.creates.push_back({entry, Wide(file), flags});
    if (f.createFails) {
        return 0;
    }
    if (std::string(entry) == "BASS_MP4_StreamCreateFile" && !f.mp4Accepts) {
        return 0;
    }
    f.lastStream = f.nextHandle++;
    return f.lastStream;
}

BOOL Init(int, DWORD, DWORD, HWND, const void*) {
    ++FakeBass::Current().initCalls;
    return FakeBass::Current().initResult;
}
BOOL Free() {
    ++FakeBass::Current().freeCalls;
    return 1;
}
DWORD GetVolume() {
    return FakeBass::Current().volume;
}
BOOL SetVolume(DWORD v) {
    FakeBass::Current().volume = v;
    FakeBass::Current().volumeSets.push_back(v);
    return 1;
}
// The stream-creating call of a row of the format table.
template <std::size_t Row> HSTREAM RowCreate(BOOL, const void* f, DWORD, DWORD, DWORD flags) {
    return Create(AudioFormats[Row].entry, f, flags);
}
HSTREAM CreateUrl(const char* url, DWORD, DWORD flags, DOWNLOADPROC proc, void* user) {
    FakeBass& f = FakeBass::Current();
    f.creates.push_back(
        {"BASS_StreamCreateURL", std::u16string(url, url + std::char_traits<char>::length(url)), flags});
    f.downloadProc = proc;
    f.downloadUser = user;
    if (f.createFails) {
        return 0;
    }
    f.lastStream = f.nextHandle++;
    return f.lastStream;
}
BOOL StreamFree(HSTREAM h) {
    FakeBass::Current().freed.push_back(h);
    // a freed stream's notifications go with it
    for (auto& s : FakeBass::Current().syncs) {
        if (s.channel == h) {
            s.removed = true;
        }
    }
    return 1;
}
const char* GetTags(DWORD, DWORD tags) {
    FakeBass& f = FakeBass::Current();
    if (tags == BASS_TAG_ICY) {
        return f.icyTags.empty() ? nullptr : f.icyTags.c_str();
    }
    if (tags == BASS_TAG_META) {
        return f.metaTags;
    }
    return nullptr;
}
HSYNC SetSync(DWORD ch, DWORD type, QWORD param, SYNCPROC proc, void*) {
    FakeBass& f = FakeBass::Current();
    const HSYNC h = f.nextHandle++;
    f.syncs.push_back({h, ch, type, param, proc});
    return h;
}
BOOL RemoveSync(DWORD, HSYNC h) {
    for (auto& s : FakeBass::Current().syncs) {
        if (s.handle == h && !s.removed) {
            s.removed = true;
            return 1;
        }
    }
    return 0;
}
QWORD GetLength(DWORD, DWORD) {
    return FakeBass::Current().length;
}
QWORD GetPosition(DWORD, DWORD) {
    return FakeBass::Current().position;
}
double Bytes2Seconds(DWORD, QWORD pos) {
    return static_cast<double>(pos) / 176400.0;
}
BOOL GetInfo(DWORD, BASS_CHANNELINFO* info) {
    *info = {44100, 2, 0, BASS_CTYPE_STREAM_MP3, 0};
    return 1;
}
BOOL ChannelPlay(DWORD h, BOOL) {
    FakeBass::Current().plays.push_back(h);
    return FakeBass::Current().playResult;
}
BOOL ChannelStop(DWORD h) {
    FakeBass::Current().stops.push_back(h);
    return 1;
}

template <typename F> void* Addr(F f) {
    return reinterpret_cast<void*>(f);
}

// The calls of the rows that a module of this library plays, as the real modules offer them.
template <std::size_t... Rows> void AddRowCalls(std::map<std::string, void*>& calls, std::index_sequence<Rows...>) {
    const auto add = [&calls](std::size_t row, void* call) {
        if (AudioFormats[row].built) {
            calls.emplace(AudioFormats[row].entry, call);
        }
    };
    (add(Rows, Addr(&RowCreate<Rows>)), ...);
}

} // namespace

FakeBass::FakeBass() {
    current = this;
}
FakeBass::~FakeBass() {
    current = nullptr;
}
FakeBass& FakeBass::Current() {
    return *current;
}

std::map<std::string, void*> FakeBass::EntryPoints() {
    std::map<std::string, void*> calls{{"BASS_Init", Addr(&Init)},
                                       {"BASS_Free", Addr(&Free)},
                                       {"BASS_GetVolume", Addr(&GetVolume)},
                                       {"BASS_SetVolume", Addr(&SetVolume)},
                                       {"BASS_StreamCreateURL", Addr(&CreateUrl)},
                                       {"BASS_StreamFree", Addr(&StreamFree)},
                                       {"BASS_StreamGetTags", Addr(&GetTags)},
                                       {"BASS_ChannelSetSync", Addr(&SetSync)},
                                       {"BASS_ChannelRemoveSync", Addr(&RemoveSync)},
                                       {"BASS_ChannelGetLength", Addr(&GetLength)},
                                       {"BASS_ChannelGetPosition", Addr(&GetPosition)},
                                       {"BASS_ChannelBytes2Seconds", Addr(&Bytes2Seconds)},
                                       {"BASS_ChannelGetInfo", Addr(&GetInfo)},
                                       {"BASS_ChannelPlay", Addr(&ChannelPlay)},
                                       {"BASS_ChannelStop", Addr(&ChannelStop)}};
    AddRowCalls(calls, std::make_index_sequence<std::size(AudioFormats)>());
    return calls;
}

std::vector<FakeSync*> FakeBass::LiveSyncs(DWORD kindMask, DWORD kind) {
    std::vector<FakeSync*> out;
    for (auto& s : syncs) {
        if (!s.removed && (s.type & kindMask) == kind) {
            out.push_back(&s);
        }
    }
    return out;
}

FakeSync* FakeBass::LivePositionMark() {
    FakeSync* found = nullptr;
    for (auto& s : syncs) {
        if (!s.removed && (s.type & 0xffff) == BASS_SYNC_POS) {
            found = &s;
        }
    }
    return found;
}

FakeSync* FakeBass::LiveEnd() {
    for (auto& s : syncs) {
        if (!s.removed && (s.type & 0xffff) == BASS_SYNC_END) {
            return &s;
        }
    }
    return nullptr;
}

void FakeBass::Fire(FakeSync& sync, DWORD data) {
    // a one-time notification is gone once it fired, as in the library
    if (sync.type & BASS_SYNC_ONETIME) {
        sync.removed = true;
    }
    const FakeSync copy = sync;
    copy.proc(copy.handle, copy.channel, data, nullptr);
}

// The fake offers every module of the format table whose calls it fakes.
FakeLoader::FakeLoader() {
    const auto calls = FakeBass::EntryPoints();
    std::set<std::string_view> unfaked;
    for (const TAudioFormat& format : AudioFormats) {
        if (!calls.count(format.entry)) {
            unfaked.insert(format.module);
        }
    }
    for (const TAudioFormat& format : AudioFormats) {
        if (!unfaked.count(format.module)) {
            available.insert(ModuleFile(format.module));
        }
    }
}

ModuleLoader::Handle FakeLoader::Load(const std::string& fileName) {
    loads.push_back(fileName);
    if (!available.count(fileName)) {
        return nullptr;
    }
    auto& h = handles_[fileName];
    if (!h) {
        h = std::make_unique<std::string>(fileName);
    }
    return h.get();
}

void* FakeLoader::Resolve(Handle module, const char* name) {
    if (!module) {
        return nullptr;
    }
    const std::string& file = *static_cast<std::string*>(module);
    // each module offers only its own calls: a plug-in those of its rows, the core every other one
    std::string_view owner = CoreModule;
    for (const TAudioFormat& format : AudioFormats) {
        if (std::string_view(format.entry) == name) {
            owner = format.module;
        }
    }
    if (file != ModuleFile(owner)) {
        return nullptr;
    }
    const auto all = FakeBass::EntryPoints();
    const auto it = all.find(name);
    return it == all.end() ? nullptr : it->second;
}

void FakeLoader::Unload(Handle module) {
    unloads.push_back(*static_cast<std::string*>(module));
}

bool FakeMixer::ReadMaster(int& left, int& right, bool& mute) {
    if (!line_->works) {
        return false;
    }
    left = line_->left;
    right = line_->right;
    mute = line_->mute;
    return true;
}

bool FakeMixer::WriteMaster(int left, int right, bool mute) {
    if (!line_->works) {
        return false;
    }
    ++line_->writes;
    line_->left = left;
    line_->right = right;
    line_->mute = mute;
    return true;
}

bool FakeMixer::SetMasterMute(bool mute) {
    if (!line_->works) {
        return false;
    }
    if (!mute) {
        ++line_->muteClears;
    }
    line_->mute = mute;
    return true;
}

} // namespace horavia::test
