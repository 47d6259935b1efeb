#include "audio/AudioModules.h"

#include "audio/ModuleLoader.h"

namespace horavia {

AudioModules::~AudioModules() {
    if (keep_) {
        return;
    }
    // the plug-ins first, as they live on the core
    for (const TAudioFormat& format : AudioFormats) {
        if (format.module != CoreModule) {
            Release(format.module);
        }
    }
    Release(CoreModule);
}

void AudioModules::Release(std::string_view module) {
    const auto it = loaded_.find(module);
    if (it == loaded_.end()) {
        return;
    }
    loader_.Unload(it->second);
    loaded_.erase(it);
}

bool AudioModules::Load(std::string_view module) {
    if (Handle(module)) {
        return true;
    }
    void* handle = loader_.Load(ModuleFile(module));
    if (!handle) {
        return false;
    }
    loaded_[module] = handle;
    for (std::size_t row = 0; row < std::size(AudioFormats); ++row) {
        if (AudioFormats[row].module == module) {
            calls_[row] =
                reinterpret_cast<bass::BASS_StreamCreateFile_t>(loader_.Resolve(handle, AudioFormats[row].entry));
        }
    }
    return true;
}

void* AudioModules::Handle(std::string_view module) const {
    const auto it = loaded_.find(module);
    return it == loaded_.end() ? nullptr : it->second;
}

bass::BASS_StreamCreateFile_t AudioModules::Call(const TAudioFormat& format) const {
    return calls_[static_cast<std::size_t>(&format - AudioFormats)];
}

} // namespace horavia
