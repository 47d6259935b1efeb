#pragma once

#include "base/DateTimeFormat.h"
#include "platform/Shell.h"
#include "settings/Settings.h"
#include "speech/SpeechVoice.h"

#include <QDialog>

#include <functional>

class QCheckBox;
class QComboBox;
class QFileDialog;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;

namespace horavia {

class TLinkLabel;

// The modal dialog in which the user edits the stored settings and sees the program's version. The
// main window keeps one instance; every showing refills the controls from the settings, and only OK
// copies them back (the caller then saves).
class TfmSettings final : public QDialog {
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

    QLabel* Image1;
    QTabWidget* pcSettings;

    QWidget* tsGeneral;
    QLabel* lbTimeFormat;
    QRadioButton* rb12hour;
    QRadioButton* rb24hour;
    QLabel* lbLanguage;
    QComboBox* cbLanguages;
    QCheckBox* chbMinToSysTray;

    QWidget* tsNotifications;
    QCheckBox* chbShowMsgBox;
    QCheckBox* chbPlaySound;
    QLabel* lbSound;
    QLineEdit* edSound;
    QPushButton* bnSound;

    QWidget* TntTabSheet3;
    QLabel* lbEnableVoice;
    QCheckBox* chbVoiceTimer;
    QCheckBox* chbVoiceStopwatch;
    QCheckBox* chbVoiceClock;
    QLabel* lbVoiceName;
    QComboBox* cbVoiceNames;
    QLabel* lbRemindEvery;
    QComboBox* cbRemindFrequency;
    QCheckBox* chbAutoIncrease;
    TLinkLabel* lbSpeechOther;

    QWidget* tsAbout;
    QFrame* Shape1;
    QLabel* TntLabel2;
    QLabel* lbVersion;
    QLabel* Image2;
    TLinkLabel* lbWeb;
    TLinkLabel* lbMail;
    QLabel* lbProgramNotice;
    QLabel* lbArtworkNotice;

    TLinkLabel* lbRousely;
    QPushButton* bnOK;
    QPushButton* bnCancel;
    QFileDialog* dlgSound;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void CreateGeneralTab(const QFont& bold);
    void CreateNotificationsTab(const QFont& bold);
    void CreateSpeechTab(const QFont& bold);
    void CreateAboutTab();
    void FormShow();
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
