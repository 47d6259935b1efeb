#pragma once

#include "audio/AudioFormats.h"
#include "audio/lib/BassTypes.h"

#include <array>
#include <iterator>
#include <map>
#include <string_view>

namespace horavia {

class ModuleLoader;

// The audio library's modules as the format table names them: the core, which the player loads first, and
// the plug-ins, each loaded at the first open of one of its formats. Loading a module resolves the call of
// each of its rows. Everything loaded is released when this goes: the plug-ins in table order, the core
// last. Not thread-safe: one thread at a time.
class AudioModules final {
public:
    explicit AudioModules(ModuleLoader& loader) : loader_(loader) {}
    ~AudioModules();
    AudioModules(const AudioModules&) = delete;
    AudioModules& operator=(const AudioModules&) = delete;

    // Loads the named module unless it is loaded already; false when it cannot be loaded, and then it is
    // tried again at the next call.
    bool Load(std::string_view module);
    // The module's handle; null until it is loaded.
    void* Handle(std::string_view module) const;
    // The call of a row of AudioFormats; null until its module is loaded, or when the module does not offer it.
    bass::BASS_StreamCreateFile_t Call(const TAudioFormat& format) const;
    // Leaves every module loaded when this goes, for code that may still run inside them.
    void KeepLoaded() { keep_ = true; }

private:
    void Release(std::string_view module);

    ModuleLoader& loader_;
    std::map<std::string_view, void*> loaded_;
    std::array<bass::BASS_StreamCreateFile_t, std::size(AudioFormats)> calls_{};
    bool keep_ = false;
};

} // namespace horavia
