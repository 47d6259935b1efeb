#pragma once

#include "base/DateTimeFormat.h"
#include "platform/Shell.h"
#include "settings/Settings.h"
#include "speech/SpeechVoice.h"

#include "ui_TfmSettings.h"

#include <QDialog>

#include <functional>

class QFileDialog;

namespace horavia {

// The modal dialog in which the user edits the stored settings and sees the program's version. The
// main window keeps one instance; every showing refills the controls from the settings, and only OK
// copies them back (the caller then saves). The controls, their places, texts and tab order come from
// TfmSettings.ui and are members by the names they have there.
class TfmSettings final : public QDialog, public Ui::TfmSettings {
    Q_OBJECT

public:
    // Called by OK with the new MinimizeToTray: the tray icon is enabled, and minimizing hides the
    // window to it, exactly when it is true.
    using TrayChange = std::function<void(bool minimizeToTray)>;
    // Starts a program detached from ours; false when it could not be started.
    using ProgramStarter = std::function<bool(const QString& program, const QStringList& arguments)>;

    TfmSettings(Settings& settings, SpeechVoice& voice, Shell& shell, const bool& siblingInstalled,
                TFormatSettings& displayFormat, TrayChange trayChange, QWidget* owner);

    // How lbSpeechOther starts the desktop's settings program; QProcess::startDetached unless replaced.
    ProgramStarter StartProgram;

    // The open-file dialog of the sound file, a window of its own rather than a control of the form.
    QFileDialog* dlgSound;

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void FormShow();
    void FitVoiceListPopup();
    void SetTimeFormatButtons(std::uint8_t timeFormat);
    void chbPlaySoundClick();
    void bnSoundClick();
    void bnOKClick();
    void lbSpeechOtherClick();

    Settings& settings_;
    SpeechVoice& voice_;
    Shell& shell_;
    const bool& siblingInstalled_;
    TFormatSettings& displayFormat_;
    TrayChange trayChange_;
};

} // namespace horavia
