#include "audio/AudioModules.h"

#include "audio/ModuleLoader.h"

#include <algorithm>

namespace horavia {

namespace {

// The module's place in ModuleNames; ModuleNames.size() for a name the table does not know.
std::size_t IndexOf(std::string_view module) {
    return static_cast<std::size_t>(std::find(ModuleNames.begin(), ModuleNames.end(), module) - ModuleNames.begin());
}

static_assert(std::find(ModuleNames.begin(), ModuleNames.end(), CoreModule) != ModuleNames.end(),
              "the format table names the core");

} // namespace

AudioModules::AudioModules(ModuleLoader& loader) : loader_(loader) {}

AudioModules::~AudioModules() {
    if (keep_)
        return;
    const auto release = [this](std::size_t m) {
        if (handles_[m])
            loader_.Unload(handles_[m]);
        handles_[m] = nullptr;
    };
    // the plug-ins first, as they live on the core
    const std::size_t core = IndexOf(CoreModule);
    for (std::size_t m = 0; m < handles_.size(); ++m)
        if (m != core)
            release(m);
    release(core);
}

bool AudioModules::Load(std::string_view module) {
    const std::size_t m = IndexOf(module);
    if (m == handles_.size())
        return false;
    if (handles_[m])
        return true;
    handles_[m] = loader_.Load(ModuleFile(module));
    if (!handles_[m])
        return false;
    for (std::size_t row = 0; row < std::size(AudioFormats); ++row)
        if (AudioFormats[row].module == module)
            calls_[row] =
                reinterpret_cast<bass::BASS_StreamCreateFile_t>(loader_.Resolve(handles_[m], AudioFormats[row].entry));
    return true;
}

void* AudioModules::Handle(std::string_view module) const {
    const std::size_t m = IndexOf(module);
    return m < handles_.size() ? handles_[m] : nullptr;
}

bass::BASS_StreamCreateFile_t AudioModules::Call(const TAudioFormat& format) const {
    return calls_[static_cast<std::size_t>(&format - AudioFormats)];
}

} // namespace horavia
