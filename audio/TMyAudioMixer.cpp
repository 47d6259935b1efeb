#include "audio/TMyAudioMixer.h"

#include "audio/AudioLog.h"

#include <QLoggingCategory>

#include <alsa/asoundlib.h>

#include <algorithm>

namespace horavia {

namespace {

Q_LOGGING_CATEGORY(lcMixer, "horavia.audio.mixer", QtWarningMsg)

constexpr int FullScale = 65535;

long ToAlsa(int v, long min, long max) {
    const long long clamped = std::clamp(v, 0, FullScale);
    return min + static_cast<long>((clamped * (max - min) + FullScale / 2) / FullScale);
}

int FromAlsa(long v, long min, long max) {
    if (max <= min) {
        return 0;
    }
    const long long scaled =
        (static_cast<long long>(std::clamp(v, min, max) - min) * FullScale + (max - min) / 2) / (max - min);
    return static_cast<int>(scaled);
}

} // namespace

struct TMyAudioMixer::Impl {
    snd_mixer_t* mixer = nullptr;
    snd_mixer_elem_t* master = nullptr;
    long min = 0;
    long max = 0;

    ~Impl() {
        if (mixer) {
            snd_mixer_close(mixer);
        }
    }
};

TMyAudioMixer::TMyAudioMixer() : impl_(std::make_unique<Impl>()) {
    RouteAlsaLog();
    snd_mixer_t* m = nullptr;
    if (snd_mixer_open(&m, 0) < 0) {
        return;
    }
    impl_->mixer = m;
    if (snd_mixer_attach(m, "default") < 0 || snd_mixer_selem_register(m, nullptr, nullptr) < 0 ||
        snd_mixer_load(m) < 0) {
        qCWarning(lcMixer) << "No system mixer; the master volume is left alone";
        return;
    }
    snd_mixer_selem_id_t* id = nullptr;
    snd_mixer_selem_id_alloca(&id);
    snd_mixer_selem_id_set_index(id, 0);
    snd_mixer_selem_id_set_name(id, "Master");
    snd_mixer_elem_t* elem = snd_mixer_find_selem(m, id);
    if (!elem || !snd_mixer_selem_has_playback_volume(elem)) {
        qCWarning(lcMixer) << "The default sound device has no Master control";
        return;
    }
    snd_mixer_selem_get_playback_volume_range(elem, &impl_->min, &impl_->max);
    impl_->master = elem;
}

TMyAudioMixer::~TMyAudioMixer() = default;

bool TMyAudioMixer::Available() const {
    return impl_->master != nullptr;
}

bool TMyAudioMixer::ReadMaster(int& left, int& right, bool& mute) {
    snd_mixer_elem_t* e = impl_->master;
    if (!e) {
        return false;
    }
    snd_mixer_handle_events(impl_->mixer);
    long l = 0;
    long r = 0;
    if (snd_mixer_selem_get_playback_volume(e, SND_MIXER_SCHN_FRONT_LEFT, &l) < 0) {
        return false;
    }
    if (snd_mixer_selem_is_playback_mono(e) ||
        snd_mixer_selem_get_playback_volume(e, SND_MIXER_SCHN_FRONT_RIGHT, &r) < 0) {
        r = l;
    }
    // the switch is "on" when the line sounds, so mute is its opposite; no switch means never muted
    int sw = 1;
    if (snd_mixer_selem_has_playback_switch(e) &&
        snd_mixer_selem_get_playback_switch(e, SND_MIXER_SCHN_FRONT_LEFT, &sw) < 0) {
        return false;
    }
    left = FromAlsa(l, impl_->min, impl_->max);
    right = FromAlsa(r, impl_->min, impl_->max);
    mute = sw == 0;
    return true;
}

bool TMyAudioMixer::WriteMaster(int left, int right, bool mute) {
    snd_mixer_elem_t* e = impl_->master;
    if (!e) {
        return false;
    }
    bool ok =
        snd_mixer_selem_set_playback_volume(e, SND_MIXER_SCHN_FRONT_LEFT, ToAlsa(left, impl_->min, impl_->max)) >= 0;
    if (!snd_mixer_selem_is_playback_mono(e)) {
        ok = snd_mixer_selem_set_playback_volume(e, SND_MIXER_SCHN_FRONT_RIGHT,
                                                 ToAlsa(right, impl_->min, impl_->max)) >= 0 &&
             ok;
    }
    return SetMasterMute(mute) && ok;
}

bool TMyAudioMixer::SetMasterMute(bool mute) {
    snd_mixer_elem_t* e = impl_->master;
    if (!e) {
        return false;
    }
    if (!snd_mixer_selem_has_playback_switch(e)) {
        return !mute; // a line without a switch cannot be muted, but is never muted either
    }
    return snd_mixer_selem_set_playback_switch_all(e, mute ? 0 : 1) >= 0;
}

} // namespace horavia
