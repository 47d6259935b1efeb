#include "app/AlarmSequence.h"

#include "app/SurfaceButtons.h"
#include "audio/RsySoundPlayer.h"
#include "texts/Texts.h"

#include <QMessageBox>
#include <QWidget>

#include <utility>

namespace horavia {

AlarmSequence::AlarmSequence(QWidget& window, const Settings& config, const MainWindowServices& services,
                             Surface& surface, SurfaceButtons& buttons, std::function<void()> redraw)
    : window_(window), config_(config), services_(services), surface_(surface), buttons_(buttons),
      redraw_(std::move(redraw)) {}

AlarmSequence::~AlarmSequence() {
    // The library's threads find the player through SoundPlayer: take it away before the player goes.
    TRsySoundPlayer* ours = player_.get();
    SoundPlayer.compare_exchange_strong(ours, nullptr);
    player_.reset();
}

TRsySoundPlayer& AlarmSequence::Player() {
    if (!player_) {
        void* handle = reinterpret_cast<void*>(window_.winId());
        player_ =
            services_.makeSoundPlayer ? services_.makeSoundPlayer(handle) : std::make_unique<TRsySoundPlayer>(handle);
        // The player's events come on the audio library's threads; the window acts on its own thread.
        player_->OnPlayEnd = [this](bool aborted) {
            if (!aborted) {
                QMetaObject::invokeMethod(
                    &window_,
                    [this] {
                        if (buttons_.btnLcdStop) {
                            buttons_.btnLcdStop->SetVisible(false);
                        }
                    },
                    Qt::QueuedConnection);
            }
        };
        player_->OnProgress = [this](int) {
            QMetaObject::invokeMethod(
                &window_,
                [this] {
                    if (services_.power != nullptr) {
                        services_.power->KeepBothAwake();
                    }
                },
                Qt::QueuedConnection);
        };
        SoundPlayer = player_.get();
    }
    return *player_;
}

bool AlarmSequence::SoundPlaying() const {
    return player_ && player_->State() == psPlaying;
}

void AlarmSequence::OnTimeUp() {
    lastAlarmStart_ = services_.clock->Now();
    if (config_.PlaySound) {
        TRsySoundPlayer& player = Player();
        player.SetFileName(config_.SoundFile);
        player.Play();
    }
    if (config_.ShowMsgBox) {
        if (services_.power != nullptr) {
            services_.power->KeepBothAwake();
        }
        surface_.Present(); // the zeros stay on show behind the box
        QMessageBox box(QMessageBox::Information, QStringLiteral("Horavia"), LoadStr(StringId::TimeIsUp),
                        QMessageBox::Ok);
        box.setWindowModality(Qt::ApplicationModal);
        box.exec();
        if (player_) {
            player_->FadeOut();
        }
    }
    if (SoundPlaying() && !config_.ShowMsgBox) {
        buttons_.ShowLcdButton(buttons_.LcdStop());
    }
}

void AlarmSequence::SilenceAlarm() {
    if (!SoundPlaying()) {
        return;
    }
    if (buttons_.btnLcdStop) {
        buttons_.btnLcdStop->SetVisible(false);
        buttons_.btnLcdStop->Draw();
    }
    redraw_();
    player_->FadeOut();
}

} // namespace horavia
